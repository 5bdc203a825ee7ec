'use strict';
// The browser side of the end-to-end harness: Debian's Chromium driven by playwright-core, the
// page opened from the disk, real input through the browser's own mouse and keyboard, and the
// clipboard read back by another page. The steps are those of tests/e2e (printed by
// "e2e.sh --steps GROUP"), so the page is held to the very lines the desktop programs give.

const { execFileSync } = require('child_process');
const path = require('path');
const url = require('url');
const zlib = require('zlib');
const { chromium } = require('playwright-core');

const ROOT = path.resolve(__dirname, '../..');
const E2E = path.join(ROOT, 'tests/e2e/e2e.sh');
const CHROMIUM = process.env.PELMORA_CHROMIUM || '/usr/bin/chromium';
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

async function startBrowser() {
    browser = await chromium.launch({
        executablePath: CHROMIUM,
        // As root Chromium needs --no-sandbox; the page is our own and reads nothing.
        args: ['--no-sandbox', '--font-render-hinting=none'],
    });
    return browser;
}

async function stopBrowser() {
    if (browser)
        await browser.close();
    browser = null;
}

// A fresh page in a context of its own, nothing shared with the scenario before: the page as
// a user opens it from the disk. It records what it should never do: requests after load,
// uncaught errors, errors on the console.
async function openPage(pageFile, options = {}) {
    const context = await browser.newContext({
        viewport: { width: 1024, height: 768 },
        locale: 'ja-JP',
        ...options.context,
    });
    if (options.clipboard !== false)
        await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const page = await context.newPage();
    page.setDefaultTimeout(WAIT_MS);
    const pageUrl = options.pageUrl || url.pathToFileURL(pageFile).href;
    const session = { context, page, requests: [], errors: [], lastFocus: null, messages: 0, typed: {} };
    const reader = url.pathToFileURL(path.join(__dirname, 'reader.html')).href;
    context.on('request', (r) => {
        if (r.url() !== pageUrl && r.url() !== reader && !/^(data|blob):/.test(r.url()))
            session.requests.push(r.url());
    });
    page.on('pageerror', (e) => session.errors.push(String(e)));
    // An error the console shows counts too: a script or style the page's policy refuses, say.
    page.on('console', (m) => { if (m.type() === 'error') session.errors.push(m.text()); });
    // axe-core goes in as the browser's own script, before the page's: the page's policy runs
    // only the page's own scripts, and would refuse a script element added to it later.
    await page.addInitScript({ path: require.resolve('axe-core/axe.min.js') });
    // Counts the page's timeouts of 100 ms and more (the start-up timer among them), so that
    // the steps begin once it has fired, however late a busy machine runs it.
    await page.addInitScript(() => {
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
    });
    const started = Date.now();
    await page.goto(pageUrl);
    await page.evaluate(() => window.pelmoraReady);
    session.readyMs = Date.now() - started;
    // The start-up focus comes 200 ms (the table's Timer1) after the window is drawn; input
    // sent before it could be moved away, as on the desktop.
    const interval = await page.evaluate(() =>
        JSON.parse(document.getElementById('pelmora-form').textContent).timer1_interval_ms);
    await page.waitForTimeout(interval);
    // (A page that moved the focus by other means than a timeout passes this after a deadline.)
    await waitFor(page, () => window.__startTimers.fired > 0 && window.__startTimers.pending === 0, undefined, 2000);
    checkEqual('focus after load', await activeId(page), 'syu1');
    return session;
}

async function closePage(session) {
    checkEqual('requests after load', session.requests.join(' '), '');
    // Nothing is kept for a later visit.
    if (!session.page.isClosed()) {
        const kept = await session.page.evaluate(async () => [
            document.cookie, localStorage.length, sessionStorage.length,
            (await indexedDB.databases()).length, (await caches.keys()).length,
        ].join(' '));
        checkEqual('cookie, local and session storage, databases, caches', kept, ' 0 0 0 0');
    }
    checkEqual('uncaught errors in the page', session.errors.join(' | '), '');
    await session.context.close();
}

// waitFor PAGE FN [ARG]: true as soon as FN (run in the page) is true, false at the deadline.
async function waitFor(page, fn, arg, ms = WAIT_MS) {
    try {
        await page.waitForFunction(fn, arg, { timeout: ms, polling: 20 });
        return true;
    } catch (e) {
        if (page.isClosed())
            throw e;
        return false;
    }
}

