// Makes the README's pictures of the browsable page: docs/html-app-{en,de}-{light,dark}.png,
// from a small example tree, in both languages and both colour schemes.
//
//   node tests/browser/screenshots.js KWL_LIST
'use strict';
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, open } = require('./driver');

const kwlList = process.argv[2];
const docs = path.join(__dirname, '../../docs');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kwl-shots-'));
const root = path.join(work, 'projects');
const files = {
  'website/index.html': 5400, 'website/style.css': 2100, 'website/images/logo.png': 48213,
  'website/images/photo 2024-07-14.jpg': 2483190, 'thesis/chapter 1.tex': 84210,
  'thesis/chapter 2.tex': 120933, 'thesis/figures/plot.pdf': 331020, 'thesis/refs.bib': 15022,
  'notes.md': 1210, 'budget 2025.ods': 22811, '.profile': 807,
};
for (const [name, size] of Object.entries(files)) {
  fs.mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
  fs.writeFileSync(path.join(root, name), Buffer.alloc(size, 97));
}
const stamp = new Date('2026-03-14T10:26:00Z');
for (const name of Object.keys(files)) fs.utimesSync(path.join(root, name), stamp, stamp);

(async () => {
  const browser = await launch();
  for (const lang of ['en', 'de']) {
    const page = path.join(work, `page-${lang}.html`);
    execFileSync(kwlList, ['-r', '-e', 'html-app', '-l', lang, root, '-o', page]);
    for (const scheme of ['light', 'dark']) {
      const { page: tab } = await open(browser, page, { width: 1100, height: 420, scheme });
      await tab.click('#expand-all');
      await tab.click('#head [data-sort="size"]');
      await tab.screenshot({ path: path.join(docs, `html-app-${lang}-${scheme}.png`) });
      await tab.close();
    }
  }
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
})();
