// SPDX-License-Identifier: MIT
// What the page's tests share: Debian's chromium through npm's puppeteer-core, one line a check, the game's values.
import fs from 'node:fs';
import { createRequire } from 'node:module';

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
export let failures = 0;
export function check(ok, what) {
  console.log((ok ? 'ok: ' : 'FAIL: ') + what);
  failures += !ok;
}

export async function launch(npm, profile, extra = []) {
  const puppeteer = createRequire(npm + '/')('puppeteer-core');
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', ...extra],
  });
}

// A page of the game once its first frame is up, downloads going to `downloads`.
export async function open(browser, url, viewport, downloads, before) {
  const page = await browser.newPage();
  page.on('pageerror', (e) => check(false, `no error in the page (${e.message})`));
  await page.setViewport(viewport);
  for (const script of [before ?? []].flat()) await page.evaluateOnNewDocument(script);
  if (downloads) await (await page.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow',
    downloadPath: downloads });
  await page.goto(url);
  await started(page);
  return page;
}
export const started = (page) => page.waitForFunction(() => window.Module && Module.firstFrameMs, { timeout: 30000 });
export const reload = (page) => page.reload().then(() => started(page));
// Whether `fn` comes true in the page within `timeout` ms.
export const until = (page, fn, timeout = 10000, polling = 'raf', ...args) =>
  page.waitForFunction(fn, { timeout, polling }, ...args).then(() => true, () => false);

// Puts `key = value` in the settings and saves them: what the page says, once the file is in IDBFS's IndexedDB.
export async function saveSetting(page, key, value) {
  const line = `${key} = ${value}`;
  await page.click('#settings summary');
  await page.waitForFunction((k) => document.getElementById('settings-text').value.includes(`\n${k} = `), {}, key);
  await page.$eval('#settings-text', (e, k, l) => { e.value = e.value.replace(new RegExp(`^${k} = .*$`, 'm'), l); }, key, line);
  await page.click('#settings-save');
  const said = await page.$eval('#settings-said', (e) => e.textContent);
  await until(page, (l) => new Promise((done) => {
    const db = indexedDB.open('/home/web_user');
    db.onsuccess = () => {
      const file = db.result.transaction('FILE_DATA').objectStore('FILE_DATA').get('/home/web_user/.config/hvezda/settings.toml');
      file.onsuccess = () => done(file.result && new TextDecoder().decode(file.result.contents).includes(l));
    };
  }), 10000, 200, line);
  return said;
}

// Holds the page's audio until it is resumed, as a player's browser does (headless chromium lets any page play).
export function holdAudio() {
  window.AudioContext = class extends AudioContext {
    constructor(...args) { super(...args); this.suspend(); }
  };
}

// A file of the game's state folder, as text ('' when there is none).
export const stateFile = (page, name) => page.evaluate((n) => new TextDecoder().decode(Module.FS.readFile(
  Module.ccall('hvezda_files', 'string', [], []).split('\n')[1] + '/' + n)), name).catch(() => '');

// `get TARGET` as the driver prints it.
export const get = (page, target) => page.evaluate((t) => Module.ccall('hvezda_get', 'string', ['string'], [t]), target);

// The scene's pixel (x, y) on the page, wherever and however large the canvas is shown.
export async function scenePoint(page, x, y) {
  const box = await (await page.$('canvas')).boundingBox();
  return [box.x + x * box.width / 667, box.y + y * box.height / 570];
}

// The first download in `folder` whose name matches, once it is complete.
export async function downloaded(folder, pattern) {
  for (let i = 0; i < 100; i++, await sleep(100)) {
    const name = fs.existsSync(folder) && fs.readdirSync(folder).find((f) => pattern.test(f));
    if (name) return { name, bytes: fs.readFileSync(`${folder}/${name}`) };
  }
  return { name: null, bytes: null };
}
