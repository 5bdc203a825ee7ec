'use strict';
// The browser side of the end-to-end harness: the page opened from the disk in one of the
// engines of engines.js, real input through the browser's own mouse and keyboard, and the
// clipboard read back as another page or program reads it. The steps are those of tests/e2e (printed by
// "e2e.sh --steps GROUP"), so the page is held to the very lines the desktop programs give.

const { execFileSync } = require('child_process');
const path = require('path');
const url = require('url');
const zlib = require('zlib');
const { launch } = require('./engines');

const ROOT = path.resolve(__dirname, '../..');
const E2E = path.join(ROOT, 'tests/e2e/e2e.sh');
const WAIT_MS = 5000;

let failures = 0;
let checks = 0;
let scenarioName = '';

function fail(what) {
    console.error(`FAIL: ${scenarioName}: ${what}`);
    failures += 1;
}

function checkEqual(what, got, want) {
    checks += 1;
    if (got !== want)
        fail(`${what}: got [${got}], expected [${want}]`);
}

function failureCount() {
    return failures;
}

function checkCount() {
    return checks;
}

// The scenarios of an end-to-end group: [{name, steps: [[verb, a, b], ...]}].
function e2eScenarios(group) {
    const out = execFileSync('bash', [E2E, '--steps', group], { encoding: 'utf8' });
    const scenarios = [];
    for (const line of out.split('\n')) {
        if (line === '' || line.startsWith('#'))
            continue;
        const [verb, a = '', b = ''] = line.split('|');
        if (verb === 'scenario')
            scenarios.push({ name: a, steps: [] });
        else
            scenarios[scenarios.length - 1].steps.push([verb, a, b]);
    }
    return scenarios;
}

// The texts the end-to-end groups expect (start texts of the boxes, messages), by name;
// "\n" stands for a line break, as in the steps.
function e2eTexts() {
    const texts = {};
    const out = execFileSync('bash', [E2E, '--steps', 'texts'], { encoding: 'utf8' });
    for (const line of out.split('\n')) {
        const bar = line.indexOf('|');
        if (bar > 0)
            texts[line.slice(0, bar)] = line.slice(bar + 1);
    }
    return texts;
}

// The places of the controls that the desktop harness clicks at, by name:
// {container, left, top, width, height} in twips.
function e2eControls() {
    const places = {};
    const out = execFileSync('bash', [E2E, '--steps', 'controls'], { encoding: 'utf8' });
    for (const line of out.split('\n').filter(Boolean)) {
        const [name, place] = line.split('|');
        const [container, left, top, width, height] = place.split(' ');
        places[name] = { container, left: +left, top: +top, width: +width, height: +height };
    }
    return places;
}

let browser = null;
let engine = 'chromium';

// Counts the page's timeouts of 100 ms and more (the start-up timer among them), so that the
// steps begin once it has fired, however late a busy machine runs it. Runs in every page
// before the page's own script.
function countStartTimers() {
    const later = window.setTimeout;
    const count = { pending: 0, fired: 0 };
    window.__startTimers = count;
    window.setTimeout = function (fn, ms, ...rest) {
        if (typeof fn !== 'function' || !(ms >= 100))
            return later.call(this, fn, ms, ...rest);
        count.pending += 1;
        return later.call(this, function (...args) {
            count.pending -= 1;
            count.fired += 1;
            return fn.apply(this, args);
        }, ms, ...rest);
    };
}

// A page opened with "?core-held" gets its WebAssembly core only when the check calls
// window.__releaseCore(): the window is up, and what the user does waits for the core.
function holdCore() {
    if (location.search !== '?core-held')
        return;
    const compile = WebAssembly.compile;
    const released = new Promise((resolve) => { window.__releaseCore = resolve; });
    WebAssembly.compile = (...args) => released.then(() => compile.apply(WebAssembly, args));
}

async function startBrowser(name = 'chromium') {
    engine = name;
    // axe-core comes in before the page's script too: the page's policy lets only its own
    // scripts run, and refuses a script element that the axe group would add later.
    const axe = require('fs').readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
    browser = await launch(name, { initScript: `(${countStartTimers})();\n(${holdCore})();\n${axe}` });
    return browser;
}

async function stopBrowser() {
    if (browser)
        await browser.close();
    browser = null;
}

