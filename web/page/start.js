// Pelmora in a browser: the windows drawn from the tables exported from form/ when the page is
// built, every command decided and run by the WebAssembly core, which holds the settlement
// record. The script draws, routes events and does what only a page can (the clipboard, the end
// of a settlement, the usage window); it reads, computes and formats no number.
//
// What the page offers to the people and scripts who use it:
// - Every control, menu and menu command is the element whose id is its name in the tables.
//   Text boxes are <input type="text">; orc_check is an <input type="checkbox"> over the whole
//   rectangle of the check box, its caption a <label> on top of it.
// - #top is the main window's client area (497 x 613 CSS px at desktop size) inside #top_window;
//   each control stands at its table rectangle (twips / 15) in its container. The usage window,
//   made when first asked for, is #frmTip in #frmTip_window; its labels Label1 .. Label8 share
//   names with labels of the main window: look them up inside #frmTip.
// - window.pelmoraReady resolves once the core is loaded and the window drawn.
// - The tables are the JSON in <script id="pelmora-form">, the core's WebAssembly the base64
//   in <script id="pelmora-wasm">.
// The page reads and writes no files, stores nothing and sends nothing anywhere.
const page = require('page');
const { form } = page;
const { makeWindow } = require('draw');
const { fit, condenseLabels } = require('fit');
const menus = require('menus');
const messages = require('messages');
const core = require('core');
const commands = require('commands');

// The designed gothic first, as on the desktop; then the web's Japanese fallbacks.
const families = [...new Set([...form.gothic_families, 'IPAPGothic', 'Noto Sans CJK JP'])]
    .map((f) => `"${f}"`).join(', ') + ', sans-serif';
document.documentElement.style.setProperty('--gothic', families);
document.documentElement.style.setProperty('--standard-size', form.standard_point_size + 'pt');
document.documentElement.style.setProperty('--small-size', form.small_point_size + 'pt');

const loading = core.load(); // compiled while the window is drawn

// The label that names each input box, so that a click on it puts the cursor in the box.
const namedBy = new Map(form.main_controls.filter((row) => row.accessible && row.accessible.label)
    .map((row) => [row.accessible.label, row.name]));
const { win, bar, area, made } = makeWindow(form.main_window, form.main_controls, form.main_tab_order, {
    heading: true, labels: namedBy, onClose: () => page.core && commands.endSettlement(),
});
bar.after(menus.build());
page.mainWindow = win;
page.boxes = form.fields.map((name) => made.get(name));
page.orcCheck = made.get('orc_check');
area.addEventListener('focusin', (event) => { page.lastMainFocus = event.target; });
document.title = form.main_window.caption;
document.getElementById('stage').append(win, messages.build());
form.main_bindings.forEach((name, binding) => {
    document.getElementById(name).addEventListener('click', () => commands.press(binding));
});
window.addEventListener('resize', fit);
condenseLabels(area); // the fonts are the system's: laid out at once
fit();
page.box(form.timer1_target).focus();
const loaded = loading.then((module) => { page.core = module; });
commands.startTimer1(loaded);
window.pelmoraReady = loaded.catch((error) => {
    messages.show(String(error && error.message || error));
    throw error;
});
