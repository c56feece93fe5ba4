// SPDX-License-Identifier: MIT
// The page in Debian's headless chromium, against the native driver:
//   node browser_test.mjs URL NATIVE-HVEZDA-SIM WORK-FOLDER NPM-FOLDER
// Prints one line a check; exits 1 when one failed.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';

const [url, sim, work, npm] = process.argv.slice(2);
const puppeteer = createRequire(npm + '/')('puppeteer-core');
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
let failures = 0;
function check(ok, what) {
  console.log((ok ? 'ok: ' : 'FAIL: ') + what);
  if (!ok) failures++;
}

const downloads = `${work}/downloads`;
fs.mkdirSync(downloads, { recursive: true });
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: `${work}/profile`,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});

// A page of the game, shown whole at scale 2, once its first frame is up.
async function open(query, before) {
  const page = await browser.newPage();
  page.on('pageerror', (e) => check(false, `no error in the page (${e.message})`));
  await page.setViewport({ width: 1400, height: 1200 });
  if (before) await page.evaluateOnNewDocument(before);
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto(url + query);
  await page.waitForFunction(() => window.Module && Module.firstFrameMs, { timeout: 30000 });
  return page;
}
const get = (page, target) => page.evaluate((t) => Module.ccall('hvezda_get', 'string', ['string'], [t]), target);
// A click on the scene's pixel (x, y): the canvas is at scale 2.
async function clickScene(page, x, y) {
  const box = await (await page.$('canvas')).boundingBox();
  await page.mouse.click(box.x + 2 * x, box.y + 2 * y);
}
async function downloaded(name) {
  const file = `${downloads}/${name}`;
  for (let i = 0; i < 100 && !fs.existsSync(file); i++) await sleep(100);
  return fs.existsSync(file) ? fs.readFileSync(file) : null;
}

