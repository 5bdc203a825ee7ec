'use strict';
// The three browser engines the page is tried in, behind one small interface, for the browser
// checks (harness.js) and the start-up benchmark (bench/web/start.js):
//
//   chromium  Debian's Chromium, driven by playwright-core
//   firefox   Debian's Firefox ESR, driven by puppeteer-core over WebDriver BiDi
//   webkit    Debian's WebKitGTK (its MiniBrowser), driven by selenium-webdriver through
//             WebKitWebDriver, on an X display of its own (Xvfb)
//
// launch(ENGINE, {initScript}) starts one; initScript (a function, or a script's text) runs in
// every page before the page's own script, as the browser's, which the page's policy allows; an
// error on the console and a script or style that the policy refuses count as errors.
// prepare(FILE) gives the file to open in place of FILE, open(OPTIONS) the tab for
// a new page (OPTIONS: viewport {width, height}, scale, phone, clipboard; fresh: in a context
// of its own, where the engine has contexts). A tab offers goto(url), evaluate(fn, arg),
// press('Control+a'), type(text), compose(text), click(x, y), tap(x, y), screenshot(),
// sleep(ms), readClipboard(), writeClipboard(text), accessibleName(id, expected),
// description(id) (null where the engine does not tell), errors(), requests() and close().

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const url = require('url');

const ENGINES = ['chromium', 'firefox', 'webkit'];
const PROGRAM = {
    chromium: process.env.PELMORA_CHROMIUM || '/usr/bin/chromium',
    firefox: process.env.PELMORA_FIREFOX || '/usr/bin/firefox-esr',
    webkit: process.env.PELMORA_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
};
const READER = url.pathToFileURL(path.join(__dirname, 'reader.html')).href;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What a page asked for besides itself (and the clipboard reader): the addresses of its own
// data are no requests.
function fetched(requests, pageUrl) {
    return requests.filter((r) => r !== pageUrl && r !== READER && !/^(data|blob):/.test(r));
}

// Playwright's and Puppeteer's names of the keys, for a combination such as "Control+a".
function keyParts(key) {
    const parts = key.split('+');
    return { modifiers: parts.slice(0, -1), key: parts[parts.length - 1] };
}

async function launchChromium({ initScript }) {
    const { chromium } = require('playwright-core');
    const browser = await chromium.launch({
        executablePath: PROGRAM.chromium,
        // As root Chromium needs --no-sandbox; the page is our own and reads nothing.
        args: ['--no-sandbox', '--font-render-hinting=none'],
    });
    const tabs = new Map();
    return {
        version: `Chromium ${browser.version()}`,
        prepare: (file) => file,
        async open(options = {}) {
            // A tab is kept for the runs that ask for the same screen (a fresh context costs a
            // second or more), unless a fresh one is asked for; a new document keeps nothing
            // of the one before (the checks see that nothing is stored).
            const key = options.fresh ? null : JSON.stringify([options.viewport, options.scale, options.phone, options.clipboard]);
            let tab = key && tabs.get(key);
            if (tab) {
                await tab.page.goto('about:blank');
            } else {
                tab = await chromiumTab(browser, options, initScript);
                if (key)
                    tabs.set(key, tab);
            }
            tab.errors = [];
            tab.requests = [];
            const { context, page } = tab;
            const session = async () => tab.cdp || (tab.cdp = await context.newCDPSession(page));
            // The clipboard as another page of the browser reads it; a page behind another
            // draws no frames, and clicks wait for frames, so the tested page comes back to
            // the front each time.
            const inReader = async (fn, arg) => {
                if (!tab.reader) {
                    tab.reader = await context.newPage();
                    await tab.reader.goto(READER);
                }
                const result = await tab.reader.evaluate(fn, arg);
                await page.bringToFront();
                return result;
            };
            let pageUrl = null;
            return {
                page, context,
                goto: (address) => page.goto(pageUrl = address),
                evaluate: (fn, arg) => page.evaluate(fn, arg),
                press: (key) => page.keyboard.press(key),
                type: (text) => page.keyboard.type(text),
                // Composed by an input method, then committed.
                async compose(text) {
                    const s = await session();
                    await s.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
                    await s.send('Input.insertText', { text });
                },
                click: (x, y) => page.mouse.click(x, y),
                tap: (x, y) => page.touchscreen.tap(x, y),
                screenshot: () => page.screenshot(),
                sleep: (ms) => page.waitForTimeout(ms),
                readClipboard: () => inReader(() => navigator.clipboard.readText()),
                writeClipboard: (text) => inReader((t) => navigator.clipboard.writeText(t), text),
                // One reading of the tree gives both, asked one after the other.
                async accessibleName(id) {
                    tab.ax = { id, ...(await axNode(await session(), id)) };
                    return tab.ax.name;
                },
                async description(id) {
                    return (tab.ax && tab.ax.id === id ? tab.ax : await axNode(await session(), id)).description;
                },
                errors: async () => tab.errors,
                requests: async () => fetched(tab.requests, pageUrl),
                close: async () => { if (!key) await context.close(); },
            };
        },
        close: () => browser.close(),
    };
}

