// The site in Firefox ESR, driven over WebDriver BiDi by puppeteer-core:
// a game, a record under a Japanese name and its bytes, both boxes, a reload,
// a reload with the server gone, the name window closed by the browser and a
// page hidden mid-name and shown again, a touch screen played through the
// keypad, and menus asked for before the program has arrived. Every text,
// colour, size and record byte expected is the game's own, from the facts
// file the build writes (POROTEN_FACTS, game_facts.mjs).
//   node firefox_e2e.mjs SITE_DIR NODE_MODULES_DIR [-j JOBS]
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import { createRequire } from 'node:module';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import {
  BOXES, CELLS, FIRST_ROW, MAIN, PAGE, RECORD, TEXTS, TIMING, accessKey, control, cssColour, highScoreLines,
  menuText, recordBytes,
} from './game_facts.mjs';

const [site, modules] = process.argv.slice(2);
if (!site || !modules) { console.error('usage: node firefox_e2e.mjs SITE_DIR NODE_MODULES_DIR'); process.exit(2); }
const puppeteer = createRequire(path.join(modules, 'x'))('puppeteer-core');
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..', '..');
const FIREFOX = process.env.FIREFOX || '/usr/bin/firefox-esr';
const RECORD_TAKAHASHI_1 = recordBytes(1, '髙橋');
const [SCORE, MESSAGE] = ['Label5', 'Label6'].map((n) => control(MAIN, n).id);
const FIRST_ROW_DIGITS = new RegExp(`^\\d{${FIRST_ROW}}$`);

function freePort() {
  return new Promise((resolve) => {
    const s = net.createServer().listen(0, '127.0.0.1', () => { const p = s.address().port; s.close(() => resolve(p)); });
  });
}

// The site, or another folder, from a host that lets browsers keep every
// file maxAge seconds when given.
async function serve(folder = site, maxAge = null) {
  const port = await freePort();
  const extra = maxAge === null ? [] : ['--max-age', String(maxAge)];
  const proc = spawn('/usr/bin/python3', [path.join(root, 'scripts', 'serve-web.py'), '--port', String(port), ...extra, folder],
    { stdio: 'inherit' });
  for (let i = 0; i < 100; ++i) {
    const up = await new Promise((r) => { const c = net.connect(port, '127.0.0.1', () => { c.end(); r(true); }); c.on('error', () => r(false)); });
    if (up) break;
    await new Promise((r) => setTimeout(r, 50));
  }
  const gone = new Promise((r) => proc.on('exit', r));
  return { url: `http://127.0.0.1:${port}/`, stop: () => { proc.kill(); return gone; } };
}

// The site with poroten.wasm held back until release(): the page as it is
// before the program has arrived.
async function serveHeld() {
  const site = await serve();
  const behind = new URL(site.url).port;
  let release;
  const gate = new Promise((r) => { release = r; });
  const proxy = http.createServer(async (req, res) => {
    if (req.url.split('?')[0] === '/poroten.wasm') await gate;
    const up = http.request({ host: '127.0.0.1', port: behind, path: req.url, method: req.method, headers: req.headers },
      (r) => { res.writeHead(r.statusCode, r.headers); r.pipe(res); });
    up.on('error', () => res.destroy());
    req.pipe(up);
  });
  const port = await freePort();
  await new Promise((r) => proxy.listen(port, '127.0.0.1', r));
  return {
    url: `http://127.0.0.1:${port}/`, release,
    stop: () => { release(); proxy.closeAllConnections(); proxy.close(); return site.stop(); },
  };
}

async function firefox(touch) {
  return puppeteer.launch({
    browser: 'firefox', executablePath: FIREFOX, headless: true,
    // A touch screen as Firefox's own tests make one: touch points and a coarse pointer.
    extraPrefsFirefox: touch ? { 'dom.maxtouchpoints.testing.value': 5, 'ui.primaryPointerCapabilities': 1 } : {},
  });
}

const label = (page, id) => page.$eval(`.pw-main [data-id="${id}"]`, (e) => e.textContent);
const cells = (page) => page.$$eval('.pw-main .pw-client > [data-id]',
  (l, ids) => ids.map((id) => l.find((e) => Number(e.dataset.id) === id).textContent), CELLS);