function engineName() {
    return engine;
}

// The page opened anew, as a user opens it from the disk, in a tab kept for that screen size:
// a new document, which keeps nothing of the scenario before (closePage sees that nothing was
// stored). Afterwards it must not have made requests or thrown errors.
async function openPage(pageFile, options = {}) {
    const pageUrl = (options.pageUrl || url.pathToFileURL(pageFile).href) + (options.coreHeld ? '?core-held' : '');
    const started = Date.now();
    const page = await browser.open({ viewport: { width: 1024, height: 768 }, ...options });
    await page.goto(pageUrl);
    const session = { page, lastFocus: null, messages: 0, typed: {} };
    if (!options.coreHeld)
        await page.evaluate(() => window.pelmoraReady);
    session.readyMs = Date.now() - started;
    // The start-up focus comes 200 ms (the table's Timer1) after the window is drawn; input
    // sent before it could be moved away, as on the desktop. (A page that moved the focus by
    // other means than a timeout passes this after a deadline.)
    const interval = await page.evaluate(() =>
        JSON.parse(document.getElementById('pelmora-form').textContent).timer1_interval_ms);
    await waitFor(page, () => window.__startTimers.fired > 0 && window.__startTimers.pending === 0, undefined, interval + 2000);
    checkEqual('focus after load', await activeId(page), 'syu1');
    return session;
}

async function closePage(session) {
    const { page } = session;
    checkEqual('requests after load', (await page.requests()).join(' '), '');
    // Nothing is kept for a later visit (an engine without one of the stores keeps nothing there).
    const kept = await page.evaluate(async () => [
        document.cookie, localStorage.length, sessionStorage.length,
        indexedDB.databases ? (await indexedDB.databases()).length : 0,
        window.caches ? (await caches.keys()).length : 0,
    ].join(' '));
    checkEqual('cookie, local and session storage, databases, caches', kept, ' 0 0 0 0');
    checkEqual('uncaught errors in the page', (await page.errors()).join(' | '), '');
    await page.close();
}

// waitFor PAGE FN [ARG]: true as soon as FN (run in the page) is true, false at the deadline.
async function waitFor(page, fn, arg, ms = WAIT_MS) {
    const deadline = Date.now() + ms;
    for (;;) {
        if (await page.evaluate(fn, arg).catch(() => false))
            return true;
        if (Date.now() > deadline)
            return false;
        await page.sleep(20);
    }
}

// xdotool's key names as the browsers' drivers have them.
function keyName(key) {
    return key.split('+').map((part) => ({
        ctrl: 'Control', alt: 'Alt', shift: 'Shift', Return: 'Enter', Escape: 'Escape',
    }[part] || part)).join('+');
}

async function activeId(page) {
    return page.evaluate(() => (document.activeElement ? document.activeElement.id : ''));
}

// The open message box: a modal <dialog> with role alertdialog, or null.
async function openMessage(page) {
    return page.evaluate(() => {
        const d = [...document.querySelectorAll('dialog')].find((x) => x.open);
        if (!d)
            return null;
        const labelled = d.getAttribute('aria-labelledby');
        const title = d.getAttribute('aria-label') ||
            (labelled ? document.getElementById(labelled).textContent : '');
        const text = d.querySelector('.message-text');
        return {
            role: d.getAttribute('role'),
            modal: d.matches(':modal'),
            title: title.trim(),
            text: text ? text.innerText : null,
            focusInside: d.contains(document.activeElement),
            buttons: [...d.querySelectorAll('button')].map((b) => b.textContent.trim()),
        };
    });
}

