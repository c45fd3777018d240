// The browsable page (kwl-list -e html-app) in a real browser: hostile names shown exactly and
// never run, no request, the heading, folding, sorting, links, CSV, keyboard, search, and
// scrolling to the last of 200,000 rows.
//
//   node page_test.js KWL_LIST FAULT_SHIM
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, open } = require('./driver');

const [kwlList, faultShim] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kwl-page-'));

// A sanitized kwl-list takes a preloaded shim only when told so.
const asan = (env) => (env.LD_PRELOAD
  ? { ASAN_OPTIONS: (process.env.ASAN_OPTIONS || '') + ':verify_asan_link_order=0' } : {});

// Makes the page of dir; env adds variables (the fault shim's).
function pageOf(dir, args = [], env = {}) {
  const out = path.join(work, path.basename(dir) + args.join('') + '.html');
  try {
    execFileSync(kwlList, ['-r', '-e', 'html-app', ...args, dir, '-o', out],
      { env: { ...process.env, ...env, ...asan(env) }, stdio: ['ignore', 'ignore', 'pipe'] });
  } catch (e) {
    if (e.status !== 1) throw e; // 1: a directory could not be read, the page is written
  }
  return out;
}
function tree(name) {
  const dir = path.join(work, name);
  fs.mkdirSync(dir);
  return dir;
}
const touch = (file, bytes = 0) => fs.writeFileSync(file, Buffer.alloc(bytes, 120));

// What the rows on screen show: name and the other cells, top to bottom.
const shownRows = (page) => page.$$eval('#layer .row:not([hidden])', (rows) =>
  rows.map((r) => ({ name: r.querySelector('.nm').textContent, text: r.textContent,
    sel: r.classList.contains('sel') })));
async function search(page, query) {
  await page.$eval('#search', (el, q) => { el.value = q; }, query);
  await page.focus('#search');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#status[data-done="1"]');
  return page.$eval('#status', (el) => el.textContent);
}
const noTrouble = (seen) => {
  assert.deepEqual(seen.requests, [], 'the page made requests');
  assert.deepEqual(seen.errors, [], 'console errors');
};

const cases = [];
const test = (name, fn) => cases.push({ name, fn });

// Names in raw bytes (Buffer) where they are not UTF-8.
const hostile = [
  { raw: '&amp;', shown: '&amp;' }, { raw: '"q"', shown: '"q"' },
  { raw: "it's", shown: "it's" }, { raw: 'a\u2028b', shown: 'a?b' }, { raw: 'ctl\u0001x', shown: 'ctl?x' },
  { raw: Buffer.from([0x62, 0x61, 0x64, 0xff, 0x6e]), shown: 'bad\ufffdn' },
  { raw: '<img src=x onerror=window.pwned=1>', shown: '<img src=x onerror=window.pwned=1>' },
  { raw: '<script>window.pwned=2<', shown: '<script>window.pwned=2<' },
];