const boxes = (page) => page.$$eval('dialog.pw-box[open]', (l) => l.map((d) => [
  d.querySelector('.pw-titlebar').textContent,
  [...d.querySelectorAll('.pw-boxtext > div')].map((x) => x.textContent)]));
const record = (page) => page.evaluate((file) => {
  const v = localStorage.getItem(file);
  return v === null ? null : [...atob(v)].map((c) => c.charCodeAt(0));
}, RECORD.fileName);

async function until(what, fn, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) throw new Error('timed out waiting for ' + what);
    await new Promise((r) => setTimeout(r, 20));
  }
}

const ready = (page) => until('the program', () => page.evaluate(() => document.documentElement.classList.contains('pw-ready')));

async function open(page, url) {
  await page.goto(url);
  await ready(page);
}

// Once: a second navigation straight after would leave a page that never
// loaded, which the service worker counts as just opened for a minute.
async function reload(page) {
  await page.reload();
  await ready(page);
}

async function row(page) {
  await until('a row to memorize', async () => (await label(page, MESSAGE)) === TEXTS.memorize && (await cells(page))[0] !== '');
  const digits = (await cells(page)).join('');
  await until('the answer phase', async () => (await label(page, MESSAGE)) === TEXTS.start,
    TIMING.memorizeSeconds * TIMING.tickMs + 3000);
  return digits;
}

// Enter on the box's OK, which has the focus, as a player closes it.
async function closeBox(page) {
  assert.equal(await page.evaluate(() => document.activeElement.className), 'pw-ok');
  await page.keyboard.press('Enter');
  await until('the box to close', async () => (await boxes(page)).length === 0);
}

// Clicks through the menu bar, as a mouse would, to the entries of these names.
async function menu(page, ...names) {
  const [first, ...items] = names;
  const click = async (sel, name) => {
    const handles = await page.$$(sel);
    for (const h of handles) {
      if ((await h.evaluate((e) => e.textContent)) === menuText(name)) { await h.click(); return; }
    }
    throw new Error('no menu entry ' + name);
  };
  await click('.pw-menuentry', first);
  for (const item of items) await click('.pw-menu:not([hidden]) button', item);
}

async function desktop() {
  const server = await serve();
  const browser = await firefox(false);
  try {
    const page = await browser.newPage();
    await open(page, server.url);
    assert.equal(await label(page, MESSAGE), TEXTS.pressReturn);
    assert.equal(await page.evaluate(() => document.activeElement.className), 'pw-client');
    assert.deepEqual(await page.$eval('.pw-main .pw-client', (e) => [e.offsetWidth, e.offsetHeight]), MAIN.clientPixels);
    // The page's policy refuses a script written into it.
    assert.equal(await page.evaluate(() => {
      const s = document.createElement('script'); s.textContent = 'window.__inline = 1';
      document.head.appendChild(s); return window.__inline === undefined;
    }), true);

    await page.keyboard.press('Enter');
    let digits = await row(page);
    await page.keyboard.press(digits[0]);
    assert.equal(await page.$eval(`.pw-main [data-id="${CELLS[0]}"]`, (e) => getComputedStyle(e).backgroundColor),
      cssColour('cellAnswered'));
    for (const d of digits.slice(1)) await page.keyboard.press(d);
    await until('score 1', async () => (await label(page, SCORE)) === '1');
    digits = await row(page);
    await page.keyboard.press(String((Number(digits[0]) + 1) % 10));
    assert.deepEqual(await until('a box', async () => { const b = await boxes(page); return b.length && b; }),
      [[BOXES.untitled, [TEXTS.wrongKey]]]);
    await closeBox(page);
    await until('the name window', () => page.evaluate(() => !!document.querySelector('dialog.pw-dialog[open]')));
    assert.equal(await page.evaluate(() => document.activeElement.tagName), 'INPUT');
    await page.keyboard.type('髙橋');
    assert.equal(await page.evaluate(() => document.activeElement.value), '髙橋');
    await page.keyboard.press('Enter');
    await until('the record', async () => JSON.stringify(await record(page)) === JSON.stringify(RECORD_TAKAHASHI_1));
    assert.equal(await label(page, MESSAGE), TEXTS.pressReturn);

    await menu(page, 'mnuFile', 'mnuFileHigh');
    assert.deepEqual(await until('the box', async () => { const b = await boxes(page); return b.length && b; }),
      [[BOXES.highScoreTitle, highScoreLines('髙橋', 1)]]);
    await closeBox(page);
    await menu(page, 'mnuFileAbout');
    assert.equal((await until('the box', async () => { const b = await boxes(page); return b.length && b; }))[0][0],
      BOXES.aboutTitle);
    await page.keyboard.press('Escape');
    await until('the box to close', async () => (await boxes(page)).length === 0);
    assert.equal(await page.evaluate(() => document.activeElement.className), 'pw-client');

    await reload(page);
    await menu(page, 'mnuFile', 'mnuFileHigh');
    assert.deepEqual((await until('the box', async () => { const b = await boxes(page); return b.length && b; }))[0][1],
      highScoreLines('髙橋', 1));
    await closeBox(page);

    await until('the service worker', () => page.evaluate(() => !!navigator.serviceWorker.controller), 15000);
    await server.stop();
    await reload(page);
    await page.keyboard.press('Enter');
    assert.match(await row(page), FIRST_ROW_DIGITS);
    assert.deepEqual(await record(page), RECORD_TAKAHASHI_1);
    console.log('ok - Firefox: a game, a Japanese record, both boxes, a reload and offline');
  } finally {
    await browser.close();
    await server.stop();
  }
}

