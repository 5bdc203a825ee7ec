'use strict';
// The browser checks of the web page: the end-to-end groups of the desktop programs run
// against pelmora.html in one browser engine (Chromium, Firefox or WebKit; engines.js), and
// what only a browser has (the phone-sized screen, axe-core, a clipboard the browser refuses).
//
//   node tests/web/web.js [--engine chromium|firefox|webkit] PAGE [GROUP...]
//
// GROUP is one of: window, road, messages, errors, usage, ending, dpi, phone, axe, digits,
// served (all of them when none is given). Exits 1 when a check failed.

const fs = require('fs');
const path = require('path');
const h = require('./harness');
const { ENGINES } = require('./engines');

const GROUPS = ['window', 'road', 'messages', 'errors', 'usage', 'ending', 'dpi', 'phone', 'axe', 'digits', 'served'];
const texts = h.e2eTexts();

// The tables of form/ as the page's build exported them (web/form_export.cpp) into the page:
// the same C++ data the desktop programs build their windows from.
async function tablesOf(page) {
    return page.evaluate(() => JSON.parse(document.getElementById('pelmora-form').textContent));
}

// Every control of TABLE with its rectangle in CSS pixels relative to its container's
// element, as the page has laid it out, and what it shows as its caption in which font and
// colour: a button's or label's text, the check box's label, a frame's caption (the element
// that names its group). All in one call, which costs the slower drivers little.
async function layout(page, controls, root) {
    return page.evaluate(({ controls, root }) => {
        const rootElement = document.getElementById(root);
        const scope = (name) => rootElement.querySelector(`#${CSS.escape(name)}`) ||
            (rootElement.id === name ? rootElement : null);
        const rgb = (s) => '#' + s.match(/\d+/g).slice(0, 3).map((v) => (+v).toString(16).padStart(2, '0')).join('').toUpperCase();
        return controls.map((c) => {
            const e = scope(c.name);
            const box = c.container === 'window' ? rootElement : scope(c.container);
            if (!e || !box)
                return { name: c.name, missing: true };
            const r = e.getBoundingClientRect(), o = box.getBoundingClientRect();
            // How far a label's text, as drawn, runs past the right edge of its box.
            const text = e.classList.contains('label') && e.querySelector(':scope > span');
            // What is drawn on top at the corners of a box: the box itself, or what covers it.
            const corners = c.kind !== 'text_box' ? [] : [[r.left, r.top], [r.right, r.top], [r.left, r.bottom], [r.right, r.bottom]]
                .map(([x, y]) => document.elementFromPoint(x + (x === r.left ? 0.5 : -0.5), y + (y === r.top ? 0.5 : -0.5)))
                .filter((hit) => hit && hit !== e).map((hit) => hit.id || hit.className);
            const by = e.getAttribute('aria-labelledby');
            const shown = e.type === 'checkbox' && e.labels.length ? e.labels[0] : by ? document.getElementById(by) : e;
            return {
                name: c.name,
                rect: [r.left - o.left, r.top - o.top, r.width, r.height].map((v) => Math.round(v * 100) / 100),
                absolute: [r.left, r.top, r.width, r.height],
                over: text ? text.getBoundingClientRect().right - r.right : 0,
                covered: corners.join(' '),
                text: shown.textContent,
                color: rgb(getComputedStyle(shown).color),
                weight: +getComputedStyle(e).fontWeight,
                size: parseFloat(getComputedStyle(shown).fontSize),
                family: getComputedStyle(shown).fontFamily,
                inputmode: e.getAttribute('inputmode'),
            };
        });
    }, { controls, root });
}

function expectedRect(c) {
    return [c.left, c.top, c.width, c.height].map((t) => t / 15);
}

// Contrast of two colours "#RRGGBB", as WCAG reckons it.
function contrast(a, b) {
    const lum = (c) => {
        const [r, g, bl] = [1, 3, 5].map((i) => parseInt(c.slice(i, i + 2), 16) / 255)
            .map((v) => (v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4));
        return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
    };
    const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p);
    return (x + 0.05) / (y + 0.05);
}

function hue(c) {
    const [r, g, b] = [1, 3, 5].map((i) => parseInt(c.slice(i, i + 2), 16));
    const max = Math.max(r, g, b), min = Math.min(r, g, b);
    if (max === min)
        return 0;
    const d = max - min;
    const h = max === r ? (g - b) / d : max === g ? 2 + (b - r) / d : 4 + (r - g) / d;
    return (h * 60 + 360) % 360;
}

