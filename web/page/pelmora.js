// Pelmora in a browser: the main window and the usage window drawn from the windows' tables
// (exported from form/ when the page is built), every command run by the WebAssembly core
// (web/bridge.cpp), which holds the settlement record. This script only draws, routes events
// and talks to the clipboard; no number is read, computed or formatted here.
//
// What the page offers to the people and scripts who use it:
// - Every control, menu and menu command is the element whose id is its name in the tables.
//   Text boxes are <input type="text"> (their value is the box's text), orc_check is an
//   <input type="checkbox"> drawn over the whole rectangle of the check box, its caption a
//   <label> on top of it.
// - #top is the main window's client area, 497 x 613 CSS px at desktop size, under its title
//   bar and menu bar (#top_window is the whole window). Each control stands at its table
//   rectangle (twips / 15) in its container: #top, or its frame.
// - The usage window is made when first asked for: #frmTip is its client area, inside
//   #frmTip_window with a title bar and a close box. Its labels bear the table names Label1 ..
//   Label8, which labels of the main window bear too: look them up inside #frmTip.
// - Message boxes are <dialog class="message"> opened with showModal(), role alertdialog,
//   titled "Pelmora", the text in .message-text, one OK button; Enter, Esc and OK close them and
//   the focus goes back where it was.
// - window.pelmoraReady resolves once the core is loaded and the window drawn.
// - Colours are the tables', but for a text colour that reads too faintly on its background
//   (under a contrast of 4.6 to 1, a little over the 4.5 that WCAG asks for, as several of the
//   design's reds, oranges and greens are): the page darkens that one, keeping its hue, just
//   enough to read (readable() below).
// - A screen narrower than the window gets the whole window scaled to its width (a CSS
//   transform on #top_window); nothing scrolls sideways.
// - The tables the page was drawn from are the JSON in <script id="pelmora-form">; the core's
//   WebAssembly is the base64 in <script id="pelmora-wasm">.
// - A page cannot close a tab the user opened, so 終了 (and the main window's close box) ends
//   the settlement instead: the page is back in its start state, with nothing kept (boxes, check
//   box, the record, the copied text, message boxes, the usage window), and the focus comes back
//   to syu1 as at start.
// The page reads and writes no files, stores nothing and sends nothing anywhere.
'use strict';