// Counts the page's calls of navigator.storage.persist, from before the program loads.
function countPersist() {
  window.__persist = 0;
  if (navigator.storage && navigator.storage.persist) {
    const persist = navigator.storage.persist.bind(navigator.storage);
    navigator.storage.persist = () => { window.__persist++; return persist(); };
  }
}

const nameWindowOpen = (page) => page.evaluate(() => !!document.querySelector('dialog.pw-dialog[open]'));
const atRest = (page) => page.evaluate((id, text) => !document.querySelector('dialog[open]') &&
  !document.querySelector('.pw-main').hidden && document.activeElement.className === 'pw-client' &&
  document.querySelector(`.pw-main [data-id="${id}"]`).textContent === text, MESSAGE, TEXTS.pressReturn);

// A point, then a wrong key: the name window.
async function toTheNameWindow(page) {
  await page.keyboard.press('Enter');
  const digits = await row(page);
  for (const d of digits) await page.keyboard.press(d);
  await until('score 1', async () => (await label(page, SCORE)) === '1');
  await page.keyboard.press(String((Number((await row(page))[0]) + 1) % 10));
  await until('a box', async () => (await boxes(page)).length === 1);
  await closeBox(page);
  await until('the name window', () => nameWindowOpen(page));
}

// The name window ends only through the game; a page hidden mid-name keeps the
// name typed so far, and the name finished after it comes back.
async function nameWindow() {
  const server = await serve();
  const browser = await firefox(false);
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(countPersist);
    await open(page, server.url);
    await toTheNameWindow(page);
    await page.keyboard.type('Ann');
    await page.keyboard.press('Escape');
    assert.equal(await nameWindowOpen(page), true);
    assert.equal(await page.$eval('.pw-main', (e) => e.hidden), true);
    assert.deepEqual(await record(page), []);
    assert.equal(await page.evaluate(() => window.__persist), 0);
    // A second Esc with nothing between: Firefox closes the window itself,
    // and that is a close as the window's ×: the name is kept.
    await page.keyboard.press('Escape');
    await until('Ann\'s record', async () => JSON.stringify(await record(page)) === JSON.stringify(recordBytes(1, 'Ann')));
    await until('the main window at rest', () => atRest(page));
    // The saved record asks the browser to keep the site's storage.
    assert.equal(await page.evaluate(() => window.__persist), 1);

    await page.evaluate((file) => localStorage.removeItem(file), RECORD.fileName);
    await reload(page);
    await toTheNameWindow(page);
    await page.keyboard.type('Bo');
    // Another tab in front: the page is hidden, and may be discarded unseen;
    // the name typed so far is saved now, and the window stays for the rest.
    const other = await browser.newPage();
    await until('Bo\'s record', async () => JSON.stringify(await record(page)) === JSON.stringify(recordBytes(1, 'Bo')));
    assert.equal(await nameWindowOpen(page), true);
    await other.close();
    await page.bringToFront();
    await until('the page shown', () => page.evaluate(() => document.visibilityState === 'visible'));
    assert.equal(await page.evaluate(() => document.activeElement.tagName), 'INPUT');
    await page.keyboard.type('b');
    await page.keyboard.press('Enter');
    await until('the main window at rest', () => atRest(page));
    assert.deepEqual(await record(page), recordBytes(1, 'Bob'));
    console.log('ok - Firefox: Esc twice on the name window keeps the name; a page hidden mid-name keeps it for now, and the whole name once confirmed');
  } finally {
    await browser.close();
    await server.stop();
  }
}