// A text colour as the table gives it; one that reads too faintly on its background (under
// 4.6 : 1, a little over the 4.5 that axe-core asks for) may be darkened in its own hue,
// just enough to read.
function checkTextColour(what, got, want, background) {
    if (got === want || contrast(want, background) >= 4.6) {
        h.checkEqual(what, got, want);
        return;
    }
    const c = contrast(got, background);
    if (c < 4.5 || c > 5.2 || Math.abs(hue(got) - hue(want)) > 4)
        h.fail(`${what}: got [${got}] (contrast ${c.toFixed(2)} on ${background}), expected [${want}] darkened in its hue to 4.5`);
}

// Layout, captions and colours of one window against its table.
async function checkWindow(page, root, controls, scale = 1) {
    const t = await tablesOf(page);
    const shot = h.decodePng(await page.screenshot());
    for (const place of await layout(page, controls, root)) {
        const c = controls.find((x) => x.name === place.name);
        if (place.missing) {
            h.fail(`no element for ${c.name} in #${root}`);
            continue;
        }
        h.checkEqual(`rectangle of ${c.name}`, place.rect.join(','), expectedRect(c).join(','));
        if (place.over > 0.5)
            h.fail(`the text of ${c.name} runs ${place.over.toFixed(2)} px past its box`);
        if (c.kind === 'text_box')
            h.checkEqual(`what covers a corner of ${c.name}`, place.covered, '');
        const shown = place;
        if (c.text && c.kind !== 'text_box')
            h.checkEqual(`caption of ${c.name}`, shown.text, c.text);
        // The background as drawn, a few pixels in from the bottom-right corner, past any
        // border and clear of the text.
        const [x, y, w, ht] = place.absolute;
        const inset = c.kind === 'label' ? 2 : 4;
        if (c.background || c.kind === 'text_box') {
            const px = Math.floor(x + w - inset), py = Math.floor(y + ht - inset);
            h.checkEqual(`background of ${c.name} at ${px},${py}`, shot.at(px * scale, py * scale), c.background || '#FFFFFF');
        }
        const container = controls.find((x) => x.name === c.container);
        const background = c.kind === 'frame' || c.kind === 'label' ? (c.background || '#FFFFFF')
            : c.background || (c.kind === 'text_box' ? '#FFFFFF' : (container && container.background) || '#FFFFFF');
        if (c.foreground)
            checkTextColour(`text colour of ${c.name}`, shown.color, c.foreground, background);
        if (c.flags.includes('bold_font'))
            h.checkEqual(`bold font of ${c.name}`, shown.weight >= 700, true);
        // 9 pt, or 8.25 pt where the table says small, at 96 CSS px an inch; every gothic of
        // the tables and the Japanese web fallbacks, then any sans-serif.
        if (c.kind !== 'picture') {
            const points = c.flags.includes('small_font') ? t.small_point_size : t.standard_point_size;
            h.checkEqual(`font size of ${c.name}`, shown.size.toFixed(2), (points * 96 / 72).toFixed(2));
            const families = shown.family.split(',').map((f) => f.trim().replace(/^"|"$/g, ''));
            const wanted = [...t.gothic_families, 'IPAPGothic', 'Noto Sans CJK JP'];
            h.checkEqual(`fonts of ${c.name}`, wanted.filter((f) => !families.includes(f)).join(', ') +
                ` / ${families[families.length - 1]}`, ' / sans-serif');
        }
        if (c.flags.includes('digits'))
            h.checkEqual(`inputmode of ${c.name}`, shown.inputmode, 'numeric');
    }
}

async function tabWalk(page, count, key = 'Tab') {
    const seen = [];
    for (let i = 0; i < count; i++) {
        await page.press(key);
        seen.push(await h.activeId(page));
    }
    return seen;
}

