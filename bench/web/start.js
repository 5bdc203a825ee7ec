'use strict';
// Start-up of the web page against a bare page with one input box, in each browser engine.
//
//   node bench/web/start.js RUNS OUT_DIR ENGINE[,ENGINE...] NAME=PAGE...
//
// Every run opens the page in a fresh browser context and takes the time from the start of the
// navigation to its first settled paint: the later of the first paint and the first frame
// drawn after window.pelmoraReady has resolved (a page without it: after the load event); a
// page the engine reports no paint for (WebKit, an empty input box) has it settled at that
// frame. One uncounted run of each page first, then RUNS rounds, each engine and each
// page in a rotating order, as bench/interleave.sh does for the desktop programs. The times go
// to OUT_DIR/ENGINE.NAME.ms, one a line, the two times the settled paint is the later of to
// ENGINE.NAME.paint and .ready; for Chromium also the processor time of the page's main thread
// to .cpu and how much of it went to script, layout and style to .script, .layout and .style.
// Prints each engine's name and version, one a line.
const fs = require('fs');
const path = require('path');
const url = require('url');
const { launch } = require('../../tests/web/engines');

// Runs in the page before any of its own script.
function settledPaint() {
    window.__settled = new Promise((resolve) => {
        let fcp = null, ready = null;
        const done = () => { if (fcp !== null && ready !== null) resolve({ settled: Math.max(fcp, ready), paint: fcp, ready }); };
        // An empty input box is no content, so the bare page may have a first paint only, or
        // in WebKit no paint entry at all: a second after that frame the frame counts as it.
        new PerformanceObserver((list) => {
            for (const e of list.getEntries())
                if (fcp === null) { fcp = e.startTime; done(); }
        }).observe({ type: 'paint', buffered: true });
        const afterFrame = () => requestAnimationFrame(() => setTimeout(() => {
            ready = performance.now();
            done();
            setTimeout(() => { if (fcp === null) { fcp = ready; done(); } }, 1000);
        }, 0));
        addEventListener('load', () => {
            if (window.pelmoraReady)
                window.pelmoraReady.then(afterFrame);
            else
                afterFrame();
        });
    });
}

async function measure(browser, engine, pageUrl) {
    const tab = await browser.open({ viewport: { width: 1024, height: 768 }, clipboard: false, fresh: true });
    let cdp = null;
    if (engine === 'chromium') {
        cdp = await tab.context.newCDPSession(tab.page);
        await cdp.send('Performance.enable');
    }
    await tab.goto(pageUrl);
    const { settled: ms, paint, ready } = await tab.evaluate(() => window.__settled);
    const figures = { ms, paint, ready };
    if (cdp) {
        const { metrics } = await cdp.send('Performance.getMetrics');
        const metric = (name) => metrics.find((m) => m.name === name).value * 1000;
        Object.assign(figures, {
            cpu: metric('TaskDuration'), script: metric('ScriptDuration'),
            layout: metric('LayoutDuration'), style: metric('RecalcStyleDuration'),
        });
    }
    await tab.close();
    return figures;
}

async function main() {
    const [runs, out, engineList, ...pages] = process.argv.slice(2);
    const engines = [];
    try {
        for (const name of engineList.split(',')) {
            const browser = await launch(name, { initScript: settledPaint });
            const named = pages.map((p) => p.split('='))
                .map(([page, file]) => ({ page, url: url.pathToFileURL(browser.prepare(path.resolve(file))).href }));
            engines.push({ name, browser, named });
        }
        for (const e of engines)
            for (const p of e.named)
                await measure(e.browser, e.name, p.url);
        for (let run = 0; run < +runs; run++) {
            for (let i = 0; i < engines.length; i++) {
                const e = engines[(run + i) % engines.length];
                for (let k = 0; k < e.named.length; k++) {
                    const p = e.named[(run + k) % e.named.length];
                    const figures = await measure(e.browser, e.name, p.url);
                    for (const [kind, value] of Object.entries(figures))
                        fs.appendFileSync(path.join(out, `${e.name}.${p.page}.${kind}`), `${value.toFixed(2)}\n`);
                }
            }
        }
        for (const e of engines)
            console.log(`${e.name} ${e.browser.version}`);
    } finally {
        for (const e of engines)
            await e.browser.close();
    }
}

main().catch((e) => { console.error(e); process.exit(1); });