// expectMessage TEXT: a message box titled "Pelmora" is shown, has the keyboard, says TEXT and
// has one OK. It is closed by Enter, Esc and OK in turn, and the focus must go back where it was.
async function expectMessage(session, want) {
    const { page } = session;
    if (!(await waitFor(page, () => [...document.querySelectorAll('dialog')].some((d) => d.open)))) {
        fail('no message box appeared');
        return;
    }
    const m = await openMessage(page);
    checkEqual('message box role', m.role, 'alertdialog');
    checkEqual('message box modal', m.modal, true);
    checkEqual('message box title', m.title, 'Pelmora');
    checkEqual('message buttons', m.buttons.join(','), 'OK');
    checkEqual('message box has the keyboard', m.focusInside, true);
    if (want)
        checkEqual('message', m.text, want.replace(/\\n/g, '\n'));
    const how = ['Enter', 'Escape', 'OK'][session.messages++ % 3];
    if (how === 'OK')
        await clickAt(session, 'dialog[open] button');
    else
        await page.press(how);
    if (!(await waitFor(page, () => ![...document.querySelectorAll('dialog')].some((d) => d.open))))
        fail(`${how} did not close the message box`);
    else if (session.lastFocus) {
        // The focus goes back in the dialog's close event, a task of its own: the next step
        // waits for it, as a click on a busy machine would otherwise come first.
        await waitFor(page, (id) => document.activeElement && document.activeElement.id === id, session.lastFocus);
        checkEqual(`focus after ${how} closed the message box`, await activeId(page), session.lastFocus);
    }
}

async function expectNoMessage(session) {
    if (await openMessage(session.page)) {
        fail('unexpected message box');
        await session.page.press('Enter');
    }
}

// copiedBy BUTTON: the text a copy button puts on the clipboard. A sentinel first, so that
// a change proves that the page has answered the click.
async function copiedBy(session, button) {
    const { page } = session;
    const sentinel = `<web sentinel ${Date.now()}>`;
    await page.writeClipboard(sentinel);
    await click(session, button);
    const deadline = Date.now() + WAIT_MS;
    let text;
    while ((text = await page.readClipboard()) === sentinel && Date.now() < deadline)
        await page.sleep(20);
    return text === sentinel ? '<nothing copied>' : text;
}

// clickAt SELECTOR: a real click (a tap on a touch screen) in the middle of what SELECTOR
// finds first, as laid out: whatever the page draws there gets it, as under a user's mouse.
async function clickAt(session, selector) {
    const { page } = session;
    const r = await page.evaluate((sel) => {
        const e = document.querySelector(sel);
        if (!e || !e.getClientRects().length)
            return null;
        const b = e.getBoundingClientRect();
        if (b.top < 0 || b.left < 0 || b.bottom > innerHeight || b.right > innerWidth)
            e.scrollIntoView({ block: 'center', inline: 'center' });
        const { x, y, width, height } = e.getBoundingClientRect();
        return { x: x + width / 2, y: y + height / 2 };
    }, selector);
    if (!r)
        throw new Error(`${selector} is not shown`);
    if (session.touch)
        await page.tap(r.x, r.y);
    else
        await page.click(r.x, r.y);
}

// click NAME: clicks the control of that name.
async function click(session, name) {
    await clickAt(session, `#${name}`);
    session.lastFocus = name;
}

// typeInto BOX TEXT: replaces what the box holds, as a user does with the mouse and keys.
async function typeInto(session, box, text) {
    await click(session, box);
    await session.page.press('Control+a');
    await session.page.press('Backspace');
    if (text)
        await session.page.type(text);
}

// menu KEY [CHOICE]: opens a menu with its access key and picks a command with its letter.
async function menu(session, key, choice) {
    const { page } = session;
    await page.press(keyName(key));
    const opened = await waitFor(page, () => [...document.querySelectorAll('[role=menu]')]
        .some((e) => e.getClientRects().length > 0));
    if (!opened) {
        fail(`menu ${key} did not open`);
        return;
    }
    if (choice)
        await page.press(keyName(choice));
}

async function boxText(page, box) {
    return page.evaluate((id) => document.getElementById(id).value, box);
}

async function topSize(page) {
    return page.evaluate(() => {
        const r = document.getElementById('top').getBoundingClientRect();
        return `${Math.round(r.width)}x${Math.round(r.height)}`;
    });
}

// The boxes the user types numbers into.
const INPUT_BOX = /^((syu|card|uri)\d|nin)$/;

