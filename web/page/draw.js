// Windows drawn from the tables: each control an element whose id is its name, at its table
// rectangle (twips / 15 CSS px) in its container, in the tables' colours and fonts.
const page = require('page');
const { readable } = require('colours');

const px = (twips) => twips / 15 + 'px';

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
        element('img', { src: page.icon, alt: '', width: 16, height: 16 }),
        element(heading ? 'h1' : 'span', { id: captionId, class: 'caption' }, caption));
}

// The elements of a control: the control itself, then what stands over it in the same container
// (the check box's caption). LABELS: the box each label names, so that a click on the label puts
// the cursor in the box.
function makeControl(row, labels, behind) {
    const background = row.background || (row.kind === 'text_box' ? '#FFFFFF' : behind);
    let e, over = [];
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
    case 'text_box':
        e = element('input', {
            type: 'text', id: row.name, class: 'box', inputmode: row.flags.includes('digits') ? 'numeric' : null,
            autocomplete: 'off', autocapitalize: 'off', autocorrect: 'off', spellcheck: 'false',
        });
        e.value = row.text;
        e.classList.toggle('flat', row.flags.includes('flat'));
        break;
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
        over = [caption]; // over the input, which draws the background; a click on it ticks the box
        break;
    }
    case 'picture':
        e = element('div', { id: row.name, class: 'picture', tabindex: 0, role: 'group' },
            element('img', { class: 'picture-icon', src: page.icon, alt: '', width: 16, height: 16 }));
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
    e.classList.toggle('small', row.flags.includes('small_font'));
    e.classList.toggle('sunken', row.flags.includes('sunken'));
    if (row.accessible) {
        e.setAttribute('aria-label', row.accessible.name);
        if (row.accessible.description)
            e.setAttribute('aria-description', row.accessible.description);
    }
    return [e, ...over];
}

// WebKitGTK names the key of Shift+Tab "Unidentified"; its code still says Tab.
const isTab = (event) => event.key === 'Tab' || (event.key === 'Unidentified' && event.code === 'Tab');

// Tab and Shift+Tab go through a window's controls in the tables' order and wrap around.
function tabTo(win, order, from, back) {
    const list = order.map((name) => win.querySelector('#' + CSS.escape(name))).filter((e) => e && !e.disabled);
    if (list.length === 0)
        return;
    const at = list.indexOf(from);
    const next = at < 0 ? (back ? list.length - 1 : 0) : (at + (back ? list.length - 1 : 1)) % list.length;
    list[next].focus();
}

// A window of the tables (W, its CONTROLS and TAB order): a title bar with the icon, the caption
// and a close box, over the client area #name with the controls in their containers (the area,
// or a frame or panel listed above them). The keys it takes go no further (the usage window
// lies inside the main window's element): Tab, Enter, which presses its default button (a
// focused button takes Enter itself), and Esc its cancel button.
function makeWindow(w, controls, tabOrder, { heading = false, labels = new Map(), attributes = {}, onClose }) {
    const area = element('div', { id: w.name, class: 'client' });
    Object.assign(area.style, { width: px(w.width), height: px(w.height) });
    if (w.background)
        area.style.backgroundColor = w.background;
    const made = new Map();
    const backgrounds = new Map([['window', w.background || '#F0F0F0']]);
    for (const row of controls) {
        const container = row.container === 'window' ? area : made.get(row.container);
        const elements = makeControl(row, labels, backgrounds.get(row.container));
        backgrounds.set(row.name, row.background || backgrounds.get(row.container));
        made.set(row.name, elements[0]);
        container.append(...elements);
        // A panel is named by the first label in it (the usage window's by its title).
        if (row.kind === 'label' && container.classList.contains('picture') && !container.hasAttribute('aria-label'))
            container.setAttribute('aria-label', row.text);
    }
    const close = element('button', { type: 'button', class: 'close', 'aria-label': '閉じる', title: '閉じる' }, '×');
    close.addEventListener('click', onClose);
    const bar = titleBar(w.name + '_caption', w.caption, heading);
    bar.append(close);
    const win = element('div', { id: w.name + '_window', class: 'window', ...attributes }, bar, area);
    const pressed = (flag) => made.get((controls.find((r) => r.flags.includes(flag)) || {}).name);
    win.addEventListener('keydown', (event) => {
        if (event.isComposing || event.altKey || event.ctrlKey || event.metaKey)
            return;
        const button = event.key === 'Escape' ? pressed('cancel_button')
            : event.key === 'Enter' && event.target.tagName !== 'BUTTON' ? pressed('default_button') : null;
        if (isTab(event))
            tabTo(win, tabOrder, event.target, event.shiftKey);
        else if (button)
            button.click();
        else
            return;
        event.preventDefault();
        event.stopPropagation();
    });
    return { win, bar, close, area, made };
}

Object.assign(exports, { element, accessCaption, titleBar, makeWindow, isTab });
