// The windows of the tables as trees of plain nodes ({tag, attributes, style, children}), made
// without a document, so that the same code serves twice: when the page is built, the main
// window's tree is written into pelmora.html as HTML and its places and colours as style rules
// (assemble.js), and the page turns the usage window's into elements when it is first asked
// for (draw.js). Each control is the node whose id is its name, at its table rectangle
// (twips / 15 CSS px) in its container, in the tables' colours and fonts.
const { readable } = require('colours');

const px = (twips) => twips / 15 + 'px';

// Attributes that are null, undefined or false are left out; true stands for an empty value.
function node(tag, attributes, ...children) {
    return { tag, attributes: attributes || {}, style: {}, children };
}

function place(n, row) {
    Object.assign(n.style, { left: px(row.left), top: px(row.top), width: px(row.width), height: px(row.height) });
}

// "ファイル(&F)": the text with the access key underlined, and the key.
function accessCaption(caption) {
    const at = caption.indexOf('&');
    if (at < 0 || at + 1 >= caption.length)
        return { nodes: [caption], key: null };
    const key = caption[at + 1];
    return { nodes: [caption.slice(0, at), node('u', null, key), caption.slice(at + 2)], key: key.toUpperCase() };
}

function titleBar(captionId, caption, heading, icon) {
    return node('div', { class: 'title-bar' },
        node('img', { src: icon, alt: '', width: 16, height: 16 }),
        node(heading ? 'h1' : 'span', { id: captionId, class: 'caption' }, caption));
}

const classes = (...names) => names.filter(Boolean).join(' ');

// The nodes of a control: the control itself, then what stands over it in the same container
// (the check box's caption). LABELS: the box each label names, so that a click on the label puts
// the cursor in the box. BEHIND: the colour of the container.
function control(row, labels, behind, icon) {
    const background = row.background || (row.kind === 'text_box' ? '#FFFFFF' : behind);
    const look = classes(row.flags.includes('small_font') && 'small', row.flags.includes('sunken') && 'sunken');
    let n, over = [];
    switch (row.kind) {
    case 'frame': {
        // The frame's text colour is its caption's; the labels in it are black.
        const caption = node('span', { id: row.name + '_caption', class: 'frame-caption' }, row.text);
        if (row.foreground)
            caption.style.color = readable(row.foreground, background);
        n = node('div', { id: row.name, class: classes('frame', look), role: 'group', 'aria-labelledby': row.name + '_caption' },
            node('div', { class: 'frame-border', 'aria-hidden': 'true' }), caption);
        break;
    }
    case 'label': {
        const box = labels.get(row.name);
        n = node(box ? 'label' : 'div', { id: row.name, class: classes('label', look), for: box }, node('span', null, row.text));
        break;
    }
    case 'text_box':
        n = node('input', {
            type: 'text', id: row.name, class: classes('box', row.flags.includes('flat') && 'flat', look),
            inputmode: row.flags.includes('digits') ? 'numeric' : null, value: row.text,
            autocomplete: 'off', autocapitalize: 'off', autocorrect: 'off', spellcheck: 'false',
        });
        break;
    case 'button':
        n = node('button', { type: 'button', id: row.name, class: classes('button', look) }, row.text);
        break;
    case 'check_box': {
        // A browser that brings back a reloaded page's form does not tick it from before.
        n = node('input', { type: 'checkbox', id: row.name, class: classes('check', look), checked: true, autocomplete: 'off' });
        const caption = node('label', { id: row.name + '_caption', class: 'check-caption', for: row.name }, row.text);
        place(caption, row);
        caption.style.left = `calc(${px(row.left)} + 17px)`;
        caption.style.width = `calc(${px(row.width)} - 17px)`;
        over = [caption]; // over the input, which draws the background; a click on it ticks the box
        break;
    }
    case 'picture':
        n = node('div', { id: row.name, class: classes('picture', look), tabindex: 0, role: 'group' },
            node('img', { class: 'picture-icon', src: icon, alt: '', width: 16, height: 16 }));
        break;
    default:
        throw new Error('a control of unknown kind: ' + row.kind);
    }
    place(n, row);
    if (row.background)
        n.style.backgroundColor = row.background;
    if (row.foreground && row.kind !== 'frame')
        n.style.color = readable(row.foreground, background);
    if (row.flags.includes('centred'))
        n.style.textAlign = 'center';
    if (row.flags.includes('bold_font'))
        n.style.fontWeight = 'bold';
    if (row.accessible) {
        n.attributes['aria-label'] = row.accessible.name;
        n.attributes['aria-description'] = row.accessible.description;
    }
    return [n, ...over];
}

// A window of the tables (W and its CONTROLS): a title bar with the icon, the caption and a
// close box, over the client area #name with the controls in their containers (the area, or a
// frame or panel listed above them).
function windowTree(w, controls, { icon, heading = false, labels = new Map(), attributes = {} }) {
    const area = node('div', { id: w.name, class: 'client' });
    Object.assign(area.style, { width: px(w.width), height: px(w.height) });
    if (w.background)
        area.style.backgroundColor = w.background;
    const made = new Map([['window', area]]);
    const backgrounds = new Map([['window', w.background || '#F0F0F0']]);
    for (const row of controls) {
        const container = made.get(row.container);
        const nodes = control(row, labels, backgrounds.get(row.container), icon);
        backgrounds.set(row.name, row.background || backgrounds.get(row.container));
        made.set(row.name, nodes[0]);
        container.children.push(...nodes);
        // A panel is named by the first label in it (the usage window's by its title).
        if (row.kind === 'label' && container.attributes.class.split(' ').includes('picture') && !container.attributes['aria-label'])
            container.attributes['aria-label'] = row.text;
    }
    const bar = titleBar(w.name + '_caption', w.caption, heading, icon);
    bar.children.push(node('button', { type: 'button', class: 'close', 'aria-label': '閉じる', title: '閉じる' }, '×'));
    return node('div', { id: w.name + '_window', class: 'window', ...attributes }, bar, area);
}

