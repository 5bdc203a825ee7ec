// A text colour of the tables as the page draws it: itself where it reads well enough on its
// background (a contrast of 4.6 to 1, a little over the 4.5 that WCAG asks for), else the same
// hue darkened until it does. Some of the design's bright reds, oranges and greens on white or
// pastel fall short of that.

function rgb(colour) {
    const value = parseInt(colour.slice(1), 16);
    return [(value >> 16) & 255, (value >> 8) & 255, value & 255];
}

function luminance([r, g, b]) {
    const linear = (c) => (c / 255 <= 0.03928 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4);
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

function contrast(a, b) {
    const [hi, lo] = [luminance(a), luminance(b)].sort((x, y) => y - x);
    return (hi + 0.05) / (lo + 0.05);
}

function darkened(foreground, background) {
    const bg = rgb(background || '#FFFFFF');
    let fg = rgb(foreground);
    for (let k = 1; contrast(fg, bg) < 4.6 && k > 0; k -= 0.02)
        fg = rgb(foreground).map((c) => Math.round(c * k));
    return '#' + fg.map((c) => c.toString(16).padStart(2, '0')).join('').toUpperCase();
}

const readableColours = new Map(); // the tables repeat their pairs

exports.readable = (foreground, background) => {
    const key = foreground + background;
    if (!readableColours.has(key))
        readableColours.set(key, darkened(foreground, background));
    return readableColours.get(key);
};