async function groupWindow(pageFile) {
    for (const { name, steps } of h.e2eScenarios('window'))
        await h.scenario(name, pageFile, (s) => h.runSteps(s, steps));

    await h.scenario('layout, captions and colours from the tables', pageFile, async ({ page }) => {
        const t = await tablesOf(page);
        h.checkEqual('title of the page', await page.evaluate(() => document.title), t.main_window.caption);
        // The tables the page was built from place the controls where the desktop harness
        // clicks them.
        for (const [name, want] of Object.entries(h.e2eControls())) {
            const c = t.main_controls.find((x) => x.name === name) || {};
            h.checkEqual(`place of ${name} in the page's tables`,
                [c.container, c.left, c.top, c.width, c.height].join(' '),
                [want.container, want.left, want.top, want.width, want.height].join(' '));
        }
        await checkWindow(page, 'top', t.main_controls);
        // The menu bar: each menu and its command with the captions of the table, the
        // access key underlined rather than shown as "&".
        for (const m of t.main_menus) {
            const plain = (caption) => caption.replace('&', '');
            const shown = (id) => page.evaluate((x) => document.getElementById(x).textContent.trim(), id);
            h.checkEqual(`caption of ${m.menu}`, await shown(m.menu), plain(m.menu_caption));
            h.checkEqual(`caption of ${m.command}`, await shown(m.command), plain(m.command_caption));
        }
    });

    await h.scenario('tab order from the table', pageFile, async ({ page }) => {
        const order = (await tablesOf(page)).main_tab_order;
        // From syu1 once round and back to it; backwards the same way in reverse.
        h.checkEqual('Tab from syu1', (await tabWalk(page, order.length)).join(' '),
            [...order.slice(1), order[0]].join(' '));
        h.checkEqual('Shift+Tab from syu1', (await tabWalk(page, order.length, 'Shift+Tab')).join(' '),
            [...order].reverse().join(' '));
    });

    // What the engine's accessibility tree gives each control. Only Chromium's driver tells
    // descriptions; Firefox's finds an element by its name rather than saying the name.
    await h.scenario('accessible names and descriptions', pageFile, async ({ page }) => {
        const t = await tablesOf(page);
        for (const { name, accessible: want } of t.main_controls.filter((c) => c.accessible)) {
            h.checkEqual(`accessible name of ${name}`, await page.accessibleName(name, want.name), want.name);
            const description = await page.description(name);
            if (description !== null)
                h.checkEqual(`accessible description of ${name}`, description, want.description || '');
        }
    });
}

async function runGroup(group, pageFile, options) {
    for (const { name, steps } of h.e2eScenarios(group))
        await h.scenario(name, pageFile, (s) => h.runSteps(s, steps), options);
}

async function groupErrors(pageFile) {
    await runGroup('errors', pageFile);
    // A refused copy: neither the asynchronous clipboard nor the old copy command works. The
    // page reports it and goes on; the next copy, once the browser allows it again, works.
    await h.scenario('a copy the browser refuses', pageFile, async (s) => {
        const { page } = s;
        await h.runSteps(s, [['type', 'syu1', '5'], ['click', 'nokori_btn', '']]);
        const line = await h.boxText(page, 'nokori_txt');
        await page.evaluate(() => {
            window.__refuse = true;
            const write = navigator.clipboard.writeText.bind(navigator.clipboard);
            navigator.clipboard.writeText = (text) => (window.__refuse
                ? Promise.reject(new DOMException('refused', 'NotAllowedError')) : write(text));
            const exec = document.execCommand.bind(document);
            document.execCommand = (...args) => (window.__refuse ? false : exec(...args));
        });
        await h.click(s, 'copy1');
        await h.expectMessage(s, (await tablesOf(page)).clipboard_refused_report.replace(/\n/g, '\\n'));
        h.checkEqual('box after the refused copy', await h.boxText(page, 'nokori_txt'), line);
        await page.evaluate(() => { window.__refuse = false; });
        h.checkEqual('the next copy', await h.copiedBy(s, 'copy1'), line);
    });
    // A refusal that comes only after 終了 belongs to a settlement that is gone: no message.
    await h.scenario('a copy refused after 終了', pageFile, async (s) => {
        const { page } = s;
        // Each refusal comes when the steps say so, however long the clicks and keys take.
        await page.evaluate(() => {
            window.__refusals = [];
            navigator.clipboard.writeText = () => new Promise((resolve, reject) =>
                window.__refusals.push(() => reject(new DOMException('refused', 'NotAllowedError'))));
            document.execCommand = () => false;
        });
        const refuse = async () => {
            await h.waitFor(page, () => window.__refusals.length > 0);
            await page.evaluate(() => window.__refusals.shift()());
        };
        // Late, but while the settlement is still there: reported.
        await h.click(s, 'copy1');
        await refuse();
        await h.expectMessage(s, (await tablesOf(page)).clipboard_refused_report.replace(/\n/g, '\\n'));
        await h.click(s, 'copy1');
        await h.menu(s, 'alt+f', 'x');
        await refuse();
        await page.sleep(300);
        h.checkEqual('message boxes after the late refusal',
            await page.evaluate(() => document.querySelectorAll('dialog[open]').length), 0);
    });
    // Only the asynchronous clipboard refuses: the old copy command puts the text there.
    await h.scenario('copy by the old command when the clipboard API refuses', pageFile, async (s) => {
        const { page } = s;
        await page.evaluate(() => {
            navigator.clipboard.writeText = () => Promise.reject(new DOMException('refused', 'NotAllowedError'));
        });
        h.checkEqual('copy5 by execCommand', await h.copiedBy(s, 'copy5'), texts.BUN_START);
        await h.typeInto(s, 'bun_txt', 'edited by hand');
        h.checkEqual('copy5 of an edited box', await h.copiedBy(s, 'copy5'), 'edited by hand');
    });
}

