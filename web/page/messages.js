// Message boxes: a modal <dialog> with role alertdialog, titled with the tables' message title,
// the text and one OK button, made when the first message comes; Enter, Esc and OK close it and
// the keyboard goes back where it was. Messages that come while one is shown wait their turn.
const page = require('page');
const { element, isTab } = require('draw');
const { titleBar } = require('render');

const waiting = [];
let box = null; // {dialog, text, ok, returnTo}

function build() {
    const text = element('p', { id: 'message_text', class: 'message-text' });
    const ok = element('button', { type: 'button', id: 'message_ok', class: 'button message-ok' }, 'OK');
    const dialog = element('dialog', {
        id: 'message', class: 'message', role: 'alertdialog', 'aria-modal': 'true',
        'aria-labelledby': 'message_caption', 'aria-describedby': 'message_text',
    }, titleBar('message_caption', page.form.message_title, false, page.icon),
    element('div', { class: 'message-body' }, text, element('div', { class: 'message-buttons' }, ok)));
    box = { dialog, text, ok, returnTo: null };
    document.getElementById('stage').append(dialog);
    ok.addEventListener('click', () => dialog.close());
    dialog.addEventListener('keydown', (event) => {
        if (event.key === 'Enter' || event.key === 'Escape')
            dialog.close();
        else if (isTab(event)) // OK is all there is to go to
            ok.focus();
        else
            return;
        event.preventDefault();
        event.stopPropagation();
    });
    dialog.addEventListener('cancel', (event) => {
        event.preventDefault();
        dialog.close();
    });
    dialog.addEventListener('close', () => {
        const back = box.returnTo;
        box.returnTo = null;
        if (back && back.isConnected)
            back.focus();
        showNext();
    });
}

function showNext() {
    if (waiting.length === 0 || isOpen())
        return;
    if (!box)
        build();
    box.returnTo = document.activeElement;
    box.text.textContent = waiting.shift();
    box.dialog.showModal();
    box.ok.focus();
}

function show(text) {
    waiting.push(text);
    showNext();
}

// The end of the settlement: no message is left, shown or waiting.
function clear() {
    waiting.length = 0;
    if (!box)
        return;
    box.returnTo = null;
    if (box.dialog.open)
        box.dialog.close();
}

function isOpen() {
    return !!box && box.dialog.open;
}

Object.assign(exports, { show, clear, isOpen });