// runSteps SESSION STEPS: the step language of tests/e2e/harness.sh, in the browser. After
// every message box, each input box must still hold what the steps last typed into it.
async function runSteps(session, steps) {
    const { page } = session;
    for (const [verb, a, b] of steps) {
        const t0 = Date.now();
        switch (verb) {
        case 'type':
            await typeInto(session, a, b);
            if (INPUT_BOX.test(a))
                session.typed[a] = b;
            break;
        case 'click': await click(session, a); break;
        case 'keys': await page.type(a); break;
        case 'press':
            for (const key of a.split(' '))
                await page.press(keyName(key));
            break;
        case 'menu':
            await menu(session, a, b);
            session.typed = {}; // clearing all empties them
            break;
        case 'message':
            await expectMessage(session, a);
            // A refusal or an error loses nothing the user typed.
            for (const [box, text] of Object.entries(session.typed))
                checkEqual(`box ${box} after the message`, await boxText(page, box), text);
            break;
        case 'copy': checkEqual(`clipboard after ${a}`, await copiedBy(session, a), b); break;
        case 'box': checkEqual(`box ${a}`, await boxText(page, a), b); break;
        case 'running': checkEqual('page answers', await page.evaluate(() => 1 + 1), 2); break;
        case 'area': checkEqual('size of #top', await topSize(page), a); break;
        default: throw new Error(`unknown step: ${verb}|${a}|${b}`);
        }
        if (process.env.PELMORA_WEB_TRACE)
            console.log(`  ${Date.now() - t0} ms ${verb}|${a}|${b}`);
    }
}

// scenario NAME PAGEFILE BODY [OPTIONS]: a fresh page, BODY(session), then the common checks.
async function scenario(name, pageFile, body, options = {}) {
    scenarioName = name;
    const before = failures;
    const started = Date.now();
    let session = null;
    try {
        session = await openPage(pageFile, options);
        session.touch = !!options.phone;
        session.openMs = Date.now() - started;
        await body(session);
        await expectNoMessage(session);
    } catch (e) {
        fail(`stopped: ${e.message.split('\n')[0]}`);
    }
    const closing = Date.now();
    if (session)
        await closePage(session).catch((e) => fail(`closing: ${e.message}`));
    const times = session ? `; opened in ${session.openMs} ms, closed in ${Date.now() - closing} ms` : '';
    console.log(`${failures === before ? 'ok' : 'not ok'}: ${name} (${Date.now() - started} ms${times})`);
}

// The colour of the pixel at X, Y (CSS pixels of a 1:1 screenshot) as "#RRGGBB".
function decodePng(buffer) {
    let pos = 8;
    let width = 0, height = 0, colourType = 0;
    const data = [];
    while (pos < buffer.length) {
        const length = buffer.readUInt32BE(pos);
        const type = buffer.toString('ascii', pos + 4, pos + 8);
        const chunk = buffer.subarray(pos + 8, pos + 8 + length);
        if (type === 'IHDR') {
            width = chunk.readUInt32BE(0);
            height = chunk.readUInt32BE(4);
            colourType = chunk[9];
        } else if (type === 'IDAT') {
            data.push(chunk);
        }
        pos += length + 12;
    }
    const bpp = colourType === 6 ? 4 : 3;
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * bpp;
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        for (let x = 0; x < stride; x++) {
            const v = raw[y * (stride + 1) + 1 + x];
            const a = x >= bpp ? pixels[y * stride + x - bpp] : 0;
            const up = y > 0 ? pixels[(y - 1) * stride + x] : 0;
            const c = x >= bpp && y > 0 ? pixels[(y - 1) * stride + x - bpp] : 0;
            let p = 0;
            if (filter === 1) p = a;
            else if (filter === 2) p = up;
            else if (filter === 3) p = (a + up) >> 1;
            else if (filter === 4) {
                const e = a + up - c, pa = Math.abs(e - a), pb = Math.abs(e - up), pc = Math.abs(e - c);
                p = pa <= pb && pa <= pc ? a : pb <= pc ? up : c;
            }
            pixels[y * stride + x] = (v + p) & 255;
        }
    }
    return {
        width, height,
        at(x, y) {
            const i = y * stride + x * bpp;
            return '#' + [0, 1, 2].map((k) => pixels[i + k].toString(16).padStart(2, '0')).join('').toUpperCase();
        },
    };
}

module.exports = {
    ROOT, e2eScenarios, e2eTexts, e2eControls, startBrowser, stopBrowser, engineName, scenario,
    runSteps, fail, checkEqual, failureCount, checkCount, waitFor, activeId, click, clickAt,
    typeInto, copiedBy, expectMessage, menu, boxText, decodePng, keyName,
};