async function usageState(page) {
    return page.evaluate(() => {
        const tips = [...document.querySelectorAll('[id=frmTip]')];
        const shown = tips.filter((e) => e.offsetParent !== null || getComputedStyle(e).display !== 'none' && e.getClientRects().length);
        const active = document.activeElement;
        return {
            count: tips.length,
            shown: shown.length,
            focusInside: !!(tips[0] && tips[0].contains(active)),
            text: tips[0] ? tips[0].innerText : '',
        };
    });
}

async function groupUsage(pageFile) {
    await h.scenario('usage window: at most one, hidden by OK, Enter and Esc', pageFile, async (s) => {
        const { page } = s;
        const t = await tablesOf(page);
        for (const how of ['Enter', 'Escape', 'OK']) {
            await h.menu(s, 'alt+h', 'u');
            let u = await usageState(page);
            h.checkEqual('usage windows shown', u.shown, 1);
            h.checkEqual('focus in the usage window', u.focusInside, true);
            h.checkEqual('focus when the usage window is shown', await h.activeId(page), t.usage_tab_order[0]);
            // Asking again shows the same window, not a second one. The click goes to the main
            // window where the usage window does not cover it.
            await h.click(s, 'card_txt');
            await h.menu(s, 'alt+h', 'u');
            u = await usageState(page);
            h.checkEqual('usage windows after asking twice', `${u.count} ${u.shown}`, '1 1');
            for (const c of t.usage_controls.filter((x) => x.text))
                h.checkEqual(`usage window shows ${c.name}`, u.text.includes(c.text), true);
            if (how === 'Enter') {
                // Its client area and every control of it as its table gives them.
                h.checkEqual('size of #frmTip', await page.evaluate(() => {
                    const r = document.getElementById('frmTip').getBoundingClientRect();
                    return `${r.width}x${r.height}`;
                }), `${t.usage_window.width / 15}x${t.usage_window.height / 15}`);
                await checkWindow(page, 'frmTip', t.usage_controls);
            }
            // It blocks nothing: the main window settles while it is shown.
            await h.runSteps(s, [['type', 'syu4', '3'], ['click', 'nokori_btn', '']]);
            h.checkEqual('main window works beside the usage window',
                (await h.boxText(page, 'nokori_txt')).endsWith(':3'), true);
            await h.menu(s, 'alt+h', 'u');
            if (how === 'OK')
                await h.clickAt(s, '#frmTip button');
            else
                await page.press(how);
            if (!(await h.waitFor(page, () => ![...document.querySelectorAll('[id=frmTip]')]
                .some((e) => e.getClientRects().length))))
                h.fail(`${how} did not hide the usage window`);
            // The keyboard goes back to the main window's control that last had it.
            h.checkEqual(`focus after ${how} hid the usage window`, await h.activeId(page), 'nokori_btn');
        }
        // Its close box destroys it; the next show makes it anew, with the same texts.
        await h.menu(s, 'alt+h', 'u');
        const before = (await usageState(page)).text;
        await h.clickAt(s, closeBox('frmTip_window'));
        h.checkEqual('usage windows after its close box', (await usageState(page)).shown, 0);
        await h.menu(s, 'alt+h', 'u');
        const again = await usageState(page);
        h.checkEqual('usage window after its close box and show', `${again.shown} ${again.text === before}`, '1 true');
        await page.press('Escape');
        // Enter and Esc in the main window press nothing and open nothing.
        await h.click(s, 'syu1');
        await page.press('Enter');
        await page.press('Escape');
        h.checkEqual('usage windows after Enter and Esc in the main window', (await usageState(page)).shown, 0);
    });
}