test('hostile names are shown exactly, found by search, and never run', async (browser) => {
  const dir = tree('hostile');
  for (const h of hostile) {
    const name = Buffer.isBuffer(h.raw) ? Buffer.concat([Buffer.from(dir + '/'), h.raw]) : path.join(dir, h.raw);
    fs.writeFileSync(name, 'x');
  }
  // "</script>" split over a directory and the file in it.
  fs.mkdirSync(path.join(dir, '<'));
  touch(path.join(dir, '<', 'script>'));
  fs.mkdirSync(path.join(dir, 'failing', 'below'), { recursive: true });
  const file = pageOf(dir, [], { LD_PRELOAD: faultShim, KWL_TEST_READ_ERROR: 'failing' });
  const { page, seen } = await open(browser, file);
  assert.equal(await page.evaluate(() => window.pwned), undefined);
  for (const h of [...hostile, { shown: '<' }, { shown: 'script>' }]) {
    // "?" and "*" are wildcards; a "?" in a shown name matches itself too.
    const status = await search(page, h.shown);
    assert.match(status, /^[1-9]\d* matches$/, h.shown);
    const names = (await shownRows(page)).map((r) => r.name);
    assert.ok(names.includes(h.shown), `${JSON.stringify(h.shown)} not among ${JSON.stringify(names)}`);
  }
  assert.equal(await page.$$eval('#layer img, #layer script', (e) => e.length), 0);
  // The folder column of a result holds the path, "</script>" across two names.
  await search(page, 'script>');
  const folders = await page.$$eval('#layer .row:not([hidden]) .c-folder', (c) => c.map((e) => e.textContent));
  assert.ok(folders.includes(dir + '/<'), JSON.stringify(folders));
  assert.equal(await page.evaluate(() => window.pwned), undefined);
  // The unreadable directory: in the heading and marked in the tree.
  assert.equal(await page.$eval('#errors', (e) => e.hidden), false);
  assert.match(await page.$eval('#errors', (e) => e.textContent), /1 directories could not be read completely.*failing/s);
  await search(page, 'failing');
  const marked = await page.$$eval('#layer .row:not([hidden])', (rows) =>
    rows.filter((r) => r.querySelector('.nm').textContent === 'failing').map((r) => r.querySelector('.warn').textContent));
  assert.deepEqual(marked, ['⚠']);
  // A click on a result reveals it in the tree, with a link to it.
  await page.$$eval('#layer .row:not([hidden])', (rows) => rows.find((r) => r.querySelector('.nm').textContent === 'failing').click());
  assert.equal(await page.evaluate(() => document.querySelector('#table').classList.contains('search')), false);
  assert.equal((await shownRows(page)).find((r) => r.sel).name, 'failing');
  assert.equal(await page.evaluate(() => location.hash), '#/failing');
  noTrouble(seen);
  await page.close();
});

test('an empty tree and a single file, in German', async (browser) => {
  const empty = tree('empty');
  let { page, seen } = await open(browser, pageOf(empty, ['-l', 'de']));
  assert.deepEqual((await shownRows(page)).map((r) => r.name), [empty]);
  assert.match(await page.$eval('h1', (e) => e.textContent), /^Verzeichnis /);
  assert.equal(await page.$eval('html', (e) => e.lang), 'de');
  assert.equal(await search(page, 'nothing-here'), '0 Treffer');
  assert.equal(await page.$eval('#search', (e) => e.type), 'search');
  noTrouble(seen);
  await page.close();
  const single = tree('single');
  touch(path.join(single, 'only.txt'), 1234);
  ({ page, seen } = await open(browser, pageOf(single)));
  const rows = await shownRows(page);
  assert.deepEqual(rows.map((r) => r.name), [single, 'only.txt']);
  assert.match(rows[1].text, /1,234/);
  assert.match(await page.$eval('#summary', (e) => e.textContent), /0 folders · 1 files · 1,234 bytes/);
  noTrouble(seen);
  await page.close();
});

test('a chain 1000 deep: links, keyboard, folding', async (browser) => {
  const dir = tree('chain');
  let deepest = dir;
  for (let i = 0; i < 1000; i++) {
    deepest = path.join(deepest, 'd');
    fs.mkdirSync(deepest); // within PATH_MAX: 2 bytes a level
  }
  touch(path.join(deepest, 'leaf.txt'));
  const file = pageOf(dir);
  const link = '#/' + Array(1000).fill('d').join('/') + '/leaf.txt';
  const { page, seen } = await open(browser, file, { hash: link });
  let rows = await shownRows(page);
  assert.equal(rows.find((r) => r.sel).name, 'leaf.txt');
  // Backspace goes to the parent, Left folds it, Right unfolds, Enter folds again.
  await page.focus('#scroller');
  await page.keyboard.press('Backspace');
  rows = await shownRows(page);
  assert.equal(rows.find((r) => r.sel).name, 'd');
  assert.equal(rows[rows.length - 1].name, 'leaf.txt');
  await page.keyboard.press('ArrowLeft');
  rows = await shownRows(page);
  assert.equal(rows[rows.length - 1].sel, true, 'the folded directory is the last row');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowDown');
  assert.equal((await shownRows(page)).find((r) => r.sel).name, 'leaf.txt');
  await page.keyboard.press('Home');
  await page.keyboard.press('Enter'); // folds the root
  assert.equal((await shownRows(page)).length, 1);
  await page.keyboard.press('/');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'search');
  noTrouble(seen);
  await page.close();
});