async function chromiumTab(browser, options, initScript) {
    const phone = options.phone ? { isMobile: true, hasTouch: true } : {};
    const context = await browser.newContext({
        viewport: options.viewport, deviceScaleFactor: options.scale || 1, locale: 'ja-JP', ...phone,
    });
    if (options.clipboard !== false)
        await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    if (initScript)
        await context.addInitScript(initScript);
    const tab = { context, page: await context.newPage(), reader: null, cdp: null, errors: [], requests: [] };
    context.on('request', (r) => tab.requests.push(r.url()));
    tab.page.on('pageerror', (e) => tab.errors.push(String(e)));
    tab.page.on('console', (m) => { if (m.type() === 'error') tab.errors.push(m.text()); });
    return tab;
}

// The name and description that Chromium's accessibility tree gives the element with that id.
async function axNode(cdp, id) {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const { result } = await cdp.send('Runtime.evaluate', { expression: `document.getElementById(${JSON.stringify(id)})` });
    if (!result.objectId)
        return { name: '<no element>', description: '<no element>' };
    const { node } = await cdp.send('DOM.describeNode', { objectId: result.objectId });
    const ax = nodes.find((n) => n.backendDOMNodeId === node.backendNodeId) || {};
    const value = (k) => (ax[k] && ax[k].value) || '';
    return { name: value('name'), description: value('description') };
}