// The close box in the title bar of a window (#top_window or #frmTip_window), by its name.
function closeBox(window) {
    return `#${window} button[aria-label="閉じる"]`;
}

async function groupEnding(pageFile) {
    const [start] = h.e2eScenarios('window');
    for (const how of ['keys', 'mouse', 'close box']) {
        await h.scenario(`end by ${how === 'close box' ? 'the close box' : `the menu (${how})`}, usage window shown: back to the start state`, pageFile, async (s) => {
            const { page } = s;
            const road = h.e2eScenarios('road')[0].steps.filter(([verb]) => verb !== 'copy');
            await h.runSteps(s, road);
            await h.click(s, 'orc_check');
            await h.menu(s, 'alt+h', 'u');
            if (how === 'keys') {
                await h.click(s, 'card_txt');
                await h.menu(s, 'alt+f', 'x');
            } else if (how === 'mouse') {
                await h.click(s, 'file_top');
                await h.click(s, 'file_close');
            } else {
                await h.clickAt(s, closeBox('top_window'));
            }
            s.typed = {}; // the end empties every box
            h.checkEqual('usage windows after the end', (await usageState(page)).shown, 0);
            h.checkEqual('orc_check after the end', await page.evaluate(() => document.getElementById('orc_check').checked), true);
            if (!(await h.waitFor(page, () => document.activeElement && document.activeElement.id === 'syu1')))
                h.fail('the focus did not go back to syu1');
            // The start-up timer runs again after the end, and would take the focus back later.
            await h.waitFor(page, () => window.__startTimers.pending === 0);
            // The start state the window group checks, then nothing kept of the settlement:
            // "決定3" finds no sales total.
            await h.runSteps(s, start.steps);
            await h.runSteps(s, [['click', 'bun_btn', ''], ['message', texts.NO_TOTAL, '']]);
        });
    }
}

async function groupDpi(pageFile) {
    // Twice the pixels per CSS pixel (a screen of 192 dots per inch, or a zoom of 200 %): the
    // window keeps its size in CSS pixels and every control its place and colours.
    await h.scenario('twice the pixels per CSS pixel', pageFile, async ({ page }) => {
        h.checkEqual('size of #top', await page.evaluate(() => {
            const e = document.getElementById('top');
            return `${e.offsetWidth}x${e.offsetHeight}`;
        }), '497x613');
        await checkWindow(page, 'top', (await tablesOf(page)).main_controls, 2);
    }, { scale: 2 });
}

const PHONE = { viewport: { width: 390, height: 844 }, scale: 3, phone: true };

// Where the window and its controls stand on a screen WIDTH CSS px wide.
async function onScreen(page, t, width) {
    const m = await page.evaluate((names) => {
        const d = document.documentElement;
        return {
            scroll: [d.scrollWidth, d.clientWidth, document.body.scrollWidth],
            top: document.getElementById('top').getBoundingClientRect().width,
            controls: names.map((n) => {
                const r = document.querySelector(`#top #${n}`).getBoundingClientRect();
                return [n, r.left, r.right, r.width, r.height];
            }),
        };
    }, t.main_controls.map((c) => c.name));
    h.checkEqual('no horizontal scrolling', m.scroll[0] <= m.scroll[1] && m.scroll[2] <= m.scroll[1], true);
    for (const [name, left, right] of m.controls)
        if (left < 0 || right > width + 0.5)
            h.fail(`${name} lies outside the screen: ${left}..${right}`);
    // A narrow screen: the window fills its width; a wide one shows it at its own size.
    const natural = t.main_window.width / 15;
    if (width < natural + 20 ? m.top < width - 20 || m.top > width : m.top !== natural)
        h.fail(`the window is ${m.top} px wide on a ${width} px screen`);
    return m;
}

