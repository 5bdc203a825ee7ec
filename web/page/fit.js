// Fitting the screen and the fonts: a screen narrower than the window gets the whole window
// scaled to its width (nothing scrolls sideways), and a label a little too long in the fonts
// this browser has is set closer.
const page = require('page');

// A browser that knows CSS round() centres the window on a whole pixel by the style sheet alone.
const centredByStyle = CSS.supports('margin-left', 'round(down, 1px, 1px)');

// Each of these measures first and returns what sets it: the start measures everything at
// once and then sets it, so that the window is laid out once before it is painted.
function measureFit() {
    const stage = document.getElementById('stage');
    const width = page.mainWindow.offsetWidth;
    const height = page.mainWindow.offsetHeight;
    const room = document.documentElement.clientWidth;
    const narrow = room < width + 32;
    const scale = narrow ? Math.min(1, room / width) : 1;
    return () => {
        if (!narrow && centredByStyle) {
            // As the style sheet has it: nothing set, nothing laid out again.
            page.mainWindow.style.removeProperty('transform');
            for (const property of ['width', 'height', 'margin-left', 'margin-top'])
                stage.style.removeProperty(property);
            return;
        }
        page.mainWindow.style.transform = scale < 1 ? `scale(${scale})` : '';
        stage.style.width = width * scale + 'px';
        stage.style.height = height * scale + 'px';
        // Centred on a whole pixel, so that the window's edges fall on the screen's pixels.
        stage.style.marginLeft = narrow ? '0' : Math.floor((room - width) / 2) + 'px';
        stage.style.marginTop = narrow ? '0' : '16px';
    };
}

const fit = () => measureFit()();

// A label too long for its rectangle is set closer, down to the tables' squeeze floor, as on
// the desktop; one that still does not fit is left as it is. Both widths are measured as drawn
// (an inline box has no scroll width in some engines), so a window scaled to a narrow screen
// scales both alike. Every label is measured before any is changed.
function measureLabels(root) {
    const measured = [...root.querySelectorAll('.label > span')].map((label) =>
        [label, label.parentElement.getBoundingClientRect().width, label.getBoundingClientRect().width]);
    return () => {
        for (const [label, room, need] of measured) {
            if (need > room && need > 0) {
                const ratio = Math.max(page.form.label_squeeze_floor, room / need);
                Object.assign(label.style, { display: 'inline-block', transformOrigin: '0 0', transform: `scaleX(${ratio})` });
            }
        }
    };
}

const condenseLabels = (root) => measureLabels(root)();

Object.assign(exports, { fit, measureFit, condenseLabels, measureLabels });
