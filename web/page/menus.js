// The menu bar of the main window, drawn from the tables by render.js: each menu a button that
// opens a list of its command, with access keys (Alt and the underlined letter opens a menu, the
// letter picks its command), arrow keys between the menus, Esc and a click elsewhere to close.
const { form } = require('page');
const { isTab } = require('draw');
const { accessCaption } = require('render');
const messages = require('messages');

const menus = []; // {top, list, item, key, itemKey}
let openMenu = null;
let focusBeforeMenu = null;

// MENU open (or none), the keyboard on its command when opened BYKEY.
function show(menu, byKey) {
    if (menu && !openMenu)
        focusBeforeMenu = document.activeElement;
    for (const m of menus) {
        m.list.hidden = m !== menu;
        m.top.setAttribute('aria-expanded', String(m === menu));
        m.top.classList.toggle('open', m === menu);
    }
    openMenu = menu;
    if (menu)
        (byKey ? menu.item : menu.top).focus();
}

// Every menu closed; with RESTORE, the keyboard goes back where it was before.
function close(restore) {
    if (!openMenu)
        return;
    show(null);
    if (restore && focusBeforeMenu && focusBeforeMenu.isConnected)
        focusBeforeMenu.focus();
    focusBeforeMenu = null;
}

// The menu bar BAR, which came with the page, comes alive.
function attach(bar) {
    for (const row of form.main_menus) {
        const topButton = document.getElementById(row.menu);
        const command = document.getElementById(row.command);
        const menu = {
            top: topButton, list: document.getElementById(row.menu + '_list'), item: command,
            key: accessCaption(row.menu_caption).key, itemKey: accessCaption(row.command_caption).key,
        };
        menus.push(menu);
        topButton.addEventListener('click', () => (openMenu === menu ? close(true) : show(menu, false)));
        topButton.addEventListener('pointerenter', () => { if (openMenu && openMenu !== menu) show(menu, false); });
        // A menu command closes its menu first: the command then finds the focus where it was.
        command.addEventListener('click', () => close(true), { capture: true });
    }
    document.addEventListener('pointerdown', (event) => {
        if (openMenu && !bar.contains(event.target))
            close(false);
    });
    // Before the windows' own keys: an open menu has the keyboard.
    document.addEventListener('keydown', onKey, true);
}

// The keys of an open menu, and Alt with a menu's letter. The page is one window to the
// browser: its menus open from the usage window too.
function onKey(event) {
    if (messages.isOpen() || event.isComposing) // a message box or the input method has the keys
        return;
    const byAlt = event.altKey && !event.ctrlKey && !event.metaKey && menus.find((m) => 'Key' + m.key === event.code);
    if (openMenu && !event.altKey && !event.ctrlKey && !event.metaKey) {
        const at = menus.indexOf(openMenu);
        if (event.key === 'Escape')
            close(true);
        else if (event.key === 'ArrowRight' || event.key === 'ArrowLeft')
            show(menus[(at + (event.key === 'ArrowRight' ? 1 : menus.length - 1)) % menus.length], true);
        else if (event.key === 'ArrowDown' || event.key === 'ArrowUp' || isTab(event))
            openMenu.item.focus();
        else if (event.key === 'Enter' || event.key === ' ')
            (document.activeElement === openMenu.top ? openMenu.item : document.activeElement).click();
        else if (event.key.length === 1 && event.key.toUpperCase() === openMenu.itemKey)
            openMenu.item.click();
        else
            return;
    } else if (byAlt) {
        show(byAlt, true);
    } else {
        return;
    }
    event.preventDefault();
    event.stopPropagation();
}

Object.assign(exports, { attach, close });