test('sorting within folders, size bars, CSV of the visible rows', async (browser) => {
  const dir = tree('sorting');
  touch(path.join(dir, 'b small'), 10);
  touch(path.join(dir, 'a, "big"'), 300);
  fs.mkdirSync(path.join(dir, 'z dir'));
  touch(path.join(dir, 'z dir', 'inner'), 100);
  const { page, seen } = await open(browser, pageOf(dir));
  const names = async () => (await shownRows(page)).map((r) => r.name).slice(1);
  assert.deepEqual(await names(), ['z dir', 'a, "big"', 'b small']); // listing order
  await page.click('#head [data-sort="size"]');
  assert.deepEqual(await names(), ['a, "big"', 'z dir', 'b small']);
  await page.click('#head [data-sort="size"]');
  assert.deepEqual(await names(), ['b small', 'z dir', 'a, "big"']);
  await page.click('#head [data-sort="name"]');
  assert.deepEqual(await names(), ['a, "big"', 'b small', 'z dir']);
  const bars = await page.$$eval('#layer .row:not([hidden]) .bar', (b) => b.map((e) => e.style.width));
  assert.deepEqual(bars, ['100%', '73.17%', '2.44%', '24.39%']);
  // The CSV: capture the file the page offers instead of saving it.
  await page.evaluate(() => {
    URL.createObjectURL = (blob) => { window.csvBlob = blob; return 'about:blank'; };
    HTMLAnchorElement.prototype.click = () => {};
  });
  await page.click('#export-csv');
  const csv = await page.evaluate(() => window.csvBlob.text());
  const lines = csv.split('\r\n');
  assert.equal(lines[0], 'Path,Size,Files,Modified,Created,Accessed,Attributes');
  assert.equal(lines.length, 5 + 1); // heading, 4 rows, the final line end
  assert.match(lines[2], new RegExp('^"' + dir + '/a, ""big""",300,,'));
  assert.match(lines[4], new RegExp('^' + dir + '/z dir,100,1,'));
  noTrouble(seen);
  await page.close();
});

test('scrolling reaches the last of 200,000 rows', async (browser) => {
  const dir = tree('wide');
  for (let i = 0; i < 200000; i++) fs.closeSync(fs.openSync(path.join(dir, 'f' + String(i).padStart(6, '0')), 'w'));
  const { page, seen } = await open(browser, pageOf(dir));
  await page.evaluate(() => { const s = document.getElementById('scroller'); s.scrollTop = s.scrollHeight; });
  await page.waitForFunction(() => [...document.querySelectorAll('#layer .row:not([hidden]) .nm')]
    .some((e) => e.textContent === 'f199999'));
  const height = await page.$eval('#scroller', (s) => s.scrollHeight);
  assert.ok(height < 17000000, 'the spacer stays below the browsers\' height limits');
  // The middle of the scroll range shows the middle of the rows.
  await page.evaluate(() => { const s = document.getElementById('scroller'); s.scrollTop = (s.scrollHeight - s.clientHeight) / 2; });
  // The rows are drawn again on the scroll event, which comes with the next frame.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const middle = await page.$eval('#layer .row:not([hidden]) .nm', (e) => e.textContent);
  assert.ok(Math.abs(Number(middle.slice(1)) - 100000) < 100, middle);
  // End by keyboard, and a search over every name.
  await page.focus('#scroller');
  await page.keyboard.press('End');
  assert.equal((await shownRows(page)).find((r) => r.sel).name, 'f199999');
  assert.equal(await search(page, 'f1*9'), '100,000 matches'.replace('100,000', await page.evaluate(() => {
    let n = 0; for (let i = 0; i < 200000; i++) if (/^f1.*9/.test('f' + String(i).padStart(6, '0'))) n++; return n.toLocaleString('en');
  })));
  assert.equal(await page.$$eval('#layer .row', (r) => r.length) < 200, true, 'a pool of rows, not one per entry');
  noTrouble(seen);
  await page.close();
});

(async () => {
  const browser = await launch();
  let failed = 0;
  for (const c of cases) {
    try {
      await c.fn(browser);
      console.log('ok     ' + c.name);
    } catch (e) {
      failed++;
      console.log('FAILED ' + c.name + '\n' + (e.stack || e));
    }
  }
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
  process.exit(failed ? 1 : 0);
})();
