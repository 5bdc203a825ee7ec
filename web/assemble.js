// Puts pelmora.html together at build time, as one file with nothing to fetch:
//   node assemble.js PAGE-DIR ICON.svg FORM.json CORE.js CORE.wasm VERSION OUTPUT.html
// PAGE-DIR holds the template pelmora.html, pelmora.css and the page's modules (*.js). The
// template's placeholders are replaced by the style, the main window (its elements drawn from
// the tables by the page's own render.js, their places and colours as style rules), the tables,
// the core's loader, its WebAssembly (in base64, which the page decodes itself), the modules
// bundled into one script, the icon as a data address, the version (the project's, from
// CMakeLists.txt), and the hashes of the inline scripts and style, which are all the page's
// security policy lets run.
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');

const [pageDir, iconFile, formFile, coreFile, wasmFile, version, output] = process.argv.slice(2);
if (!output) {
    console.error('usage: node assemble.js PAGE-DIR ICON.svg FORM.json CORE.js CORE.wasm VERSION OUTPUT.html');
    process.exit(2);
}
// The version goes into an attribute and a text as it is: it may hold nothing HTML reads.
if (!/^[0-9A-Za-z.+~-]+$/.test(version))
    throw new Error(`"${version}" is not a version`);
const read = (file) => fs.readFileSync(file, 'utf8');

// Inside <script> and <style> the HTML parser only looks for the closing tag (and, in scripts,
// for "<!--"); text that holds one could end the element early.
function inline(text, tag, what) {
    if (new RegExp(`</${tag}|<!--`, 'i').test(text))
        throw new Error(`${what} holds "</${tag}" or "<!--"; it cannot be inlined as it is`);
    return text;
}

// The modules as one strict script: each file is a function of (require, exports), made once,
// when first required, by its name without ".js"; start.js starts the page.
function bundle(dir) {
    const modules = fs.readdirSync(dir).filter((f) => f.endsWith('.js')).sort().map((f) =>
        `${JSON.stringify(f.slice(0, -3))}: function (require, exports) {\n${inline(read(path.join(dir, f)), 'script', f)}},\n`);
    return `(function () {\n'use strict';\nconst modules = {\n${modules.join('')}};\nconst made = {};\n` +
        'function require(name) {\n    if (!made[name])\n        modules[name](require, made[name] = {});\n' +
        "    return made[name];\n}\nrequire('start');\n})();";
}

// The tables are ASCII JSON; "<" only ever stands inside strings, where \u003C means the same.
const tables = JSON.parse(read(formFile));
const form = JSON.stringify(tables).replace(/</g, '\\u003C');
const icon = 'data:image/svg+xml;base64,' + fs.readFileSync(iconFile).toString('base64');

// A module of the page, run here as the page runs it (render.js and what it requires use no
// document).
const modules = {};
function pageModule(name) {
    if (!modules[name])
        new Function('require', 'exports', read(path.join(pageDir, name + '.js')))(pageModule, modules[name] = {});
    return modules[name];
}
const render = pageModule('render');
const mainWindow = render.toHtml(render.mainWindow(tables, icon));

const parts = {
    '/*@STYLE@*/': inline(read(path.join(pageDir, 'pelmora.css')), 'style', 'pelmora.css'),
    '/*@WINDOW-STYLE@*/': inline(render.fontRules(tables) + mainWindow.css, 'style', 'the window\'s rules'),
    '@WINDOW@': mainWindow.html,
    '@TITLE@': render.escapeText(tables.main_window.caption),
    '/*@FORM@*/': form,
    '/*@CORE@*/': inline(read(coreFile), 'script', path.basename(coreFile)),
    '@WASM@': fs.readFileSync(wasmFile).toString('base64'),
    '/*@SCRIPT@*/': bundle(pageDir),
    '@ICON@': icon,
    '@VERSION@': version,
};
let html = read(path.join(pageDir, 'pelmora.html'));
for (const [mark, text] of Object.entries(parts)) {
    if (!html.includes(mark))
        throw new Error(`the template has no ${mark}`);
    html = html.split(mark).join(text); // every occurrence, and no "$" patterns in the text
}
// Every <script> and <style> without attributes, as the policy hashes them; the scripts with a
// type are data, which no policy needs to allow.
const hashes = (tag) => [...html.matchAll(new RegExp(`<${tag}>([^]*?)</${tag}>`, 'g'))]
    .map(([, text]) => `'sha256-${crypto.createHash('sha256').update(text).digest('base64')}'`).join(' ');
html = html.replace('@SCRIPT-HASHES@', () => hashes('script')).replace('@STYLE-HASHES@', () => hashes('style'));
fs.writeFileSync(output, html);
console.log(`${output}: ${Buffer.byteLength(html)} bytes`);