// The main window's menu bar: each menu a button over the list of its one command.
function menuBar(menus) {
    const bar = node('div', { id: 'menubar', class: 'menubar', role: 'menubar', 'aria-label': 'メニュー' });
    for (const row of menus) {
        const top = accessCaption(row.menu_caption);
        const item = accessCaption(row.command_caption);
        const topButton = node('button', {
            type: 'button', id: row.menu, class: 'menu-top', role: 'menuitem', tabindex: -1,
            'aria-haspopup': 'menu', 'aria-expanded': 'false', 'aria-controls': row.menu + '_list',
            'aria-keyshortcuts': top.key ? 'Alt+' + top.key : null,
        }, ...top.nodes);
        const command = node('button', {
            type: 'button', id: row.command, class: 'menu-item', role: 'menuitem', tabindex: -1,
            'aria-keyshortcuts': item.key,
        }, ...item.nodes);
        const list = node('div', { id: row.menu + '_list', class: 'menu', role: 'menu', 'aria-labelledby': row.menu, hidden: true },
            node('div', { role: 'none' }, command));
        bar.children.push(node('div', { role: 'none', class: 'menu-holder' }, topButton, list));
    }
    return bar;
}

function find(n, id) {
    if (typeof n === 'string')
        return null;
    if (n.attributes.id === id)
        return n;
    return n.children.reduce((found, c) => found || find(c, id), null);
}

// The main window with its menu bar under the title bar. A click on the label that names a box
// puts the cursor in the box.
function mainWindow(form, icon) {
    const labels = new Map(form.main_controls.filter((row) => row.accessible && row.accessible.label)
        .map((row) => [row.accessible.label, row.name]));
    const win = windowTree(form.main_window, form.main_controls, { icon, heading: true, labels });
    win.children.splice(1, 0, menuBar(form.main_menus));
    // The cursor waits where Timer1 puts it from the first paint on, before any script has run.
    find(win, form.timer1_target).attributes.autofocus = true;
    return win;
}

function usageWindow(form, icon) {
    const w = form.usage_window;
    return windowTree(w, form.usage_controls, {
        icon, attributes: { class: 'window usage-window', role: 'dialog', 'aria-modal': 'false', 'aria-labelledby': w.name + '_caption' },
    });
}

// The tables' fonts and sizes, for the whole page (the designed gothic first, as on the
// desktop; then the web's Japanese fallbacks), and the width of the main window's client area.
function fontRules(form) {
    const families = [...new Set([...form.gothic_families, 'IPAPGothic', 'Noto Sans CJK JP'])];
    if (families.some((f) => /["\\<]/.test(f)))
        throw new Error('a font family whose name CSS would have to escape');
    return `:root {\n    --gothic: ${families.map((f) => `"${f}"`).join(', ')}, sans-serif;\n` +
        `    --standard-size: ${form.standard_point_size}pt;\n    --small-size: ${form.small_point_size}pt;\n` +
        `    --main-width: ${px(form.main_window.width)};\n}\n`;
}

const escapeText = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const escapeAttribute = (text) => text.replace(/&/g, '&amp;').replace(/"/g, '&quot;');
const empty = new Set(['img', 'input']);
const kebab = (property) => property.replace(/[A-Z]/g, (c) => '-' + c.toLowerCase());

// TREE as HTML, and its nodes' styles as rules by id. A security policy of hashes lets no style
// attribute through, so the places and colours go into the page's style element; the ids of a
// client area's controls are taken within it, as the usage window's labels share names with
// the main window's.
function toHtml(tree) {
    const rules = [];
    function write(n, scope) {
        if (typeof n === 'string')
            return escapeText(n);
        const { id } = n.attributes;
        const selector = id ? `${scope}#${id}` : null;
        const properties = Object.entries(n.style);
        if (properties.length > 0) {
            if (!id || !/^[A-Za-z][\w-]*$/.test(id))
                throw new Error(`a styled <${n.tag}> needs a plain id, not "${id}"`);
            rules.push(`${selector} { ${properties.map(([p, v]) => `${kebab(p)}: ${v};`).join(' ')} }`);
        }
        const attributes = Object.entries(n.attributes).filter(([, v]) => v !== null && v !== undefined && v !== false)
            .map(([name, v]) => (v === true ? ` ${name}` : ` ${name}="${escapeAttribute(String(v))}"`)).join('');
        const inner = (n.attributes.class || '').split(' ').includes('client') ? selector + ' ' : scope;
        return `<${n.tag}${attributes}>` + (empty.has(n.tag) ? '' : n.children.map((c) => write(c, inner)).join('') + `</${n.tag}>`);
    }
    const html = write(tree, '');
    return { html, css: rules.join('\n') + '\n' };
}

Object.assign(exports, { node, accessCaption, titleBar, mainWindow, usageWindow, fontRules, toHtml, escapeText });
