// The windows' elements and what they do: the trees of render.js made into elements, and the
// keys and close box of a window, whether its elements came with the page or were made here.
const render = require('render');

// NODE (a tree of render.js, or an element already made) as an element.
function toDom(n) {
    if (typeof n === 'string' || n instanceof Node)
        return n;
    const e = document.createElement(n.tag);
    for (const [name, value] of Object.entries(n.attributes)) {
        if (value !== null && value !== undefined && value !== false)
            e.setAttribute(name, value === true ? '' : String(value));
    }
    Object.assign(e.style, n.style);
    e.append(...n.children.map(toDom));
    return e;
}

const element = (tag, attributes, ...children) => toDom(render.node(tag, attributes, ...children));

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

// What the window WIN of the tables (W, its CONTROLS and TAB order) does: its close box calls
// ONCLOSE, and the keys it takes go no further (the usage window lies inside the main window's
// element): Tab, Enter, which presses its default button (a focused button takes Enter
// itself), and Esc its cancel button. Returns its parts, and its controls by name.
function behave(win, w, controls, tabOrder, onClose) {
    const named = new Map([...win.querySelectorAll('[id]')].map((e) => [e.id, e]));
    const made = new Map(controls.map((row) => [row.name, named.get(row.name)]));
    const bar = win.querySelector('.title-bar');
    const close = bar.querySelector('.close');
    close.addEventListener('click', onClose);
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
    return { win, bar, close, area: named.get(w.name), made };
}

Object.assign(exports, { toDom, element, behave, isTab });