// The build a page runs, by the marks newBuild puts in its index and program.
const buildMarks = (page) => page.evaluate(() => [document.documentElement.dataset.build || null,
  window.porotenBuild || null]);
// The caches once the site's worker is done with its install, or null.
const workerDone = (page) => page.evaluate(async () => {
  const r = await navigator.serviceWorker.getRegistration();
  const busy = !r || !r.active || r.active.state !== 'activated' || !!r.installing || !!r.waiting;
  return busy ? null : caches.keys();
});
const stampOf = (folder) => /VERSION = '([0-9a-f]+)'/.exec(fs.readFileSync(path.join(folder, 'sw.js'), 'utf8'))[1];

// A returning player on a host that lets browsers keep every file ten
// minutes: a new build is run whole by the second load, and offline.
async function newBuild() {
  const sites = fs.mkdtempSync(path.join(os.tmpdir(), 'poroten-sites-'));
  for (const f of ['a', 'b']) fs.cpSync(site, path.join(sites, f), { recursive: true });
  const server = await serve(sites, 600);
  const browser = await firefox(false);
  try {
    const page = await browser.newPage();
    const a = server.url + 'a/', b = server.url + 'b/';
    for (const url of [b, a]) {
      await open(page, url);
      await until('the service worker', () => page.evaluate(() => !!navigator.serviceWorker.controller), 15000);
    }
    // The same site with a changed page (its style and pre-frame script are
    // inside it) and program, stamped anew by the build's own step.
    const dir = path.join(sites, 'a'), old = stampOf(dir);
    const edit = (name, change) => fs.writeFileSync(path.join(dir, name), change(fs.readFileSync(path.join(dir, name), 'utf8')));
    edit('index.html', (t) => t.replace('<html lang="ja">', '<html lang="ja" data-build="2">'));
    edit('poroten.js', (t) => t + "\n;window.porotenBuild = '2';\n");
    execFileSync('bash', [path.join(root, 'scripts', 'stamp-site.sh'), dir]);
    const now = stampOf(dir);
    assert.notEqual(now, old);

    await reload(page);
    assert.deepEqual(await buildMarks(page), [null, null]);
    await until('the new worker', async () => { const c = await workerDone(page); return c && c.some((n) => n.includes(now)); }, 20000);
    assert.equal(await page.evaluate(() => fetch('poroten.js').then((r) => r.text()).then((t) => t.includes('porotenBuild'))), false);
    await reload(page);
    assert.deepEqual(await buildMarks(page), ['2', '2']);
    await until('the old cache gone', async () => { const c = await workerDone(page); return c && !c.some((n) => n.includes(a) && n.includes(old)); });
    const caches = await workerDone(page);
    assert.ok(caches.some((n) => n.includes(b) && n.includes(old)), String(caches));

    await server.stop();
    await reload(page);
    assert.deepEqual(await buildMarks(page), ['2', '2']);
    await page.keyboard.press('Enter');
    assert.match(await row(page), FIRST_ROW_DIGITS);
    await open(page, b);
    assert.deepEqual(await buildMarks(page), [null, null]);
    console.log('ok - Firefox: a new build from a caching host, whole by the second load and offline; the other site kept');
  } finally {
    await browser.close();
    await server.stop();
    fs.rmSync(sites, { recursive: true, force: true });
  }
}

