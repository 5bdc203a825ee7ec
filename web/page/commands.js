// What a click on a button or menu command, and Timer1, do: the core decides (press() and
// fire_timer1() in the core, as on the desktop); the page then does what only it can: the
// clipboard, the end of the settlement and the usage window.
const page = require('page');
const { form } = page;
const core = require('core');
const clipboard = require('clipboard');
const menus = require('menus');
const messages = require('messages');
const usage = require('usage');

let timer1 = 0;
let settlement = 0; // how many have ended

// The page's work after a press, in the order of page_work in web/bridge.cpp.
const work = [() => {}, putOnClipboard, endSettlement, () => usage.on('show')];

// WORK now if the core is loaded, else as soon as it is: what the user did while it loaded is
// done in the order it was done.
function whenLoaded(work) {
    if (page.core)
        work();
    else
        page.loaded.then(work, () => {});
}

// BINDING is an index into the tables' main_bindings.
function press(binding) {
    whenLoaded(() => work[core.run((c) => c._pelmora_press(binding))]());
}

// Within the click that asked for it, as browsers want. The answer comes later: the core
// reports a refusal, unless it belongs to a settlement that has ended since.
async function putOnClipboard() {
    const during = settlement;
    if (!(await clipboard.put(core.text(page.core._pelmora_copied()))) && during === settlement)
        core.run((c) => c._pelmora_copy_refused());
}

// Timer1: once the window is up (and the core with it), the core moves the focus where the
// cursor waits.
function startTimer1() {
    clearTimeout(timer1);
    timer1 = setTimeout(() => whenLoaded(() => core.run((c) => c._pelmora_fire_timer1())), form.timer1_interval_ms);
}

// 終了, or the main window's close box. A page cannot close a tab the user opened, so the
// settlement ends instead: the page is back in its start state, with nothing kept.
function endSettlement() {
    ++settlement;
    menus.close(false);
    messages.clear();
    usage.on('program_end');
    core.run((c) => c._pelmora_reset());
    page.box(form.timer1_target).focus();
    startTimer1();
}

Object.assign(exports, { press, whenLoaded, startTimer1, endSettlement });
