// Opens a browsable page in headless Chromium and prints, as "key value" lines: the time from
// navigation start to data-state="ready", the JS heap once ready (typed arrays included), and the time from starting a
// search over all names until its first results are drawn.
//
//   node bench/html_app_bench.js PAGE QUERY [RUNS]
'use strict';
const path = require('node:path');
const { launch } = require(path.join(__dirname, '../tests/browser/driver'));

const [file, query, runsArg] = process.argv.slice(2);
const runs = Number(runsArg || 3);

(async () => {
  const browser = await launch();
  for (let run = 0; run < runs; run++) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    await page.goto('file://' + path.resolve(file));
    await page.waitForSelector('html[data-state="ready"]', { timeout: 120000 });
    // performance.now() counts from the navigation's start.
    const ready = await page.evaluate(() => new Promise((resolve) => {
      const t = performance.now();
      requestAnimationFrame(() => resolve(t));
    }));
    const session = await page.createCDPSession();
    await session.send('HeapProfiler.collectGarbage');
    // The typed arrays' memory lies outside the JS heap proper; both count.
    const usage = await session.send('Runtime.getHeapUsage');
    const heap = usage.usedSize + (usage.backingStorageSize || 0);
    const rows = await page.evaluate(() => document.querySelectorAll('#layer .row').length);
    // Typed as a user would, then Enter: until the first result row is drawn.
    const search = await page.evaluate((q) => new Promise((resolve) => {
      const input = document.getElementById('search');
      const status = document.getElementById('status');
      input.value = q;
      const t = performance.now();
      input.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter' }));
      const check = () => {
        const first = document.querySelector('#layer .row:not([hidden]) .nm');
        if (status.textContent && first && document.getElementById('table').classList.contains('search')) {
          requestAnimationFrame(() => resolve(performance.now() - t));
        } else requestAnimationFrame(check);
      };
      check();
    }), query);
    await page.waitForSelector('#status[data-done="1"]', { timeout: 120000 });
    const total = await page.$eval('#status', (e) => e.textContent);
    console.log(`ready_ms ${ready.toFixed(0)}`);
    console.log(`heap_mb ${(heap / 1048576).toFixed(1)}`);
    console.log(`search_first_ms ${search.toFixed(0)}`);
    console.log(`search_result ${total}`);
    console.log(`row_elements ${rows}`);
    await page.close();
  }
  await browser.close();
})();
