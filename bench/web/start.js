'use strict';
// Start-up of the web page in headless Chromium against a bare page with one input box.
//
//   node bench/web/start.js RUNS OUT_DIR NAME=PAGE...
//
// Every run opens the page in a fresh browser context and takes the time from the start of the
// navigation to its first settled paint: the later of the first paint and the first frame
// drawn after window.pelmoraReady has resolved (a page without it: after the load event). One uncounted run of each page first, then RUNS rounds in a rotating order,
// as bench/interleave.sh does for the desktop programs. The times go to OUT_DIR/NAME.ms, one
// a line, the processor time of the page's main thread to OUT_DIR/NAME.cpu, the two times
// the settled paint is the later of to NAME.paint and NAME.ready, and how much of the
// processor time went to script, layout and style to NAME.script, .layout and .style.
const fs = require('fs');
const path = require('path');
const url = require('url');
const { chromium } = require(path.resolve(__dirname, '../../tests/web/node_modules/playwright-core'));

// Runs in the page before any of its own script.
function settledPaint() {
    window.__settled = new Promise((resolve) => {
        let fcp = null, ready = null;
        const done = () => { if (fcp !== null && ready !== null) resolve({ settled: Math.max(fcp, ready), paint: fcp, ready }); };
        // An empty input box is no content, so the bare page may have a first paint only.
        new PerformanceObserver((list) => {
            for (const e of list.getEntries())
                if (fcp === null) { fcp = e.startTime; done(); }
        }).observe({ type: 'paint', buffered: true });
        const afterFrame = () => requestAnimationFrame(() => setTimeout(() => { ready = performance.now(); done(); }, 0));
        addEventListener('load', () => {
            if (window.pelmoraReady)
                window.pelmoraReady.then(afterFrame);
            else
                afterFrame();
        });
    });
}

async function measure(browser, pageUrl) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    await context.addInitScript(settledPaint);
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    await page.goto(pageUrl, { waitUntil: 'load' });
    const { settled: ms, paint, ready } = await page.evaluate(() => window.__settled);
    const { metrics } = await cdp.send('Performance.getMetrics');
    const metric = (name) => metrics.find((m) => m.name === name).value * 1000;
    await context.close();
    return {
        ms, cpu: metric('TaskDuration'), paint, ready, script: metric('ScriptDuration'),
        layout: metric('LayoutDuration'), style: metric('RecalcStyleDuration'),
    };
}

async function main() {
    const [runs, out, ...pages] = process.argv.slice(2);
    const named = pages.map((p) => p.split('=')).map(([name, file]) => ({ name, url: url.pathToFileURL(path.resolve(file)).href }));
    const browser = await chromium.launch({ executablePath: process.env.PELMORA_CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox'] });
    try {
        for (const p of named)
            await measure(browser, p.url);
        for (let run = 0; run < +runs; run++) {
            for (let k = 0; k < named.length; k++) {
                const p = named[(run + k) % named.length];
                const figures = await measure(browser, p.url);
                for (const kind of ['ms', 'cpu', 'paint', 'ready', 'script', 'layout', 'style'])
                    fs.appendFileSync(path.join(out, `${p.name}.${kind}`), `${figures[kind].toFixed(2)}\n`);
            }
        }
        console.log(`Chromium ${browser.version()}`);
    } finally {
        await browser.close();
    }
}

main().catch((e) => { console.error(e); process.exit(1); });