(function () {
    const form = JSON.parse(document.getElementById('pelmora-form').textContent);
    const icon = document.querySelector('link[rel="icon"]').href;
    const px = (twips) => twips / 15 + 'px';

    let resolveReady;
    let rejectReady;
    window.pelmoraReady = new Promise((resolve, reject) => {
        resolveReady = resolve;
        rejectReady = reject;
    });

    let core = null; // the WebAssembly module, once instantiated
    const boxes = form.fields.map(() => null); // by the core's field index
    let orcCheck = null;
    let mainWindow = null;
    let client = null;
    let timer1 = 0;
    let lastMainFocus = null; // the main window's control that last had the keyboard
    let settlement = 0; // counts the 終了s

    // Drawing

    function element(tag, attributes, ...children) {
        const e = document.createElement(tag);
        for (const [name, value] of Object.entries(attributes || {})) {
            if (value !== null && value !== undefined && value !== false)
                e.setAttribute(name, value === true ? '' : String(value));
        }
        e.append(...children);
        return e;
    }

    function place(e, row) {
        Object.assign(e.style, { left: px(row.left), top: px(row.top), width: px(row.width), height: px(row.height) });
    }

    // "ファイル(&F)": the text with the access key underlined, and the key.
    function accessCaption(caption) {
        const at = caption.indexOf('&');
        if (at < 0 || at + 1 >= caption.length)
            return { nodes: [caption], key: null };
        const key = caption[at + 1];
        return { nodes: [caption.slice(0, at), element('u', null, key), caption.slice(at + 2)], key: key.toUpperCase() };
    }

    function titleBar(captionId, caption, heading) {
        return element('div', { class: 'title-bar' },
            element('img', { src: icon, alt: '', width: 16, height: 16 }),
            element(heading ? 'h1' : 'span', { id: captionId, class: 'caption' }, caption));
    }

    // The label that names each input box, so that a click on it puts the cursor in the box.
    const namedBy = new Map();
    for (const row of form.main_controls) {
        if (row.accessible && row.accessible.label)
            namedBy.set(row.accessible.label, row.name);
    }

    // Colours

    function rgb(colour) {
        const value = parseInt(colour.slice(1), 16);
        return [(value >> 16) & 255, (value >> 8) & 255, value & 255];
    }

    function luminance([r, g, b]) {
        const linear = (c) => (c / 255 <= 0.03928 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4);
        return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    }

    function contrast(a, b) {
        const [hi, lo] = [luminance(a), luminance(b)].sort((x, y) => y - x);
        return (hi + 0.05) / (lo + 0.05);
    }

    // A text colour of the tables as the page draws it: itself where it reads well enough on
    // its background (a contrast of 4.6 to 1), else the same hue darkened until it does. Some
    // of the design's bright reds, oranges and greens on white or pastel fall short of that.
    const readableColours = new Map(); // the tables repeat their pairs

    function readable(foreground, background) {
        const key = foreground + background;
        if (!readableColours.has(key))
            readableColours.set(key, darkened(foreground, background));
        return readableColours.get(key);
    }

    function darkened(foreground, background) {
        const bg = rgb(background || '#FFFFFF');
        let fg = rgb(foreground);
        for (let k = 1; contrast(fg, bg) < 4.6 && k > 0; k -= 0.02)
            fg = rgb(foreground).map((c) => Math.round(c * k));
        return '#' + fg.map((c) => c.toString(16).padStart(2, '0')).join('').toUpperCase();
    }

    // What stands over a control, in the same container: the check box's caption.
    const drawnOver = new WeakMap();

    function makeControl(row, labels, behind) {
        const background = row.background || (row.kind === 'text_box' ? '#FFFFFF' : behind);
        let e;
        switch (row.kind) {
        case 'frame': {
            // The frame's text colour is its caption's; the labels in it are black.
            const caption = element('span', { id: row.name + '_caption', class: 'frame-caption' }, row.text);
            if (row.foreground)
                caption.style.color = readable(row.foreground, background);
            e = element('div', { id: row.name, class: 'frame', role: 'group', 'aria-labelledby': row.name + '_caption' },
                element('div', { class: 'frame-border', 'aria-hidden': 'true' }), caption);
            break;
        }
        case 'label': {
            const box = labels.get(row.name);
            e = element(box ? 'label' : 'div', { id: row.name, class: 'label', for: box }, element('span', null, row.text));
            break;
        }
        case 'text_box': {
            const digits = row.flags.includes('digits');
            e = element('input', {
                type: 'text', id: row.name, class: 'box', inputmode: digits ? 'numeric' : null,
                autocomplete: 'off', autocapitalize: 'off', autocorrect: 'off', spellcheck: 'false',
            });
            e.value = row.text;
            if (row.flags.includes('flat'))
                e.classList.add('flat');
            break;
        }
        case 'button':
            e = element('button', { type: 'button', id: row.name, class: 'button' }, row.text);
            break;
        case 'check_box': {
            e = element('input', { type: 'checkbox', id: row.name, class: 'check' });
            e.checked = true;
            const caption = element('label', { id: row.name + '_caption', class: 'check-caption', for: row.name }, row.text);
            place(caption, row);
            caption.style.left = `calc(${px(row.left)} + 17px)`;
            caption.style.width = `calc(${px(row.width)} - 17px)`;
            // Over the input, which draws the background; a click on it ticks the box.
            drawnOver.set(e, caption);
            break;
        }
        case 'picture':
            e = element('div', { id: row.name, class: 'picture', tabindex: 0, role: 'group' },
                element('img', { class: 'picture-icon', src: icon, alt: '', width: 16, height: 16 }));
            break;
        default:
            throw new Error('a control of unknown kind: ' + row.kind);
        }
        place(e, row);
        if (row.background)
            e.style.backgroundColor = row.background;
        if (row.foreground && row.kind !== 'frame')
            e.style.color = readable(row.foreground, background);
        if (row.flags.includes('centred'))
            e.style.textAlign = 'center';
        if (row.flags.includes('bold_font'))
            e.style.fontWeight = 'bold';
        if (row.flags.includes('small_font'))
            e.classList.add('small');
        if (row.flags.includes('sunken'))
            e.classList.add('sunken');
        if (row.accessible) {
            e.setAttribute('aria-label', row.accessible.name);
            if (row.accessible.description)
                e.setAttribute('aria-description', row.accessible.description);
        }
        return e;
    }

    // Controls into their containers: the client area or a frame or panel listed above them.
    function fill(area, rows, labels, windowBackground) {
        const made = new Map();
        const backgrounds = new Map([['window', windowBackground]]);
        for (const row of rows) {
            const container = row.container === 'window' ? area : made.get(row.container);
            const e = makeControl(row, labels, backgrounds.get(row.container));
            backgrounds.set(row.name, row.background || backgrounds.get(row.container));
            made.set(row.name, e);
            container.append(e);
            if (drawnOver.has(e))
                container.append(drawnOver.get(e));
        }
        return made;
    }

    function buildMainWindow() {
        const w = form.main_window;
        mainWindow = element('div', { id: w.name + '_window', class: 'window' });
        client = element('div', { id: w.name, class: 'client' });
        Object.assign(client.style, { width: px(w.width), height: px(w.height), backgroundColor: w.background });
        const made = fill(client, form.main_controls, namedBy, w.background);
        form.fields.forEach((name, i) => { boxes[i] = made.get(name); });
        orcCheck = made.get('orc_check');
        // Its close box ends the settlement, as 終了 does.
        const bar = titleBar(w.name + '_caption', w.caption, true);
        const close = element('button', { type: 'button', class: 'close', 'aria-label': '閉じる', title: '閉じる' }, '×');
        close.addEventListener('click', () => { if (core) endSettlement(); });
        bar.append(close);
        mainWindow.append(bar, buildMenus(), client);
        document.title = w.caption;
        return mainWindow;
    }

    // Menus

    const menus = []; // {top, list, item, key, itemKey}
    let openMenu = null;
    let focusBeforeMenu = null;

    function buildMenus() {
        const bar = element('div', { id: 'menubar', class: 'menubar', role: 'menubar', 'aria-label': 'メニュー' });
        for (const row of form.main_menus) {
            const top = accessCaption(row.menu_caption);
            const item = accessCaption(row.command_caption);
            const topButton = element('button', {
                type: 'button', id: row.menu, class: 'menu-top', role: 'menuitem', tabindex: -1,
                'aria-haspopup': 'menu', 'aria-expanded': 'false', 'aria-controls': row.menu + '_list',
                'aria-keyshortcuts': top.key ? 'Alt+' + top.key : null,
            }, ...top.nodes);
            const command = element('button', {
                type: 'button', id: row.command, class: 'menu-item', role: 'menuitem', tabindex: -1,
                'aria-keyshortcuts': item.key,
            }, ...item.nodes);
            const list = element('div', { id: row.menu + '_list', class: 'menu', role: 'menu', 'aria-labelledby': row.menu, hidden: true },
                element('div', { role: 'none' }, command));
            const menu = { top: topButton, list, item: command, key: top.key, itemKey: item.key };
            menus.push(menu);
            topButton.addEventListener('click', () => (openMenu === menu ? closeMenus(true) : showMenu(menu, false)));
            topButton.addEventListener('pointerenter', () => { if (openMenu && openMenu !== menu) showMenu(menu, false); });
            // A menu command closes its menu first: the command then finds the focus where it was.
            command.addEventListener('click', () => closeMenus(true), { capture: true });
            bar.append(element('div', { role: 'none', class: 'menu-holder' }, topButton, list));
        }
        document.addEventListener('pointerdown', (event) => {
            if (openMenu && !bar.contains(event.target))
                closeMenus(false);
        });
        return bar;
    }

    function showMenu(menu, byKey) {
        if (!openMenu)
            focusBeforeMenu = document.activeElement;
        for (const m of menus) {
            m.list.hidden = m !== menu;
            m.top.setAttribute('aria-expanded', String(m === menu));
            m.top.classList.toggle('open', m === menu);
        }
        openMenu = menu;
        (byKey ? menu.item : menu.top).focus();
    }

    function closeMenus(restore) {
        if (!openMenu)
            return;
        for (const m of menus) {
            m.list.hidden = true;
            m.top.setAttribute('aria-expanded', 'false');
            m.top.classList.remove('open');
        }
        openMenu = null;
        if (restore && focusBeforeMenu && focusBeforeMenu.isConnected)
            focusBeforeMenu.focus();
        focusBeforeMenu = null;
    }

    // The core

    function putText(f, text) {
        const units = text.length;
        const at = core._malloc(Math.max(2, units * 2));
        if (!at)
            throw new RangeError('no memory for a text of ' + units + ' characters');
        const heap = core.HEAPU16; // after malloc: a grown memory has new views
        for (let k = 0; k < units; ++k)
            heap[(at >> 1) + k] = text.charCodeAt(k);
        core._pelmora_set_text(f, at, units);
        core._free(at);
    }

    // The text the last call gave, code unit for code unit.
    function takeText(at) {
        const units = core._pelmora_result_length();
        const heap = core.HEAPU16;
        let text = '';
        for (let k = 0; k < units; k += 8192)
            text += String.fromCharCode.apply(null, heap.subarray((at >> 1) + k, (at >> 1) + Math.min(units, k + 8192)));
        return text;
    }

    // A box shows the beginning of a text put into it, as report lines are read from the left.
    function setBox(box, text) {
        if (box.value === text)
            return;
        box.value = text;
        box.scrollLeft = 0;
        if (document.activeElement === box)
            box.setSelectionRange(0, 0);
    }

    // Runs a binding's command in the core on what the boxes show now, then shows what it
    // wrote, moves the focus where it asked and shows its messages. 1: the command ran to its
    // end; 0: a tally_error stopped it (and was reported).
    function runCore(binding) {
        boxes.forEach((box, f) => putText(f, box.value));
        core._pelmora_set_orc_check(orcCheck.indeterminate ? 2 : orcCheck.checked ? 1 : 0);
        const outcome = core._pelmora_press(binding);
        boxes.forEach((box, f) => setBox(box, takeText(core._pelmora_text(f))));
        for (let k = 0, n = core._pelmora_focus_count(); k < n; ++k)
            boxes[core._pelmora_focus(k)].focus();
        for (let k = 0, n = core._pelmora_message_count(); k < n; ++k)
            showMessage(takeText(core._pelmora_message(k)));
        return outcome;
    }

    // The clipboard

    // The old way: a copy event whose data the page sets itself, so no selection is disturbed.
    function copyByCommand(text) {
        let put = false;
        const onCopy = (event) => {
            event.clipboardData.setData('text/plain', text);
            event.preventDefault();
            put = true;
        };
        document.addEventListener('copy', onCopy, true);
        try {
            put = document.execCommand('copy') && put;
        } catch (e) {
            put = false;
        } finally {
            document.removeEventListener('copy', onCopy, true);
        }
        return put;
    }

    // The clipboard's text is replaced as a whole (which clears it first). False when refused.
    async function putOnClipboard(text) {
        if (navigator.clipboard && navigator.clipboard.writeText) {
            try {
                await navigator.clipboard.writeText(text);
                return true;
            } catch (e) {
                // refused (no permission, no focus): the old way may still be allowed
            }
        }
        return copyByCommand(text);
    }

    async function copyBox(binding) {
        if (runCore(binding) !== 1)
            return;
        const text = takeText(core._pelmora_copied());
        const during = settlement;
        // A refusal that comes back after 終了 belongs to a settlement that is gone.
        if (!(await putOnClipboard(text)) && during === settlement)
            showMessage(form.clipboard_refused_report);
    }

    // Message boxes

    const waiting = [];
    let message = null; // {dialog, text, ok, returnTo}

    function buildMessageBox() {
        const text = element('p', { id: 'message_text', class: 'message-text' });
        const ok = element('button', { type: 'button', id: 'message_ok', class: 'button message-ok' }, 'OK');
        const dialog = element('dialog', {
            id: 'message', class: 'message', role: 'alertdialog', 'aria-modal': 'true',
            'aria-labelledby': 'message_caption', 'aria-describedby': 'message_text',
        }, titleBar('message_caption', 'Pelmora', false), element('div', { class: 'message-body' }, text, element('div', { class: 'message-buttons' }, ok)));
        message = { dialog, text, ok, returnTo: null };
        ok.addEventListener('click', () => dialog.close());
        dialog.addEventListener('keydown', (event) => {
            if (event.key === 'Enter' || event.key === 'Escape') {
                event.preventDefault();
                event.stopPropagation();
                dialog.close();
            } else if (isTab(event)) { // OK is all there is to go to
                event.preventDefault();
                event.stopPropagation();
                ok.focus();
            }
        });
        dialog.addEventListener('cancel', (event) => {
            event.preventDefault();
            dialog.close();
        });
        dialog.addEventListener('close', () => {
            const back = message.returnTo;
            message.returnTo = null;
            if (back && back.isConnected)
                back.focus();
            showNextMessage();
        });
        return dialog;
    }

    function showMessage(text) {
        waiting.push(text);
        if (!message.dialog.open)
            showNextMessage();
    }

    function showNextMessage() {
        if (waiting.length === 0 || message.dialog.open)
            return;
        message.returnTo = document.activeElement;
        message.text.textContent = waiting.shift();
        message.dialog.showModal();
        message.ok.focus();
    }

    // The usage window

    let usage = null; // {window, ok}

    function buildUsage() {
        const w = form.usage_window;
        const area = element('div', { id: w.name, class: 'client' });
        Object.assign(area.style, { width: px(w.width), height: px(w.height) });
        if (w.background)
            area.style.backgroundColor = w.background;
        const made = fill(area, form.usage_controls, new Map(), w.background || '#F0F0F0');
        const title = form.usage_controls.find((row) => row.name === 'Label1');
        if (title)
            made.get('Picture1').setAttribute('aria-label', title.text);
        const close = element('button', { type: 'button', class: 'close', 'aria-label': '閉じる', title: '閉じる' }, '×');
        const bar = titleBar(w.name + '_caption', w.caption, false);
        bar.append(close);
        const win = element('div', {
            id: w.name + '_window', class: 'window usage-window', role: 'dialog', 'aria-modal': 'false',
            'aria-labelledby': w.name + '_caption',
        }, bar, area);

        // Placed where the tables put it beside the main window, kept inside the main window.
        const clientTop = client.offsetTop;
        const left = Math.min(Math.max(0, (w.left - form.main_window.left) / 15), (form.main_window.width - w.width) / 15);
        win.style.left = left + 'px';
        win.style.top = clientTop + Math.max(0, (w.top - form.main_window.top) / 15) + 'px';

        usage = { window: win, ok: made.get('cmdOK') };
        usage.ok.addEventListener('click', hideUsage);
        close.addEventListener('click', destroyUsage);
        win.addEventListener('keydown', (event) => {
            if (event.altKey || event.ctrlKey || event.metaKey)
                return;
            if (event.key === 'Escape' || (event.key === 'Enter' && event.target !== usage.ok && event.target !== close)) {
                event.preventDefault();
                hideUsage();
            }
        });
        draggable(win, bar, close);
        mainWindow.append(win);
        condenseLabels(area);
    }

    // The title bar moves the window, as a window's does.
    function draggable(win, bar, except) {
        bar.addEventListener('pointerdown', (event) => {
            if (event.button !== 0 || except.contains(event.target))
                return;
            const scale = currentScale();
            const start = { x: event.clientX, y: event.clientY, left: win.offsetLeft, top: win.offsetTop };
            bar.setPointerCapture(event.pointerId);
            const move = (e) => {
                const left = start.left + (e.clientX - start.x) / scale;
                const top = start.top + (e.clientY - start.y) / scale;
                win.style.left = Math.min(Math.max(left, 40 - win.offsetWidth), mainWindow.offsetWidth - 40) + 'px';
                win.style.top = Math.min(Math.max(top, 0), mainWindow.offsetHeight - bar.offsetHeight) + 'px';
            };
            const end = () => {
                bar.removeEventListener('pointermove', move);
                bar.removeEventListener('pointerup', end);
                bar.removeEventListener('pointercancel', end);
            };
            bar.addEventListener('pointermove', move);
            bar.addEventListener('pointerup', end);
            bar.addEventListener('pointercancel', end);
            event.preventDefault();
        });
    }

    function showUsage() {
        if (!usage)
            buildUsage();
        if (usage.window.hidden || !usage.window.contains(document.activeElement)) {
            usage.window.hidden = false;
            usage.ok.focus();
        }
    }

    // The main window has the keyboard again, in the control that last had it.
    function backToMain() {
        const back = lastMainFocus && lastMainFocus.isConnected ? lastMainFocus : boxes[form.fields.indexOf('syu1')];
        back.focus();
    }

    function hideUsage() {
        if (!usage || usage.window.hidden)
            return;
        usage.window.hidden = true;
        backToMain();
    }

    function destroyUsage() {
        if (!usage)
            return;
        usage.window.remove();
        usage = null;
        backToMain();
    }

    // Keys

    // WebKitGTK names the key of Shift+Tab "Unidentified"; its code still says Tab.
    function isTab(event) {
        return event.key === 'Tab' || (event.key === 'Unidentified' && event.code === 'Tab');
    }

    // Tab and Shift+Tab go through a window's controls in the tables' order and wrap around.
    function tabTo(order, from, back) {
        const list = order.map((name) => document.getElementById(name)).filter((e) => e && !e.disabled);
        if (list.length === 0)
            return;
        const at = list.indexOf(from);
        const next = at < 0 ? (back ? list.length - 1 : 0) : (at + (back ? list.length - 1 : 1)) % list.length;
        list[next].focus();
    }

    function onKey(event) {
        if (message.dialog.open || event.isComposing) // the input method has the keys
            return;
        const target = event.target;
        if (openMenu && !event.altKey && !event.ctrlKey && !event.metaKey) {
            const at = menus.indexOf(openMenu);
            if (event.key === 'Escape') {
                closeMenus(true);
            } else if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
                showMenu(menus[(at + (event.key === 'ArrowRight' ? 1 : menus.length - 1)) % menus.length], true);
            } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp' || isTab(event)) {
                openMenu.item.focus();
            } else if (event.key === 'Enter' || event.key === ' ') {
                (document.activeElement === openMenu.top ? openMenu.item : document.activeElement).click();
            } else if (event.key.length === 1 && event.key.toUpperCase() === openMenu.itemKey) {
                openMenu.item.click();
            } else {
                return;
            }
            event.preventDefault();
            return;
        }
        if (event.altKey && !event.ctrlKey && !event.metaKey && /^Key[A-Z]$/.test(event.code)) {
            // The page is one window to the browser: its menus open from the usage window too.
            const menu = menus.find((m) => m.key === event.code.slice(3));
            if (menu) {
                event.preventDefault();
                showMenu(menu, true);
            }
            return;
        }
        if (isTab(event) && !event.ctrlKey && !event.altKey && !event.metaKey) {
            if (usage && usage.window.contains(target))
                tabTo(form.usage_tab_order, target, event.shiftKey);
            else
                tabTo(form.main_tab_order, target, event.shiftKey);
            event.preventDefault();
        }
    }

    // Commands

    function startTimer1() {
        clearTimeout(timer1);
        // Timer1: once the window is up, the cursor waits in the first reward box.
        timer1 = setTimeout(() => boxes[form.fields.indexOf('syu1')].focus(), form.timer1_interval_ms);
    }

    // 終了: back to the start state, nothing kept.
    function endSettlement() {
        ++settlement;
        closeMenus(false);
        waiting.length = 0;
        message.returnTo = null;
        if (message.dialog.open)
            message.dialog.close();
        if (usage) {
            usage.window.remove();
            usage = null;
        }
        core._pelmora_reset();
        boxes.forEach((box, f) => setBox(box, takeText(core._pelmora_text(f))));
        orcCheck.indeterminate = false;
        orcCheck.checked = true;
        lastMainFocus = null;
        boxes[form.fields.indexOf('syu1')].focus();
        startTimer1();
    }

    function run(binding, row) {
        if (!core)
            return;
        switch (row.does) {
        case 'end_program': return endSettlement();
        case 'show_usage': return showUsage();
        case 'copy': return copyBox(binding);
        default: return runCore(binding);
        }
    }

    // Fitting the screen

    function currentScale() {
        const m = /scale\(([\d.]+)\)/.exec(mainWindow.style.transform);
        return m ? Number(m[1]) : 1;
    }

    // A screen narrower than the window gets the whole window, scaled to its width.
    function fit() {
        const stage = document.getElementById('stage');
        const width = mainWindow.offsetWidth;
        const height = mainWindow.offsetHeight;
        const room = document.documentElement.clientWidth;
        const narrow = room < width + 32;
        const scale = narrow ? Math.min(1, room / width) : 1;
        mainWindow.style.transform = scale < 1 ? `scale(${scale})` : '';
        stage.style.width = width * scale + 'px';
        stage.style.height = height * scale + 'px';
        // Centred on a whole pixel, so that the window's edges fall on the screen's pixels.
        stage.style.marginLeft = narrow ? '0' : Math.floor((room - width) / 2) + 'px';
        stage.style.marginTop = narrow ? '0' : '16px';
    }

    // A label too long for its rectangle in the font this browser has is set closer, down to
    // 85 %, as on the desktop; one that still does not fit is left as it is. Both widths are
    // measured as drawn (an inline box has no scroll width in some engines), so a window
    // scaled to a narrow screen scales both alike.
    function condenseLabels(root) {
        for (const label of root.querySelectorAll('.label > span')) {
            const room = label.parentElement.getBoundingClientRect().width;
            const need = label.getBoundingClientRect().width;
            if (need > room && need > 0) {
                const ratio = Math.max(0.85, room / need);
                label.style.display = 'inline-block';
                label.style.transformOrigin = '0 0';
                label.style.transform = `scaleX(${ratio})`;
            }
        }
    }

    // Start

    // The WebAssembly the page holds in base64, handed to the loader: nothing is fetched.
    function loadCore() {
        const text = atob(document.getElementById('pelmora-wasm').textContent.trim());
        const bytes = new Uint8Array(text.length);
        for (let k = 0; k < text.length; ++k)
            bytes[k] = text.charCodeAt(k);
        return pelmoraCore({ wasmBinary: bytes });
    }

    function start() {
        // Compiled while the window is drawn.
        let loading;
        try {
            loading = loadCore();
        } catch (error) {
            loading = Promise.reject(error);
        }

        // The designed gothic first, as on the desktop; then the web's Japanese fallbacks.
        const families = [...form.gothic_families, 'IPAPGothic', 'Noto Sans CJK JP']
            .filter((f, i, all) => all.indexOf(f) === i)
            .map((f) => `"${f}"`).join(', ') + ', sans-serif';
        document.documentElement.style.setProperty('--gothic', families);
        document.documentElement.style.setProperty('--standard-size', form.standard_point_size + 'pt');
        document.documentElement.style.setProperty('--small-size', form.small_point_size + 'pt');

        const stage = document.getElementById('stage');
        stage.append(buildMainWindow(), buildMessageBox());
        form.main_bindings.forEach((row, binding) => {
            document.getElementById(row.control).addEventListener('click', () => run(binding, row));
        });
        client.addEventListener('focusin', (event) => { lastMainFocus = event.target; });
        document.addEventListener('keydown', onKey);
        window.addEventListener('resize', fit);
        condenseLabels(client); // the fonts are the system's: laid out at once
        fit();
        boxes[form.fields.indexOf('syu1')].focus();
        startTimer1();

        loading.then((module) => {
            core = module;
            resolveReady();
        }, (error) => {
            showMessage(String(error && error.message || error));
            rejectReady(error);
        });
    }

    start();
})();
