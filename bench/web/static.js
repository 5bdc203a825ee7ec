'use strict';
// The window's own floor: a copy of the page as it stands once started, with no script.
//
//   node bench/web/static.js PAGE OUT
//
// Opens PAGE in Chromium at the viewport of bench/web/start.js, waits for window.pelmoraReady,
// and writes to OUT the document as it is then: each box's value in its value attribute, each
// check box's state in checked, without the script elements and the security policy (which
// would refuse the style attributes the script set). Whatever the page drew, by script or
// already in its HTML, is in the copy, so opening it costs what showing that window costs a
// browser without running anything. Prints the copy's elements and bytes.
const fs = require('fs');
const path = require('path');
const url = require('url');
const { launch } = require('../../tests/web/engines');

function serialise() {
    for (const input of document.querySelectorAll('input')) {
        if (input.type === 'checkbox' || input.type === 'radio')
            input.toggleAttribute('checked', input.checked);
        else
            input.setAttribute('value', input.value);
    }
    for (const area of document.querySelectorAll('textarea'))
        area.textContent = area.value;
    for (const e of document.querySelectorAll('script, meta[http-equiv="Content-Security-Policy" i]'))
        e.remove();
    const doctype = document.doctype ? `<!DOCTYPE ${document.doctype.name}>\n` : '';
    return { html: doctype + document.documentElement.outerHTML, elements: document.querySelectorAll('*').length };
}

async function main() {
    const [page, out] = process.argv.slice(2);
    const browser = await launch('chromium');
    try {
        const tab = await browser.open({ viewport: { width: 1024, height: 768 }, clipboard: false, fresh: true });
        await tab.goto(url.pathToFileURL(path.resolve(page)).href);
        await tab.evaluate(() => window.pelmoraReady && window.pelmoraReady.then(() => true));
        const { html, elements } = await tab.evaluate(serialise);
        fs.writeFileSync(out, html);
        console.log(`${elements} elements, ${Buffer.byteLength(html)} bytes`);
        await tab.close();
    } finally {
        await browser.close();
    }
}

main().catch((e) => { console.error(e); process.exit(1); });
