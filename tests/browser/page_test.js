// The browsable page (kwl-list -e html-app) in a real browser: hostile names shown exactly and
// never run, no request, the heading, folding, sorting, links, CSV, keyboard, search, loading,
// and scrolling to the last of 200,000 rows.
//
//   node page_test.js KWL_LIST FAULT_SHIM
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, open } = require('./driver');

const [kwlList, faultShim] = process.argv.slice(2).map((p) => path.resolve(p));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kwl-page-'));

// A sanitized kwl-list takes a preloaded shim only when told so.
const asan = (env) => (env.LD_PRELOAD
  ? { ASAN_OPTIONS: (process.env.ASAN_OPTIONS || '') + ':verify_asan_link_order=0' } : {});

// Makes the page of dir; env adds variables (the fault shim's). With from, kwl-list runs in
// that folder and is given dir relative to it, which the page then shows as the root's name.
function pageOf(dir, args = [], env = {}, from = undefined) {
  const out = path.join(work, path.basename(dir) + args.join('') + '.html');
  try {
    execFileSync(kwlList, ['-r', '-e', 'html-app', ...args, '-o', out, '--', from ? path.relative(from, dir) : dir],
      { cwd: from, env: { ...process.env, ...env, ...asan(env) }, stdio: ['ignore', 'ignore', 'pipe'] });
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
// The rows are drawn again on the scroll event, which comes with the next frame.
const frames = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
// The CSV that Export CSV offers, captured instead of saved.
async function csvOf(page) {
  await page.evaluate(() => {
    URL.createObjectURL = (blob) => { window.csvBlob = blob; return 'about:blank'; };
    HTMLAnchorElement.prototype.click = () => {};
  });
  await page.click('#export-csv');
  return page.evaluate(() => window.csvBlob.text());
}
// Scrolls to the end of the list from scrollTop from, and returns the box's height and the
// rows drawn (displayed and reaching into the box), top to bottom.
async function endOfList(page, from) {
  await page.$eval('#scroller', (s, top) => { s.scrollTop = top; }, from);
  await frames(page);
  await page.$eval('#scroller', (s) => { s.scrollTop = s.scrollHeight; });
  await frames(page);
  return page.$eval('#scroller', (s) => {
    const box = s.getBoundingClientRect();
    const drawn = [...s.querySelectorAll('#layer .row')]
      .filter((r) => getComputedStyle(r).display !== 'none')
      .map((r) => {
        const b = r.getBoundingClientRect();
        return { name: r.querySelector('.nm').textContent, top: b.top - box.top, bottom: b.bottom - box.top };
      })
      .filter((r) => r.bottom > 0 && r.top < s.clientHeight)
      .sort((a, b) => a.top - b.top);
    return { height: s.clientHeight, drawn };
  });
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
  assert.match(await page.$eval('#errors', (e) => e.textContent), /1 directories could not be read completely.*failing: Input\/output error/s);
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
  const lines = (await csvOf(page)).split('\r\n');
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
  // Past the height limit rows stand at whole rows from the top: the pool's rows below the
  // last one, in the space left at the bottom, must not show.
  for (const height of [800, 611]) {
    await page.setViewport({ width: 1280, height });
    const { drawn } = await endOfList(page, 0);
    assert.equal(drawn[drawn.length - 1].name, 'f199999', `${height}: ${JSON.stringify(drawn.slice(-2))}`);
  }
  const height = await page.$eval('#scroller', (s) => s.scrollHeight);
  assert.ok(height < 17000000, 'the spacer stays below the browsers\' height limits');
  // The middle of the scroll range shows the middle of the rows.
  await page.evaluate(() => { const s = document.getElementById('scroller'); s.scrollTop = (s.scrollHeight - s.clientHeight) / 2; });
  await frames(page);
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

test('search: every pattern ends, each entry found once', async (browser) => {
  const dir = tree('search');
  const a40 = 'a'.repeat(40);
  const files = ['Alpha.txt', 'beta.TXT', 'gamma.md', 'x', a40, 'notes/a.txt', 'notes/data.csv', 'notes/README'];
  for (const f of files) {
    fs.mkdirSync(path.dirname(path.join(dir, f)), { recursive: true });
    touch(path.join(dir, f));
  }
  // Given relatively, the root's name is "search": it takes part like any other.
  const { page, seen } = await open(browser, pageOf(dir, [], {}, work));
  const everyName = ['search', 'notes', ...files.map((f) => path.basename(f))];
  const table = [
    ['*', 10], ['**', 10], ['?', 10], ['???????', 5], ['a*', 8], ['*a*', 8], ['*.txt', 3],
    ['.TXT', 3], ['t*t', 3], ['ALPHA', 1], ['readme', 1], ['a?a', 2], ['zzz', 0], ['*zzz*', 0],
    ['a*a*a*a*a*a*a*b', 0], ['a*a*a*a*a*a*a*a', 1], ['a' + '*a'.repeat(39), 1], ['a' + '*a'.repeat(39) + '*b', 0],
  ];
  for (const [query, count] of table) {
    assert.equal(await search(page, query), `${count} matches`, query);
    const names = (await shownRows(page)).map((r) => r.name);
    assert.equal(names.length, count, `${query}: ${JSON.stringify(names)}`);
    assert.equal(new Set(names).size, count, `${query}: ${JSON.stringify(names)}`);
  }
  await search(page, '**');
  assert.deepEqual((await shownRows(page)).map((r) => r.name).sort(), everyName.sort());
  noTrouble(seen);
  await page.close();
});

test('CSV: fields that a spreadsheet takes for formulas stay text', async (browser) => {
  const base = tree('formulas');
  // The root given relatively begins the first field of every row.
  const table = [
    // root, its field, the field of the file in it
    ['=1+1', `"'=1+1"`, `"'=1+1/f"`],
    ['-dash', `"'-dash"`, `"'-dash/f"`],
    ['+1', `"'+1"`, `"'+1/f"`],
    ['@SUM(1)', `"'@SUM(1)"`, `"'@SUM(1)/f"`],
    ['=HYPERLINK("x")', `"'=HYPERLINK(""x"")"`, `"'=HYPERLINK(""x"")/f"`],
    ['=a,b', `"'=a,b"`, `"'=a,b/f"`],
    ['-', '-', `"'-/f"`],
    ['+', '+', `"'+/f"`],
    ['a,"b"', '"a,""b"""', '"a,""b""/f"'],
    ['a=b', 'a=b', 'a=b/f'],
  ];
  for (const [root, rootField, fileField] of table) {
    const dir = path.join(base, root);
    fs.mkdirSync(dir);
    touch(path.join(dir, 'f'), 5);
    const { page, seen } = await open(browser, pageOf(dir, [], {}, base));
    const lines = (await csvOf(page)).split('\r\n');
    assert.equal(lines[0], 'Path,Size,Files,Modified,Created,Accessed,Attributes');
    assert.ok(lines[1].startsWith(rootField + ',5,1,"'), `${root}: ${lines[1]}`);
    assert.ok(lines[1].endsWith('",'), `${root}: ${lines[1]}`); // a directory has no attributes
    assert.ok(lines[2].startsWith(fileField + ',5,,"'), `${root}: ${lines[2]}`);
    // The attributes begin with "-" too.
    assert.ok(lines[2].endsWith(`",\"'-----"`), `${root}: ${lines[2]}`);
    noTrouble(seen);
    await page.close();
  }
});

test('in German, an unreadable directory with the reason in German', async (browser) => {
  const dir = tree('kaputt');
  fs.mkdirSync(path.join(dir, 'failing', 'below'), { recursive: true });
  const { page, seen } = await open(browser,
    pageOf(dir, ['-l', 'de'], { LD_PRELOAD: faultShim, KWL_TEST_READ_ERROR: 'failing' }));
  assert.equal(await page.$eval('#errors-title', (e) => e.textContent),
    '1 Verzeichnisse konnten nicht vollständig gelesen werden');
  assert.equal(await page.$eval('#errors-list', (e) => e.textContent), dir + '/failing: Ein-/Ausgabefehler');
  noTrouble(seen);
  await page.close();
});

test('while it loads, the table\'s place says so and how far, in both languages', async (browser) => {
  const dir = tree('loading');
  for (let i = 0; i < 3000; i++) touch(path.join(dir, 'n' + i));
  // Every state of the loading message, and whether the data had been read at that time.
  const watch = () => {
    window.loadingSeen = [];
    new MutationObserver(() => {
      const el = document.getElementById('loading');
      const table = document.getElementById('table');
      if (!el || !table) return;
      const state = { text: el.textContent.trim(), tableHidden: table.hidden,
        dataRead: !!document.getElementById('kwl-meta') };
      const last = window.loadingSeen[window.loadingSeen.length - 1];
      if (!last || last.text !== state.text || last.dataRead !== state.dataRead) window.loadingSeen.push(state);
    }).observe(document, { subtree: true, childList: true, characterData: true, attributes: true });
  };
  for (const [lang, loading, share] of [['en', 'Loading…', /^Loading… (\d+)%$/],
    ['de', 'Wird geladen…', /^Wird geladen… (\d+) %$/]]) {
    const { page, seen } = await open(browser, pageOf(dir, ['-l', lang]), { init: watch });
    const states = (await page.evaluate(() => window.loadingSeen)).filter((s) => s.text);
    // Said before the browser has read the data.
    assert.deepEqual(states[0], { text: loading, tableHidden: true, dataRead: false }, lang);
    const shares = states.filter((s) => share.test(s.text)).map((s) => Number(share.exec(s.text)[1]));
    assert.ok(shares.some((v) => v > 0 && v < 100), `${lang}: ${JSON.stringify(states)}`);
    assert.deepEqual(shares, [...shares].sort((a, b) => a - b), lang);
    assert.ok(states.every((s) => s.tableHidden), lang);
    assert.deepEqual(states.map((s) => s.text).filter((t) => t !== loading && !share.test(t)), [], lang);
    // Once ready, the table is in its place.
    assert.equal(await page.$('#loading'), null);
    assert.equal(await page.$eval('#table', (e) => e.hidden), false);
    assert.equal((await shownRows(page)).length > 1, true);
    noTrouble(seen);
    await page.close();
  }
});

test('at the end of the list nothing is drawn below the last row, at any height', async (browser) => {
  const dir = tree('tail');
  for (let i = 1; i <= 40; i++) touch(path.join(dir, 'f' + String(i).padStart(2, '0')));
  const { page, seen } = await open(browser, pageOf(dir));
  for (const height of [800, 640, 611, 517, 433]) {
    await page.setViewport({ width: 1280, height });
    await frames(page);
    // From a place where the rows stand 23 pixels up, so that a row of the pool left over
    // below the list's end would reach into view.
    const { height: box, drawn } = await endOfList(page, 3 * 24 + 23);
    const last = drawn[drawn.length - 1];
    assert.equal(last.name, 'f40', `${height}: ${JSON.stringify(drawn.slice(-2))}`);
    assert.ok(Math.abs(last.bottom - box) < 1, `${height}: the last row ends at ${last.bottom}, the box at ${box}`);
    assert.deepEqual(drawn.map((r) => r.name), [...drawn.map((r) => r.name)].sort(), String(height));
  }
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