// xdotool's key names as Playwright's.
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
        await page.click('dialog[open] button');
    else
        await page.keyboard.press(how);
    if (!(await waitFor(page, () => ![...document.querySelectorAll('dialog')].some((d) => d.open))))
        fail(`${how} did not close the message box`);
    else if (session.lastFocus)
        checkEqual(`focus after ${how} closed the message box`, await activeId(page), session.lastFocus);
}

async function expectNoMessage(session) {
    if (await openMessage(session.page)) {
        fail('unexpected message box');
        await session.page.keyboard.press('Enter');
    }
}

// The clipboard as another page of the browser reads it.
async function clipboard(session) {
    if (!session.reader) {
        session.reader = await session.context.newPage();
        await session.reader.goto(url.pathToFileURL(path.join(__dirname, 'reader.html')).href);
        await session.page.bringToFront();
    }
    const text = await session.reader.evaluate(() => navigator.clipboard.readText());
    // A page behind another draws no frames, and clicks wait for frames.
    await session.page.bringToFront();
    return text;
}

async function setClipboard(session, text) {
    await clipboard(session);
    await session.reader.evaluate((t) => navigator.clipboard.writeText(t), text);
    await session.page.bringToFront();
}

// copiedBy BUTTON: the text a copy button puts on the clipboard. A sentinel first, so that
// a change proves that the page has answered the click.
async function copiedBy(session, button) {
    const sentinel = `<web sentinel ${Date.now()}>`;
    await setClipboard(session, sentinel);
    await click(session, button);
    const deadline = Date.now() + WAIT_MS;
    let text;
    while ((text = await clipboard(session)) === sentinel && Date.now() < deadline)
        await session.page.waitForTimeout(20);
    return text === sentinel ? '<nothing copied>' : text;
}

// click NAME: a real click (a tap on a touch screen) in the middle of the control, as laid
// out: whatever the page draws there gets it, as under a user's mouse.
async function click(session, name) {
    const { page } = session;
    const target = page.locator(`#${name}`).first();
    await target.scrollIntoViewIfNeeded();
    const r = await target.boundingBox();
    if (!r)
        throw new Error(`${name} is not shown`);
    const [x, y] = [r.x + r.width / 2, r.y + r.height / 2];
    if (session.touch)
        await page.touchscreen.tap(x, y);
    else
        await page.mouse.click(x, y);
    session.lastFocus = name;
}

// typeInto BOX TEXT: replaces what the box holds, as a user does with the mouse and keys.
async function typeInto(session, box, text) {
    await click(session, box);
    await session.page.keyboard.press('Control+a');
    await session.page.keyboard.press('Backspace');
    if (text)
        await session.page.keyboard.type(text);
}

// menu KEY [CHOICE]: opens a menu with its access key and picks a command with its letter.
async function menu(session, key, choice) {
    const { page } = session;
    await page.keyboard.press(keyName(key));
    const opened = await waitFor(page, () => [...document.querySelectorAll('[role=menu]')]
        .some((e) => e.getClientRects().length > 0));
    if (!opened) {
        fail(`menu ${key} did not open`);
        return;
    }
    if (choice)
        await page.keyboard.press(keyName(choice));
}

async function boxText(page, box) {
    return page.$eval(`#${box}`, (e) => e.value);
}

async function topSize(page) {
    return page.$eval('#top', (e) => {
        const r = e.getBoundingClientRect();
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
        if (page.isClosed()) {
            fail(`the page was gone before: ${verb}|${a}|${b}`);
            return;
        }
        switch (verb) {
        case 'type':
            await typeInto(session, a, b);
            if (INPUT_BOX.test(a))
                session.typed[a] = b;
            break;
        case 'click': await click(session, a); break;
        case 'keys': await page.keyboard.type(a); break;
        case 'press':
            for (const key of a.split(' '))
                await page.keyboard.press(keyName(key));
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
        session.touch = !!options.touch;
        await body(session);
        await expectNoMessage(session);
    } catch (e) {
        fail(`stopped: ${e.message.split('\n')[0]}`);
    }
    if (session)
        await closePage(session).catch((e) => fail(`closing: ${e.message}`));
    console.log(`${failures === before ? 'ok' : 'not ok'}: ${name} (${Date.now() - started} ms)`);
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
    ROOT, e2eScenarios, e2eTexts, e2eControls, startBrowser, stopBrowser, scenario, runSteps, fail,
    checkEqual, failureCount, checkCount, waitFor, activeId, click, typeInto, copiedBy, clipboard,
    expectMessage, menu, boxText, decodePng, keyName,
};
