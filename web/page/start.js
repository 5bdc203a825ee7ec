// Pelmora in a browser: the windows drawn from the tables exported from form/ (the main window
// when the page is built, so that it comes with the page's HTML), every command decided and run
// by the WebAssembly core, which holds the settlement record. The script routes events and does
// what only a page can (the clipboard, the end of a settlement, the usage window); it reads,
// computes and formats no number.
//
// What the page offers to the people and scripts who use it:
// - Every control, menu and menu command is the element whose id is its name in the tables.
//   Text boxes are <input type="text">; orc_check is an <input type="checkbox"> over the whole
//   rectangle of the check box, its caption a <label> on top of it.
// - #top is the main window's client area (497 x 613 CSS px at desktop size) inside #top_window;
//   each control stands at its table rectangle (twips / 15) in its container. The usage window,
//   made when first asked for, is #frmTip in #frmTip_window; its labels Label1 .. Label8 share
//   names with labels of the main window: look them up inside #frmTip.
// - window.pelmoraReady resolves once the core is loaded. The window is there and takes typing
//   before that; a button pressed before then does its work as soon as the core is loaded.
// - The tables are the JSON in <script id="pelmora-form">, the core's WebAssembly the base64
//   in <script id="pelmora-wasm">.
// The page reads and writes no files, stores nothing and sends nothing anywhere.
const page = require('page');
const { form } = page;
const { behave } = require('draw');
const { fit, measureFit, measureLabels } = require('fit');
const menus = require('menus');
const messages = require('messages');
const core = require('core');
const commands = require('commands');

// Compiled and started beside the window's first paint, which does not wait for it.
page.loaded = core.load().then((module) => { page.core = module; });

const { win, area, made } = behave(document.getElementById(form.main_window.name + '_window'), form.main_window,
    form.main_controls, form.main_tab_order, () => commands.whenLoaded(commands.endSettlement));
menus.attach(document.getElementById('menubar'));
page.mainWindow = win;
page.boxes = form.fields.map((name) => made.get(name));
page.orcCheck = made.get('orc_check');
area.addEventListener('focusin', (event) => { page.lastMainFocus = event.target; });
form.main_bindings.forEach((name, binding) => {
    document.getElementById(name).addEventListener('click', () => commands.press(binding));
});
window.addEventListener('resize', fit);
// The window as it stands in the fonts of this system, measured all at once; then the labels
// set closer where they need it and the window fitted to the screen. (The cursor is in the box
// that Timer1 gives it already: it came with the page.)
const [setLabels, setFit] = [measureLabels(area), measureFit()];
setLabels();
setFit();
commands.startTimer1();
window.pelmoraReady = page.loaded.catch((error) => {
    messages.show(String(error && error.message || error));
    throw error;
});
