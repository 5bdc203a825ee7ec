// The system clipboard: its text replaced as a whole (which clears it first). The asynchronous
// clipboard first; where the browser refuses it (no permission, no focus), the old copy command.

// A copy event whose data the page sets itself, so that no selection is disturbed.
function copyByCommand(text) {
    let put = false;
    const onCopy = (event) => {
        event.clipboardData.setData('text/plain', text);
        event.preventDefault();
        put = true;
    };
    document.addEventListener('copy', onCopy, true);
    try {
        put = document.execCommand('copy') && put;
    } catch (e) {
        put = false;
    } finally {
        document.removeEventListener('copy', onCopy, true);
    }
    return put;
}

// Resolves to false when both ways were refused.
exports.put = async (text) => {
    if (navigator.clipboard && navigator.clipboard.writeText) {
        try {
            await navigator.clipboard.writeText(text);
            return true;
        } catch (e) {
            // refused: the old way may still be allowed
        }
    }
    return copyByCommand(text);
};