async function groupPhone(pageFile) {
    await h.scenario('phone 390 x 844: nothing overflows, every control on the screen', pageFile, async (s) => {
        const { page } = s;
        const t = await tablesOf(page);
        const m = await onScreen(page, t, 390);
        // Tap targets: none is tiny. The smallest is printed beside what axe-core's rule
        // "target-size" (24 x 24 px, or that much room around it) finds; the tapped road below
        // shows that every box it uses is hit where it is drawn.
        let smallest = null;
        for (const [name, , , w, ht] of m.controls) {
            const c = t.main_controls.find((x) => x.name === name);
            if (c.kind !== 'text_box' && c.kind !== 'button' && c.kind !== 'check_box')
                continue;
            if (Math.min(w, ht) < 12)
                h.fail(`${name} is ${w.toFixed(1)} x ${ht.toFixed(1)} px, too small to tap`);
            if (!smallest || w * ht < smallest[1] * smallest[2])
                smallest = [name, w, ht];
        }
        const small = await axeViolations(page, { runOnly: ['target-size'] });
        console.log(`  note: smallest tap target ${smallest[0]}, ${smallest[1].toFixed(1)} x ${smallest[2].toFixed(1)} px;` +
            ` under 24 px by axe-core's target-size: ${small.length ? small[0].split(': ')[1].split(', ').length : 0} control(s)`);
        // The usage window and a message box fit on the screen too.
        const inside = (selector) => page.evaluate((sel) => {
            const r = document.querySelector(sel).getBoundingClientRect();
            const d = document.documentElement;
            return r.left >= 0 && r.right <= d.clientWidth + 0.5 && d.scrollWidth <= d.clientWidth;
        }, selector);
        await h.menu(s, 'alt+h', 'u');
        h.checkEqual('usage window on the screen', await inside('#frmTip_window'), true);
        await page.press('Escape');
        await h.click(s, 'uri_kei_btn');
        if (await h.waitFor(page, () => !!document.querySelector('dialog[open]')))
            h.checkEqual('message box on the screen', await inside('dialog[open]'), true);
        await h.expectMessage(s, texts.NO_SALES);
    }, PHONE);
    // A small phone, and a phone held sideways.
    for (const [width, height] of [[320, 568], [844, 390]]) {
        await h.scenario(`phone ${width} x ${height}: nothing overflows`, pageFile, async ({ page }) => {
            await onScreen(page, await tablesOf(page), width);
        }, { ...PHONE, viewport: { width, height } });
    }
    // The road of a settlement, tapped.
    for (const { name, steps } of h.e2eScenarios('road').slice(0, 1))
        await h.scenario(`phone: ${name}, tapped`, pageFile, (s) => h.runSteps(s, steps), PHONE);
}

