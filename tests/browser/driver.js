// Headless Chromium (Debian's) through puppeteer-core, for the browser tests, the screenshots
// and the benchmark of the browsable page.
'use strict';
const { pathToFileURL } = require('node:url');
const puppeteer = require('puppeteer-core');

const CHROMIUM = process.env.KWL_CHROMIUM || '/usr/bin/chromium';

// Tests run as root, where Chromium's sandbox cannot start.
async function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--allow-file-access-from-files'],
  });
}

// Opens file with a fresh page and waits until the page has drawn its first rows. Every
// request beyond the navigation itself, every console error and every uncaught exception is
// collected in the returned record. init, when given, runs in the page before any of its own
// script.
async function open(browser, file, { hash = '', width = 1280, height = 800, scheme = 'light', init } = {}) {
  const page = await browser.newPage();
  if (init) await page.evaluateOnNewDocument(init);
  await page.setViewport({ width, height });
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
  const seen = { requests: [], errors: [] };
  page.on('request', (r) => seen.requests.push(r.url()));
  page.on('console', (m) => { if (m.type() === 'error') seen.errors.push(m.text()); });
  page.on('pageerror', (e) => seen.errors.push(String(e)));
  const address = pathToFileURL(file).href;
  await page.goto(address + hash);
  await page.waitForSelector('html[data-state="ready"]', { timeout: 60000 });
  // The navigation itself is the only request a page may make.
  seen.requests = seen.requests.filter((u) => u.split('#')[0] !== address);
  return { page, seen };
}

module.exports = { launch, open };