async function launchFirefox({ initScript }) {
    const puppeteer = require('puppeteer-core');
    const browser = await puppeteer.launch({
        browser: 'firefox', protocol: 'webDriverBiDi', executablePath: PROGRAM.firefox, headless: true,
    });
    const version = (await browser.version()).replace(/^firefox\//, 'Firefox ');
    // One tab for every run, unless a fresh one is asked for, as in Chromium.
    let kept = null;
    return {
        version,
        prepare: (file) => file,
        async open(options = {}) {
            let tab = options.fresh ? null : kept;
            if (tab)
                await tab.page.goto('about:blank');
            else
                tab = await firefoxTab(browser, initScript);
            if (!options.fresh)
                kept = tab;
            tab.errors = [];
            tab.requests = [];
            const { context, page } = tab;
            await page.setViewport({
                ...options.viewport, deviceScaleFactor: options.scale || 1, isMobile: !!options.phone, hasTouch: !!options.phone,
            });
            const keys = page.keyboard;
            let pageUrl = null;
            return {
                page, context,
                goto: (address) => page.goto(pageUrl = address),
                evaluate: (fn, arg) => page.evaluate(fn, arg),
                async press(combination) {
                    const { modifiers, key } = keyParts(combination);
                    for (const m of modifiers)
                        await keys.down(m);
                    await keys.press(key);
                    for (const m of modifiers.reverse())
                        await keys.up(m);
                },
                type: (text) => keys.type(text),
                // WebDriver BiDi has no input method: the digits come as the keys that give them.
                compose: (text) => keys.type(text),
                click: (x, y) => page.mouse.click(x, y),
                tap: (x, y) => page.touchscreen.tap(x, y),
                screenshot: async () => Buffer.from(await page.screenshot()),
                sleep,
                // The driver refuses the clipboard permissions, but Firefox lets the page read
                // what was copied. The methods of the prototype, in case the page's own are
                // replaced (the errors group does).
                readClipboard: () => page.evaluate(() => Clipboard.prototype.readText.call(navigator.clipboard)),
                writeClipboard: (text) => page.evaluate((t) => Clipboard.prototype.writeText.call(navigator.clipboard, t), text),
                // Firefox finds elements by their accessible name (WebDriver BiDi's
                // locateNodes) but does not say a name.
                async accessibleName(id, expected) {
                    const nodes = await page.mainFrame().browsingContext.locateNodes({ type: 'accessibility', value: { name: expected } });
                    const ids = nodes.map((n) => n.value.attributes.id);
                    return ids.includes(id) ? expected : `<not found by that name; found: ${ids.join(' ')}>`;
                },
                description: async () => null,
                errors: async () => tab.errors,
                requests: async () => fetched(tab.requests, pageUrl),
                close: async () => { if (options.fresh) await context.close(); },
            };
        },
        close: () => browser.close(),
    };
}

async function firefoxTab(browser, initScript) {
    const context = await browser.createBrowserContext();
    const tab = { context, page: await context.newPage(), errors: [], requests: [] };
    tab.page.on('pageerror', (e) => tab.errors.push(String(e)));
    tab.page.on('console', (m) => { if (m.type() === 'error') tab.errors.push(m.text()); });
    tab.page.on('request', (r) => tab.requests.push(r.url()));
    if (initScript)
        await tab.page.evaluateOnNewDocument(initScript);
    return tab;
}

// Script put first in the WebKit copies of a page: WebKitWebDriver has no log of the page's
// errors.
function recordErrors() {
    window.__pageErrors = [];
    addEventListener('error', (e) => window.__pageErrors.push(String(e.error || e.message)));
    addEventListener('unhandledrejection', (e) => window.__pageErrors.push(String(e.reason)));
    addEventListener('securitypolicyviolation', (e) => window.__pageErrors.push(`refused by ${e.violatedDirective}`));
}

async function startXvfb() {
    // A screen large enough for a phone's height three times over.
    const x = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '3200x2800x24', '-nolisten', 'tcp'],
        { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    const display = await new Promise((resolve, reject) => {
        x.stdio[3].once('data', (d) => resolve(':' + String(d).trim()));
        x.once('exit', () => reject(new Error('Xvfb did not start')));
    });
    return { display, stop: () => x.kill() };
}

// A WebKitWebDriver of its own and a MiniBrowser session; SCALE is the screen's scale (GDK_SCALE).
async function webkitSession(display, scale) {
    const { Builder } = require('selenium-webdriver');
    const port = await new Promise((resolve) => {
        const server = require('net').createServer().listen(0, '127.0.0.1', () => {
            const p = server.address().port;
            server.close(() => resolve(p));
        });
    });
    const env = { ...process.env, DISPLAY: display, GDK_SCALE: String(scale) };
    const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env });
    const server = `http://127.0.0.1:${port}`;
    for (let k = 0; k < 200; k++) {
        try {
            await fetch(`${server}/status`);
            break;
        } catch (e) {
            await sleep(25);
        }
    }
    const session = await new Builder().usingServer(server).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: PROGRAM.webkit, args: ['--automation', '--allow-file-access-from-file-urls=true'] },
    }).build();
    // With a deadline the driver sets a timeout in the page for every script, which the
    // page's own timers would be counted with; the other drivers set none either.
    await session.manage().setTimeouts({ script: null });
    return {
        driver: session,
        kill: () => driver.kill(),
        async quit() {
            await session.quit().catch(() => {});
            driver.kill();
        },
    };
}