async function axeViolations(page, options = {}) {
    if (!(await page.evaluate(() => !!window.axe)))
        await page.evaluate((source) => {
            const script = document.createElement('script');
            script.textContent = source;
            document.head.append(script);
        }, fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
    const result = await page.evaluate((o) => window.axe.run(document, { resultTypes: ['violations'], ...o }), options);
    return result.violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

async function groupAxe(pageFile) {
    await h.scenario('axe-core: start, usage window, message box, after a settlement', pageFile, async (s) => {
        const { page } = s;
        h.checkEqual('axe at start', (await axeViolations(page)).join('; '), '');
        await h.menu(s, 'alt+h', 'u');
        h.checkEqual('axe with the usage window', (await axeViolations(page)).join('; '), '');
        await page.press('Escape');
        await h.click(s, 'uri_kei_btn');
        h.checkEqual('axe with a message box', (await axeViolations(page)).join('; '), '');
        await h.expectMessage(s, texts.NO_SALES);
        await h.runSteps(s, h.e2eScenarios('road')[0].steps.filter(([verb]) => verb !== 'copy'));
        h.checkEqual('axe after a settlement', (await axeViolations(page)).join('; '), '');
    });
}

// Full-width digits, as an input method gives them, read as the half-width ones: each line
// must equal the line of the same number typed in ASCII.
async function groupDigits(pageFile) {
    const cases = [
        // box, full-width text, ASCII text, decide button, box of the line
        ['syu1', '１２', '12', 'nokori_btn', 'nokori_txt'],
        ['card2', '３', '3', 'nokori_btn', 'card_txt'],
        ['uri1', '１２３４．５', '1234.5', 'uri_kei_btn', 'uri_goukei_txt'],
    ];
    await h.scenario('full-width digits read as on the desktop', pageFile, async (s) => {
        const { page } = s;
        for (const [box, wide, ascii, button, line] of cases) {
            await h.runSteps(s, [['type', box, ascii], ['click', button, '']]);
            const want = await h.boxText(page, line);
            await h.typeInto(s, box, '');
            await page.compose(wide);
            h.checkEqual(`box ${box}`, await h.boxText(page, box), wide);
            await h.click(s, button);
            h.checkEqual(`line from ${wide}`, await h.boxText(page, line), want);
            if (!want.includes(ascii.replace(/\..*/, '')) && box !== 'uri1')
                h.fail(`the line [${want}] does not show ${ascii}`);
        }
        // A full-width people count divides as the ASCII one.
        await h.runSteps(s, [['type', 'uri1', '900'], ['click', 'uri_kei_btn', ''], ['type', 'nin', '3'], ['click', 'bun_btn', '']]);
        const want = await h.boxText(page, 'bun_txt');
        await h.runSteps(s, [['type', 'nin', '３'], ['click', 'bun_btn', '']]);
        h.checkEqual('line from a full-width count', await h.boxText(page, 'bun_txt'), want);
    });
}

// The page from a plain static web server on this machine, as from any static host: one
// request, for the page, and the road of a settlement as from the disk.
async function groupServed(pageFile) {
    const http = require('http');
    const served = [];
    const server = http.createServer((request, response) => {
        served.push(request.url);
        if (request.url === '/pelmora.html') {
            response.writeHead(200, { 'Content-Type': 'text/html' });
            response.end(fs.readFileSync(pageFile));
        } else {
            response.writeHead(404);
            response.end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const pageUrl = `http://127.0.0.1:${server.address().port}/pelmora.html`;
    try {
        const [road] = h.e2eScenarios('road');
        await h.scenario(`served over HTTP: ${road.name}`, pageFile, async (s) => {
            await h.runSteps(s, road.steps);
            h.checkEqual('requests the server had', served.join(' '), '/pelmora.html');
        }, { pageUrl });
    } finally {
        server.close();
    }
}

// The road's first settlement typed and pressed while the core is still loading: the boxes take
// the typing, and 決定1 does its work once the core is there.
async function groupRoad(pageFile) {
    await runGroup('road', pageFile);
    const [{ steps }] = h.e2eScenarios('road');
    const pressed = steps.findIndex(([verb]) => verb === 'click') + 1;
    await h.scenario('pressed before the core is loaded', pageFile, async (s) => {
        const before = await h.boxText(s.page, 'nokori_txt');
        await h.runSteps(s, steps.slice(0, pressed));
        h.checkEqual('nokori_txt while the core loads', await h.boxText(s.page, 'nokori_txt'), before);
        await s.page.evaluate(() => window.__releaseCore());
        await s.page.evaluate(() => window.pelmoraReady);
        await h.runSteps(s, steps.slice(pressed));
    }, { coreHeld: true });
}

const RUN = {
    window: groupWindow,
    road: groupRoad,
    messages: (p) => runGroup('messages', p),
    errors: groupErrors,
    usage: groupUsage,
    ending: groupEnding,
    dpi: groupDpi,
    phone: groupPhone,
    axe: groupAxe,
    digits: groupDigits,
    served: groupServed,
};

async function main() {
    const args = process.argv.slice(2);
    let engine = 'chromium';
    if (args[0] === '--engine')
        engine = args.splice(0, 2)[1];
    const [pageFile, ...asked] = args;
    if (!pageFile || !ENGINES.includes(engine) || asked.some((g) => !GROUPS.includes(g))) {
        console.error(`usage: node tests/web/web.js [--engine ${ENGINES.join('|')}] PAGE [${GROUPS.join('|')}]...`);
        process.exit(2);
    }
    if (!fs.existsSync(pageFile)) {
        console.error(`no page at ${pageFile}`);
        process.exit(2);
    }
    const started = Date.now();
    const browser = await h.startBrowser(engine);
    console.log(`-- ${browser.version}`);
    try {
        const page = browser.prepare(path.resolve(pageFile));
        for (const group of asked.length ? asked : GROUPS) {
            const before = h.failureCount();
            const t = Date.now();
            await RUN[group](page);
            console.log(`web ${group}: ${h.failureCount() === before ? 'passed' : 'FAILED'} in ${Date.now() - t} ms`);
        }
    } finally {
        await h.stopBrowser();
    }
    console.log(`browser checks in ${browser.version}: ${h.checkCount()} checks, ${h.failureCount()} failure(s), in ${((Date.now() - started) / 1000).toFixed(1)} s`);
    process.exit(h.failureCount() ? 1 : 0);
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
