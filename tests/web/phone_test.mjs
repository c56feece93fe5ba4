// SPDX-License-Identifier: MIT
// The page on a phone (touch emulated): four screens' layouts, a game by touch alone that verifies natively,
// and the installable page, offline and updated (SITE-FOLDER is what URL serves: it is changed for a release).
//   node phone_test.mjs URL SITE-FOLDER NATIVE-HVEZDA-SIM WORK-FOLDER NPM-FOLDER SCREENSHOT-FOLDER
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { check, downloaded, failures, get, holdAudio, launch, open, reload, scenePoint, sleep, stateFile, until } from './lib.mjs';

const [url, site, sim, work, npm, shots] = process.argv.slice(2);
const downloads = `${work}/phone-downloads`;
fs.mkdirSync(shots, { recursive: true });
const browser = await launch(npm, `${work}/phone-profile`);
const phone = (width, height) => ({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

// Every screen: what a player needs (the scene, the buttons, the touch controls or the table of keys) lies in
// the window, the scene as large as it can be, and nothing scrolls.
const inside = (r, w, h) => r.width > 0 && r.height > 0 && r.left >= -0.5 && r.top >= -0.5 && r.right <= w + 0.5 &&
  r.bottom <= h + 0.5;
const needed = ['#fullscreen', '#last-game', '#previous-game', '#fire', '#shield', '#pause', '#steer', 'table'];
for (const [width, height, touch] of [[1280, 1000, false], [390, 844, true], [360, 640, true], [844, 390, true]]) {
  const page = await open(browser, url + '?seed=3', touch ? phone(width, height) : { width, height });
  const seen = await page.evaluate((needed) => {
    const box = (sel) => document.querySelector(sel).getBoundingClientRect().toJSON();
    window.scrollTo(0, 1000);
    return { scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight, window.scrollY],
      canvas: box('canvas'), needed: needed.map((sel) => [sel, box(sel)]),
      touch: document.documentElement.classList.contains('touch') };
  }, needed);
  const wanted = touch ? needed.slice(0, 7) : [...needed.slice(0, 3), 'table'];
  const missing = seen.needed.filter(([sel, r]) => wanted.includes(sel) !== inside(r, width, height)).map(([sel]) => sel);
  // On a touch screen the scene fills the width or the height left; on a desktop it is at a whole scale.
  const c = seen.canvas, largest = Math.min(width, height * 667 / 570);
  const fills = touch ? c.width >= 0.9 * largest : Math.abs(c.width / 667 - Math.round(c.width / 667)) < 0.01;
  check(seen.touch === touch && inside(c, width, height) && fills && missing.length === 0 &&
    seen.scroll[0] <= width && seen.scroll[1] <= height && seen.scroll[2] === 0,
  `${width} x ${height}${touch ? ', touch' : ''}: the scene ${Math.round(c.width)} x ${Math.round(c.height)} at ` +
    `${Math.round(c.left)},${Math.round(c.top)}, nothing scrolls, ${missing.length ? 'out of sight or shown amiss: ' +
    missing.join(' ') : 'all a player needs in sight'}`);
  await page.screenshot({ path: `${shots}/${width}x${height}.png` });
  await page.close();
}

// A game played by touch alone; its audio held until resumed, as on a phone.
const page = await open(browser, url + '?seed=5', phone(390, 844), downloads, holdAudio);
const num = async (target) => Number(await get(page, target));
const centre = (sel) => page.$(sel).then((e) => e.boundingBox()).then((b) => [b.x + b.width / 2, b.y + b.height / 2]);
// A tap at a point or on an element's centre, then `wait` ms.
async function tap(at, wait = 0) {
  const finger = await page.touchscreen.touchStart(...(typeof at === 'string' ? await centre(at) : at));
  await sleep(50);
  await finger.end();
  await sleep(wait);
}
// A finger put down at (x, y) and dragged by (dx, dy) in steps of a frame.
async function drag(x, y, dx, dy, steps = 12) {
  const finger = await page.touchscreen.touchStart(x, y);
  for (let i = 1; i <= steps; i++) await finger.move(x + dx * i / steps, y + dy * i / steps).then(() => sleep(16));
  return finger;
}
const cssPerPixel = (await (await page.$('canvas')).boundingBox()).width / 667;
const steer = await centre('#steer');

// The first touch lets the music play; the hint says so until then.
const hint = await page.$eval('#hint .touch-only', (e) => e.offsetParent !== null);
await tap(steer);
await until(page, () => Module.SDL2.audioContext.state === 'running', 3000);
check(hint && await page.evaluate(() => Module.SDL2.audioContext.state === 'running' &&
  document.getElementById('hint').hidden), 'the hint asks for a touch; the first touch starts the music');

// Relative steering: a drag of 90 px right, 60 up moves the ship as many scene pixels; a finger put down moves nothing.
const [left0, top0] = [await num('Picture1.Left'), await num('Picture1.Top')];
let finger = await drag(steer[0] - 60, steer[1] + 40, 90 * cssPerPixel, -60 * cssPerPixel);
await sleep(400);
const [left1, top1] = [await num('Picture1.Left'), await num('Picture1.Top')];
await finger.end();
finger = await page.touchscreen.touchStart(steer[0] + 90, steer[1] - 100);
await sleep(300);
const [left2, top2] = [await num('Picture1.Left'), await num('Picture1.Top')];
await finger.end();
const [dx, dy] = [(left1 - left0) / 15, (top1 - top0) / 15];
check(Math.abs(dx - 90) <= 10 && Math.abs(dy + 60) <= 7 && left2 === left1 && top2 === top1,
  `a drag of 90, -60 pixels moves the ship ${dx}, ${dy}; another finger put down elsewhere moves nothing`);

// The fire button fires on while held; a second finger fires while one steers (as the recording shows).
const presses = async () => ((await stateFile(page, 'last-game.sim')).match(/^keydown 88\b/gm) || []).length;
const presses0 = await presses();
finger = await page.touchscreen.touchStart(...await centre('#fire'));
await sleep(150);
const flying = (await Promise.all([...Array(12).keys()].map((i) => get(page, `fire(${i}).Visible`))))
  .filter((v) => v === 'true').length;
await sleep(500);
await finger.end();
await sleep(100);  // the last repeat reaches the game at its next frame
const presses1 = await presses();
finger = await drag(steer[0], steer[1], 5, 0, 2);
const second = await page.touchscreen.touchStart(steer[0] - 80, steer[1] + 80);
await sleep(150);
const presses2 = await presses();
await second.end();
await finger.end();
check(flying > 0 && presses1 - presses0 >= 10 && presses2 === presses1 + 1,
  `the fire button fires (${flying} shots flying) and fires on while held (${presses1 - presses0} presses of X ` +
  `in 0.65 s); a second finger fires (${presses2 - presses1} press)`);

// A touch player: the steering finger, lifting and coming back, keeps the ship under the lowest craft while
// the fire button is held, until a craft is hit.
const score0 = await get(page, 'score.Caption');
const trigger = await page.touchscreen.touchStart(...await centre('#fire'));
let hand = null, at = null;
const deadline = Date.now() + 20000;
while (Date.now() < deadline && await get(page, 'score.Caption') === score0) {
  let low = null;
  for (const n of [1, 2, 3, 4]) {
    const y = await get(page, `enemycraft${n}.Visible`) === 'true' && await num(`enemycraft${n}.Top`);
    const x = y !== false && await num(`enemycraft${n}.Left`) + await num(`enemycraft${n}.Width`) / 2;
    if (y !== false && !(low && low.y >= y)) low = { x, y };
  }
  if (!low) {
    await sleep(50);
    continue;
  }
  const aim = (low.x - (await num('Picture1.Left') + await num('Picture1.Width') / 2)) / 15 * cssPerPixel;
  const move = Math.max(-40, Math.min(40, aim));
  if (!hand || Math.abs(at[0] + move - steer[0]) > 100) {
    if (hand) await hand.end();
    at = [steer[0], steer[1]];
    hand = await page.touchscreen.touchStart(...at);
  }
  at = [at[0] + move, at[1]];
  await hand.move(...at);
  await sleep(30);
}
if (hand) await hand.end();
await trigger.end();
const score1 = await get(page, 'score.Caption');
check(score1 !== score0, `a touch player hits enemy craft: the score ${score0} -> ${score1}`);
await page.screenshot({ path: `${shots}/touch-game.png` });

// The shield button is the single refill; the pause button pauses and resumes.
const life0 = await get(page, 'life.Visible');
await tap('#shield', 100);
await tap('#pause', 200);
const clock0 = await get(page, 'clock');
await sleep(300);
const still = await get(page, 'clock') === clock0;
await tap('#pause', 200);
check(await get(page, 'life.Visible') === 'false' && life0 === 'true' && still &&
  await get(page, 'clock') !== clock0, 'the shield button spends the refill; the pause button stops and resumes the game');

// EXIT by a tap; the recording, downloaded by a tap, holds only the keyboard's own keys and verifies natively.
await tap(await scenePoint(page, 610, 72));
await until(page, () => !document.getElementById('ended').hidden, 3000);
check(await page.$eval('#ended', (e) => !e.hidden && e.textContent.includes('Hra skončila')) &&
  await page.evaluate(() => !Module.SDL2.audioContext), 'EXIT stops the game and the music and says so');
await tap('#last-game');
const recording = (await downloaded(downloads, /^last-game\.sim$/)).bytes;
const text = recording ? recording.toString() : '';
const codes = new Set([...text.matchAll(/^key(?:down|up) (\d+)/gm)].map((m) => Number(m[1])));
const verified = spawnSync(sim, ['--verify', `${downloads}/last-game.sim`]);
check([38, 39, 88, 67].every((c) => codes.has(c)) && [...codes].every((c) => [37, 38, 39, 40, 88, 67].includes(c)) &&
  /^click Label4$/m.test(text) && verified.status === 0 && / luck: seed 5\n$/.test(verified.stdout),
  `the touch game's recording (keys ${[...codes].sort().join(' ')}, EXIT) verifies, its luck the seed of ?seed=5: ` +
  `${verified.stdout}${verified.stderr}`.trim());
// A key on a keyboard hides the touch controls, the next touch brings them back.
await page.keyboard.press('ArrowLeft');
const hidden = await page.$eval('#fire', (e) => e.offsetParent === null);
await tap(steer);
check(hidden && await page.$eval('#fire', (e) => e.offsetParent !== null),
  'a key on a keyboard hides the touch controls; a touch brings them back');
await page.close();

// Installable, offline, updated.
const pwa = await open(browser, url, phone(390, 844));
await pwa.evaluate(() => navigator.serviceWorker.ready);
await until(pwa, () => navigator.serviceWorker.controller);
const pwaCdp = await pwa.createCDPSession();
const { installabilityErrors: errors } = await pwaCdp.send('Page.getInstallabilityErrors');
const manifest = await pwaCdp.send('Page.getAppManifest');
check(errors.length === 0 && manifest.errors.length === 0 && /"display": "standalone"/.test(manifest.data),
  `chromium finds the page installable (${errors.map((e) => e.errorId).join(', ') || 'no errors'}, ` +
  `${manifest.errors.length} manifest errors)`);

// The network off, the server's folder gone: a reload starts and plays.
fs.renameSync(site, `${site}.away`);
await pwa.setOfflineMode(true);
const offline = await reload(pwa).then(() => true, () => false);
const clock1 = offline && await get(pwa, 'clock');
await sleep(500);
check(offline && Number(await get(pwa, 'clock')) > Number(clock1),
  `with the network off a reload starts the game (its clock ${clock1} -> ${offline && await get(pwa, 'clock')})`);
await pwa.setOfflineMode(false);
fs.renameSync(`${site}.away`, site);

// A new release: its worker replaces the old cache, and the page says so once.
const caches0 = await pwa.evaluate(() => caches.keys());
const sw = fs.readFileSync(`${site}/sw.js`, 'utf8');
fs.writeFileSync(`${site}/sw.js`, sw.replace(/const version = '([^']*)'/, "const version = '$1-next'"));
await reload(pwa);
const told = await until(pwa, () => !document.getElementById('update').hidden);
await until(pwa, async () => (await caches.keys()).length === 1); // the old cache goes once the new worker took over
const caches1 = await pwa.evaluate(() => caches.keys());
await reload(pwa);
await sleep(1000);
check(told && caches0.length === 1 && caches1.length === 1 && caches1[0] === `${caches0[0]}-next` &&
  await pwa.$eval('#update', (e) => e.hidden),
  `a new release replaces the cache (${caches0} -> ${caches1}) and the page says so once`);

await browser.close();
process.exit(failures ? 1 : 0);