async function launchWebkit({ initScript }) {
    const { By, Key, Origin } = require('selenium-webdriver');
    const x = await startXvfb();
    const work = fs.mkdtempSync(path.join(os.tmpdir(), 'pelmora-webkit-'));
    const sessions = new Map(); // scale -> session
    // Should Node end before close(), the browsers go with their display.
    const leftovers = () => {
        for (const s of sessions.values())
            s.kill();
        x.stop();
    };
    process.once('exit', leftovers);
    const sessionAt = async (scale) => {
        if (!sessions.has(scale))
            sessions.set(scale, await webkitSession(x.display, scale));
        return sessions.get(scale).driver;
    };
    const first = await sessionAt(1);
    const version = `WebKitGTK ${(await first.getCapabilities()).get('browserVersion')}`;
    const KEYS = {
        Control: Key.CONTROL, Shift: Key.SHIFT, Alt: Key.ALT, Enter: Key.ENTER, Escape: Key.ESCAPE,
        Tab: Key.TAB, Backspace: Key.BACK_SPACE, ArrowDown: Key.ARROW_DOWN, ArrowUp: Key.ARROW_UP,
        ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, ' ': Key.SPACE,
    };
    // xclip -i stays behind to hand out the text until another program takes the clipboard.
    const xclip = (args, input) => execFileSync('xclip', ['-selection', 'clipboard', ...args], {
        env: { ...process.env, DISPLAY: x.display }, input, encoding: 'utf8',
        stdio: input === undefined ? ['ignore', 'pipe', 'ignore'] : ['pipe', 'ignore', 'ignore'],
    });
    const readClipboard = async () => {
        try {
            return xclip(['-o']);
        } catch (e) {
            return ''; // nothing on the clipboard
        }
    };
    let copies = 0;
    return {
        version,
        display: x.display,
        // A copy of the page with the recorder of errors and the init script first, which a
        // policy that lets run only the scripts of given hashes must then let run too.
        prepare(file) {
            const first = [recordErrors, initScript].filter(Boolean)
                .map((f) => (typeof f === 'function' ? `(${f})();` : f)).join('\n');
            const hash = `'sha256-${require('crypto').createHash('sha256').update(first).digest('base64')}'`;
            const html = fs.readFileSync(file, 'utf8').replace("script-src 'sha256-", `script-src ${hash} 'sha256-`);
            const copy = path.join(work, `${++copies}-${path.basename(file)}`);
            // Right after the character set, which a browser looks for in the first bytes.
            fs.writeFileSync(copy, html.replace(/<meta charset=[^>]*>/i, (meta) => `${meta}\n<script>${first}</script>`));
            return copy;
        },
        async open(options = {}) {
            const d = await sessionAt(options.scale || 1);
            const { width, height } = options.viewport;
            await d.switchTo().defaultContent();
            // The window's size is set so that the viewport has the size asked for.
            const want = [Math.max(width, 447), height];
            if (String(d.viewport) !== String(want)) {
                await d.get('about:blank');
                const rect = await d.manage().window().getRect();
                const inner = await d.executeScript('return [innerWidth, innerHeight]');
                await d.manage().window().setRect({ width: rect.width + want[0] - inner[0], height: rect.height + want[1] - inner[1] });
                d.viewport = want;
            }
            const keys = (text) => d.actions().sendKeys(text).perform();
            const point = (px, py) => d.actions().move({ x: Math.round(px), y: Math.round(py), origin: Origin.VIEWPORT, duration: 0 });
            return {
                driver: d,
                // The window does not go narrower than 447 px: a narrower screen is an iframe
                // of that size at the top left of a wider one.
                async goto(pageUrl) {
                    if (width >= 447)
                        return d.get(pageUrl);
                    const frame = path.join(work, `frame-${width}x${height}.html`);
                    fs.writeFileSync(frame, '<!doctype html><meta charset="utf-8"><style>body{margin:0}' +
                        `iframe{display:block;border:0;width:${width}px;height:${height}px}</style><iframe src="${pageUrl}"></iframe>`);
                    await d.get(url.pathToFileURL(frame).href);
                    await d.switchTo().frame(0);
                },
                evaluate: (fn, arg) => d.executeScript(fn, arg),
                async press(combination) {
                    const { modifiers, key } = keyParts(combination);
                    let a = d.actions();
                    for (const m of modifiers)
                        a = a.keyDown(KEYS[m]);
                    a = a.sendKeys(KEYS[key] || key);
                    for (const m of modifiers.reverse())
                        a = a.keyUp(KEYS[m]);
                    await a.perform();
                },
                type: keys,
                // No input method through the driver: the digits come as the keys that give them.
                compose: keys,
                click: (px, py) => point(px, py).click().perform(),
                // WebKitGTK's driver has no touch: a tap is a click at the same place.
                tap: (px, py) => point(px, py).click().perform(),
                screenshot: async () => Buffer.from(await d.takeScreenshot(), 'base64'),
                sleep,
                // WebKit refuses the page a clipboard read: the X clipboard, as another
                // program reads it.
                readClipboard,
                // xclip takes the clipboard in a process of its own, which may come late:
                // the text is there once it can be read back.
                async writeClipboard(text) {
                    xclip(['-i'], text);
                    for (let k = 0; k < 250 && (await readClipboard()) !== text; k++)
                        await sleep(20);
                },
                accessibleName: (id) => d.findElement(By.id(id)).getAccessibleName(),
                description: async () => null,
                errors: () => d.executeScript(() => window.__pageErrors || ['<no error recorder>']),
                requests: async () => fetched(await d.executeScript(() => performance.getEntriesByType('resource').map((e) => e.name)), null),
                close: async () => {},
            };
        },
        async close() {
            for (const s of sessions.values())
                await s.quit();
            x.stop();
            process.off('exit', leftovers);
            fs.rmSync(work, { recursive: true, force: true });
        },
    };
}

function launch(engine, options = {}) {
    const start = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebkit }[engine];
    if (!start)
        throw new Error(`unknown engine: ${engine} (${ENGINES.join(', ')})`);
    return start(options);
}

module.exports = { ENGINES, PROGRAM, launch };