// The first frame of ?seed=1, read before any tick ran, and the native
// driver's screenshot of the same start, pixel for pixel (RGB). Headless
// chromium lets any page play sound: here, as in a browser a player uses,
// the page's audio starts held until it is resumed.
const page = await open('?seed=1', () => {
  const Held = class extends AudioContext {
    constructor(...args) {
      super(...args);
      this.suspend();
    }
  };
  window.AudioContext = Held;
  let module;
  Object.defineProperty(window, 'Module', {
    get: () => module,
    set(m) {
      if (m === module) return;
      module = m;
      const shown = m.page.firstFrame;
      m.page.firstFrame = () => {
        const c = m.canvas;
        const bytes = new Uint8Array(c.getContext('2d').getImageData(0, 0, c.width, c.height).data.buffer);
        let s = '';
        for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        window.firstFrame = { w: c.width, h: c.height, rgba: btoa(s) };
        shown();
      };
    },
  });
});
const first = await page.evaluate(() => window.firstFrame);
execFileSync(sim, ['--seed', '1'], { input: `screenshot ${work}/native.png\n` });
const want = execFileSync('convert', [`${work}/native.png`, '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 24 });
const got = Buffer.from(first.rgba, 'base64');
let differ = 0;
for (let i = 0; i < want.length; i += 4)
  if (got[i] !== want[i] || got[i + 1] !== want[i + 1] || got[i + 2] !== want[i + 2]) differ++;
check(first.w === 667 && first.h === 570 && got.length === want.length && differ === 0,
  `the first frame of ?seed=1 is the native driver's screenshot (${first.w} x ${first.h}, ${differ} pixels differ)`);
console.log(`page load to the first frame: ${Math.round(await page.evaluate(() => Module.firstFrameMs))} ms`);

// The music waits for the player's first click; then it plays.
const audio = () => page.evaluate(() => Module.SDL2.audioContext.state);
check(await audio() === 'suspended' && await page.$eval('#hint', (e) => !e.hidden),
  'before a click the audio waits, and the page says so');
await clickScene(page, 300, 300);
await page.waitForFunction(() => Module.SDL2.audioContext.state === 'running', { timeout: 5000 }).catch(() => {});
const t0 = await page.evaluate(() => Module.SDL2.audioContext.currentTime);
await sleep(300);
check(await audio() === 'running' && await page.evaluate((t) => Module.SDL2.audioContext.currentTime > t, t0) &&
  await page.$eval('#hint', (e) => e.hidden), 'after a click the audio is running and the hint is gone');

// Holding Right flies the ship right.
const left = Number(await get(page, 'Picture1.Left'));
await page.keyboard.down('ArrowRight');
await sleep(400);
await page.keyboard.up('ArrowRight');
check(Number(await get(page, 'Picture1.Left')) > left, `holding Right moves the ship right (from ${left})`);

// OVLÁDÁNÍ (Label5, 592,32 65 x 17 in the panel) shows the controls.
await clickScene(page, 624, 40);
await sleep(100);
check((await get(page, 'Label7.Caption')).length > 20, 'a click on OVLÁDÁNÍ shows the controls');

// F12 offers the picture as a PNG.
await page.keyboard.press('F12');
const shots = async () => fs.readdirSync(downloads).filter((f) => /^hvezda-.*\.png$/.test(f));
for (let i = 0; i < 50 && (await shots()).length === 0; i++) await sleep(100);
const shot = (await shots())[0];
check(shot && spawnSync('identify', ['-format', '%wx%h', `${downloads}/${shot}`]).stdout.toString() === '667x570',
  `F12 downloads a 667 x 570 PNG (${shot})`);

// EXIT (Label4, 592,64 in the panel, itself 1,2 in) ends the game; its
// recording downloads and the native driver verifies it.
await clickScene(page, 610, 72);
await page.waitForSelector('#ended:not([hidden])', { timeout: 5000 }).catch(() => {});
check(await page.$eval('#ended', (e) => !e.hidden && e.textContent.includes('Hra skončila')) &&
  await page.evaluate(() => !Module.SDL2.audioContext), 'EXIT stops the game and the music and says so');
await page.click('#last-game');
const recording = await downloaded('last-game.sim');
fs.writeFileSync(`${work}/last-game.sim`, recording || '');
const verified = spawnSync(sim, ['--verify', `${work}/last-game.sim`]);
check(recording && verified.status === 0, `the downloaded recording verifies: ${verified.stdout}${verified.stderr}`.trim());

// Settings and the last recording are still there after a reload.
await page.click('#settings summary');
const settings = (await page.$eval('#settings-text', (e) => e.value)).replace(/^music_volume = .*$/m, 'music_volume = 40');
await page.$eval('#settings-text', (e, text) => { e.value = text; }, settings);
await page.click('#settings-save');
check(await page.$eval('#settings-said', (e) => e.textContent) === 'Uloženo.', 'the settings are saved');
await sleep(1000);
await page.reload();
await page.waitForFunction(() => window.Module && Module.firstFrameMs, { timeout: 30000 });
await page.click('#settings summary');
check((await page.$eval('#settings-text', (e) => e.value)).includes('\nmusic_volume = 40\n'),
  'the settings survive a reload');
// The game started anew, so the last one is now the one before it.
const kept = await page.evaluate(() => {
  const folder = Module.ccall('hvezda_files', 'string', [], []).split('\n')[1];
  return new TextDecoder().decode(Module.FS.readFile(folder + '/previous-game.sim'));
}).catch(() => '');
check(recording && kept === recording.toString(), 'the last recording survives a reload');
await page.close();

// Ten seconds of play (?seed=9 survives them untouched): the game clock keeps
// to the wall clock within 1 %, and every Timer1 tick due ran.
const play = await open('?seed=9');
const read = () => play.evaluate(() => {
  const [ticks, , frames, rebases] = Module.ccall('hvezda_loop_counts', 'string', [], []).split(' ').map(Number);
  return { wall: performance.now(), clock: Number(Module.ccall('hvezda_get', 'string', ['string'], ['clock'])), ticks, frames, rebases };
});
const a = await read();
await sleep(10000);
const b = await read();
const wall = b.wall - a.wall;
const clock = b.clock - a.clock;
const ticks = b.ticks - a.ticks;
const due = Math.floor(b.clock / 10) - Math.floor(a.clock / 10);
check(Math.abs(clock - wall) <= wall / 100 && ticks === due && await get(play, 'Timer1.Enabled') === 'true',
  `10 s of play: ${Math.round(wall)} ms of wall clock, ${clock} ms of game clock, ${ticks} Timer1 ticks of ${due} due ` +
  `(${b.frames - a.frames} frames drawn, ${b.rebases - a.rebases} stalls over 100 ms)`);

await browser.close();
process.exit(failures ? 1 : 0);
