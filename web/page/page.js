// What the modules of the page share, beside the core's own state: the tables the page is drawn
// from, the core once it is loaded, and the parts of the main window that others reach.
exports.form = JSON.parse(document.getElementById('pelmora-form').textContent);
exports.icon = document.querySelector('link[rel="icon"]').href;
exports.core = null; // the WebAssembly core (web/bridge.cpp), once loaded
exports.loaded = null; // resolves when it is
exports.mainWindow = null; // #top_window
exports.boxes = []; // the window fields' boxes, by the core's index of each field
exports.orcCheck = null;
exports.lastMainFocus = null; // the main window's control that last had the keyboard

exports.box = (name) => exports.boxes[exports.form.fields.indexOf(name)];