async function phone() {
  const server = await serve();
  const browser = await firefox(true);
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 390, height: 844 });
    await open(page, server.url);
    const keys = await page.$$eval('#keypad button', (l) => l.map((b) => {
      const r = b.getBoundingClientRect(); return [b.getAttribute('aria-label'), r.width, r.height, r.bottom];
    }));
    assert.equal(keys.length, 11);
    for (const [name, w, h, bottom] of keys) {
      assert.ok(Math.min(w, h) >= 44, name);
      assert.ok(bottom <= 844, name);
    }
    const width = await page.$eval('.pw-main', (e) => e.getBoundingClientRect().width);
    assert.ok(width > 360 && width <= 390, String(width));
    const tap = async (name) => {
      const [x, y] = await page.$eval(`#keypad [aria-label="${name}"]`, (b) => {
        const r = b.getBoundingClientRect(); return [Math.round(r.x + r.width / 2), Math.round(r.y + r.height / 2)];
      });
      // Headless Firefox 153 refuses BiDi touch actions here
      // (synthesizeTouchAtPoint: NS_ERROR_ILLEGAL_VALUE), with or without
      // touch events turned on; a pointer press is the nearest real input,
      // and the keypad answers on any pointer's press.
      await page.mouse.click(x, y);
    };
    await tap(PAGE.returnKey);
    const digits = await row(page);
    for (const d of digits) await tap(d);
    await until('score 1', async () => (await label(page, SCORE)) === '1');
    console.log('ok - Firefox: a touch screen plays through the keypad');
  } finally {
    await browser.close();
    await server.stop();
  }
}

async function early() {
  const browser = await firefox(false);
  const menusOpen = (page) => page.$$eval('.pw-menu:not([hidden])', (l) => l.length);
  const ready = (page) => page.evaluate(() => document.documentElement.classList.contains('pw-ready'));
  let server = null;
  try {
    const page = await browser.newPage();
    // The file menu clicked twice while the program is on its way: asked for
    // twice, not opened and closed again.
    server = await serveHeld();
    await page.goto(server.url, { waitUntil: 'domcontentloaded' });
    await page.click('.pw-menuentry');
    await page.click('.pw-menuentry');
    await new Promise((r) => setTimeout(r, 300));
    assert.deepEqual([await menusOpen(page), await ready(page)], [0, false]);
    server.release();
    await until('the file menu', async () => (await menusOpen(page)) === 1);
    assert.equal(await page.evaluate(() => document.activeElement.textContent), menuText('mnuFileNew'));
    await server.stop();

    // Enter, then About's access key: the game starts, then the About box opens over it.
    server = await serveHeld();
    await page.goto(server.url, { waitUntil: 'domcontentloaded' });
    await page.keyboard.press('Enter');
    await page.keyboard.down('Alt');
    await page.keyboard.press('Key' + accessKey('mnuFileAbout').toUpperCase());
    await page.keyboard.up('Alt');
    await new Promise((r) => setTimeout(r, 300));
    assert.deepEqual([await boxes(page), await ready(page)], [[], false]);
    server.release();
    const about = await until('the About box', async () => { const b = await boxes(page); return b.length && b; });
    assert.equal(about[0][0], BOXES.aboutTitle);
    assert.equal(await label(page, MESSAGE), TEXTS.memorize);
    console.log('ok - Firefox: a menu clicked and an access key pressed before the program is ready count once it is');
  } finally {
    await browser.close();
    if (server) await server.stop();
  }
}

// Each scenario with its browser and server of its own; with -j N, N at a time.
const scenarios = [desktop, nameWindow, newBuild, phone, early];
const count = scenarios.length;
const jobs = Math.max(1, Number(process.argv[process.argv.indexOf('-j') + 1]) || 1);
const began = Date.now();
const seconds = (since) => ((Date.now() - since) / 1000).toFixed(1) + ' s';
try {
  await Promise.all(Array.from({ length: jobs }, async () => {
    for (let next; (next = scenarios.shift());) {
      const start = Date.now();
      await next();
      console.log(`   (${next.name}: ${seconds(start)})`);
    }
  }));
  console.log(`${count} scenarios in ${seconds(began)}, ${jobs} at a time`);
} catch (e) {
  console.error('not ok -', e);
  process.exit(1);
}
