// The usage window, drawn from the tables when first asked for. What it does when it is asked
// for, when its button (OK, and Enter and Esc, which press it) or its close box is pressed and
// when the settlement ends is the tables' usage lifecycle: made and shown, shown, hidden or
// destroyed (the next show makes it anew at its first place).
const page = require('page');
const { form } = page;
const { toDom, behave } = require('draw');
const render = require('render');
const { condenseLabels } = require('fit');

let usage = null; // {win, first} while it exists

// The main window has the keyboard again, in the control that last had it.
function backToMain() {
    const last = page.lastMainFocus;
    (last && last.isConnected ? last : page.box(form.timer1_target)).focus();
}

const actions = {
    none() {},
    make_and_show() {
        make();
        actions.show();
    },
    show() {
        usage.win.hidden = false;
        if (!usage.win.contains(document.activeElement))
            usage.first.focus();
    },
    hide() {
        usage.win.hidden = true;
        backToMain();
    },
    destroy() {
        usage.win.remove();
        usage = null;
        backToMain();
    },
};

// EVENT is one of the lifecycle's: show, button, close_box, program_end.
function on(event) {
    const now = !usage ? 'absent' : usage.win.hidden ? 'hidden' : 'visible';
    const step = form.usage_lifecycle.find((t) => t.from === now && t.on === event);
    actions[step ? step.does : 'none']();
}

function make() {
    const w = form.usage_window;
    const { win, bar, close, area, made } = behave(toDom(render.usageWindow(form, page.icon)), w,
        form.usage_controls, form.usage_tab_order, () => on('close_box'));
    for (const row of form.usage_controls.filter((r) => r.kind === 'button'))
        made.get(row.name).addEventListener('click', () => on('button'));
    // Placed where the tables put it beside the main window, kept inside the main window.
    const main = form.main_window;
    win.style.left = Math.min(Math.max(0, (w.left - main.left) / 15), (main.width - w.width) / 15) + 'px';
    win.style.top = document.getElementById(main.name).offsetTop + Math.max(0, (w.top - main.top) / 15) + 'px';
    draggable(win, bar, close);
    page.mainWindow.append(win);
    condenseLabels(area);
    usage = { win, first: made.get(form.usage_tab_order[0]) }; // it has the keyboard when shown
}

// The title bar moves the window, as a window's does.
function draggable(win, bar, except) {
    bar.addEventListener('pointerdown', (event) => {
        if (event.button !== 0 || except.contains(event.target))
            return;
        const scale = page.mainWindow.getBoundingClientRect().width / page.mainWindow.offsetWidth;
        const start = { x: event.clientX, y: event.clientY, left: win.offsetLeft, top: win.offsetTop };
        bar.setPointerCapture(event.pointerId);
        const move = (e) => {
            const left = start.left + (e.clientX - start.x) / scale;
            const top = start.top + (e.clientY - start.y) / scale;
            win.style.left = Math.min(Math.max(left, 40 - win.offsetWidth), page.mainWindow.offsetWidth - 40) + 'px';
            win.style.top = Math.min(Math.max(top, 0), page.mainWindow.offsetHeight - bar.offsetHeight) + 'px';
        };
        const dragging = new AbortController(); // aborted, it takes the three listeners off
        const { signal } = dragging;
        bar.addEventListener('pointermove', move, { signal });
        bar.addEventListener('pointerup', () => dragging.abort(), { signal });
        bar.addEventListener('pointercancel', () => dragging.abort(), { signal });
        event.preventDefault();
    });
}

exports.on = on;
