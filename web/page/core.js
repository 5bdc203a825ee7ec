// The WebAssembly core (web/bridge.cpp), which holds the settlement record and runs every
// command. Each call goes through run(): the boxes' texts and the check box go in, and what the
// core left comes back: the texts, the check box, the focus and the messages.
const page = require('page');
const messages = require('messages');

// Where the browser has no decoder of its own.
function decode(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let k = 0; k < text.length; ++k)
        bytes[k] = text.charCodeAt(k);
    return bytes;
}

// The WebAssembly the page holds in base64: nothing is fetched. It is compiled off the page's
// thread, beside the window's first paint, and instantiated as soon as it is compiled (a
// compiled module of this size instantiates in a moment): the core is there in the first frame
// that it can be.
async function load() {
    const base64 = document.getElementById('pelmora-wasm').textContent.trim();
    const compiled = WebAssembly.compile(Uint8Array.fromBase64 ? Uint8Array.fromBase64(base64) : decode(base64));
    let failed;
    const failure = new Promise((resolve, reject) => { failed = reject; });
    return Promise.race([failure, pelmoraCore({
        instantiateWasm(imports, receive) {
            compiled.then((module) => receive(new WebAssembly.Instance(module, imports), module)).catch(failed);
            return {};
        },
    })]);
}

function putText(f, text) {
    const { core } = page;
    const units = text.length;
    const at = core._malloc(Math.max(2, units * 2));
    if (!at)
        throw new RangeError('no memory for a text of ' + units + ' characters');
    const heap = core.HEAPU16; // after malloc: a grown memory has new views
    for (let k = 0; k < units; ++k)
        heap[(at >> 1) + k] = text.charCodeAt(k);
    core._pelmora_set_text(f, at, units);
    core._free(at);
}

// The text the last call gave, code unit for code unit.
function text(at) {
    const units = page.core._pelmora_result_length();
    const heap = page.core.HEAPU16;
    let out = '';
    for (let k = 0; k < units; k += 8192)
        out += String.fromCharCode.apply(null, heap.subarray((at >> 1) + k, (at >> 1) + Math.min(units, k + 8192)));
    return out;
}

// A box shows the beginning of a text put into it, as report lines are read from the left.
function setBox(box, value) {
    if (box.value === value)
        return;
    box.value = value;
    box.scrollLeft = 0;
    if (document.activeElement === box)
        box.setSelectionRange(0, 0);
}

// CALL(core) on what the window shows now; returns what CALL returned.
function run(call) {
    const { core, boxes, orcCheck } = page;
    boxes.forEach((box, f) => putText(f, box.value));
    core._pelmora_set_orc_check(orcCheck.indeterminate ? 2 : orcCheck.checked ? 1 : 0);
    const result = call(core);
    boxes.forEach((box, f) => setBox(box, text(core._pelmora_text(f))));
    orcCheck.indeterminate = core._pelmora_orc_check() === 2;
    orcCheck.checked = core._pelmora_orc_check() === 1;
    if (core._pelmora_focus() >= 0)
        boxes[core._pelmora_focus()].focus();
    for (let k = 0, n = core._pelmora_message_count(); k < n; ++k)
        messages.show(text(core._pelmora_message(k)));
    return result;
}

Object.assign(exports, { load, run, text });
