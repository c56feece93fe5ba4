// SPDX-License-Identifier: MIT
// The page in headless chromium, against the native driver: one line a check, status 1 when one failed.
//   node browser_test.mjs URL NATIVE-HVEZDA-SIM WORK-FOLDER NPM-FOLDER
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, downloaded, failures, get, holdAudio, launch, open as openPage, reload, scenePoint,
  saveSetting, sleep, started, stateFile, until } from './lib.mjs';

const [url, sim, work, npm] = process.argv.slice(2);
const downloads = `${work}/downloads`;
const browser = await launch(npm, `${work}/profile`);
const open = (query, before) => openPage(browser, url + query, { width: 1280, height: 1000 }, downloads, before);

// The first frame of ?seed=1, read before any tick ran, is the native driver's screenshot (RGB).
const page = await open('?seed=1', [holdAudio, () => {
  let module;
  Object.defineProperty(window, 'Module', { get: () => module, set(m) {
    if (m === module) return;
    const shown = (module = m).page.firstFrame;
    m.page.firstFrame = () => {
      window.firstFrame = m.canvas.toDataURL('image/png');
      shown();
    };
  } });
}]);
fs.writeFileSync(`${work}/first.png`, Buffer.from((await page.evaluate(() => window.firstFrame)).split(',')[1], 'base64'));
execFileSync(sim, ['--seed', '1'], { input: `screenshot ${work}/native.png\n` });
const differ = spawnSync('compare', ['-metric', 'AE', '-alpha', 'off', `${work}/native.png`, `${work}/first.png`, 'null:']);
check(differ.status === 0 && differ.stderr.toString() === '0' && spawnSync('identify', ['-format', '%wx%h',
  `${work}/first.png`]).stdout.toString() === '667x570', `the first frame of ?seed=1 is the native driver's screenshot ` +
  `(${differ.stderr} pixels differ)`);
console.log(`page load to the first frame: ${Math.round(await page.evaluate(() => Module.firstFrameMs))} ms`);

// The music waits for the player's first click; then it plays.
const audio = () => page.evaluate(() => [Module.SDL2.audioContext.state, Module.SDL2.audioContext.currentTime,
  document.getElementById('hint').hidden]);
const [before, , hintBefore] = await audio();
// What SDL hands the browser, from the song's first sound on: 3 s of the left side.
await page.evaluate(() => {
  const node = Module.SDL2.audio.scriptProcessorNode, play = node.onaudioprocess;
  window.heard = [];
  node.onaudioprocess = (e) => {
    play(e);
    const left = e.outputBuffer.getChannelData(0), from = window.heard.length ? 0 : left.findIndex((v) => v !== 0);
    if (from >= 0 && window.heard.length < 3 * e.outputBuffer.sampleRate) window.heard.push(...left.subarray(from));
  };
});
await page.mouse.click(...await scenePoint(page, 300, 300));
await sleep(500);
const [after, t0] = await audio();
await sleep(300);
const [, t1, hintAfter] = await audio();
check(before === 'suspended' && !hintBefore && after === 'running' && t1 > t0 && hintAfter,
  `the audio waits for a click, and the page says so (${before}, then ${after})`);

// F12 offers the picture as a PNG.
await page.keyboard.press('F12');
const shot = (await downloaded(downloads, /^hvezda-.*\.png$/)).name;
check(shot && spawnSync('identify', ['-format', '%wx%h', `${downloads}/${shot}`]).stdout.toString() === '667x570',
  `F12 downloads a 667 x 570 PNG (${shot})`);

// The music is the song as hvezda-render-music renders it natively (48 kHz), at the audio context's own rate:
// its loudness, 10 ms at a time for 3 s, follows the native rendering's (at the wrong rate it drifts away).
const renderer = `${path.dirname(sim)}/hvezda-render-music`;
if (fs.existsSync(renderer)) {
  await until(page, () => window.heard.length >= 3 * Module.SDL2.audioContext.sampleRate);
  const [heard, rate] = await page.evaluate(() => [window.heard, Module.SDL2.audioContext.sampleRate]);
  execFileSync(renderer, [`${work}/music.wav`]);
  const wav = fs.readFileSync(`${work}/music.wav`), data = wav.indexOf('data') + 8;
  const left = Array.from({ length: 5 * 48000 }, (_, i) => wav.readFloatLE(data + 8 * i));
  const mean = (x) => x.reduce((s, v) => s + v, 0) / x.length;
  const loudness = (s, hz, from = s.findIndex((v) => v !== 0)) => Array.from({ length: 300 },
    (_, k) => Math.sqrt(mean(s.slice(from + k * hz / 100, from + (k + 1) * hz / 100).map((v) => v * v))));
  const a = loudness(heard, rate), b = loudness(left, 48000), [ma, mb] = [mean(a), mean(b)];
  const sum = (f) => a.reduce((s, _, i) => s + f(a[i] - ma, b[i] - mb), 0);
  const r = sum((x, y) => x * y) / Math.sqrt(sum((x) => x * x) * sum((_, y) => y * y)), db = 20 * Math.log10(ma / mb);
  check(heard.length >= 3 * rate && r > 0.95 && Math.abs(db) < 1,
    `the music plays as rendered natively, at the audio context's ${rate} Hz (its loudness follows the ` +
    `native rendering's: correlation ${r.toFixed(3)}, ${db.toFixed(2)} dB apart, ${heard.length} samples heard)`);
} else {
  console.log(`SKIP: the music against the native rendering: ${renderer} is not built`);
}

// EXIT (Label4, 592,64) ends the game (what it stops and says, its recording downloaded: phone_test.mjs).
await page.mouse.click(...await scenePoint(page, 610, 72));
await until(page, () => !document.getElementById('ended').hidden, 3000);
const recording = await stateFile(page, 'last-game.sim');

// Settings and the last recording (now the previous one) are still there after a reload.
const said = await saveSetting(page, 'music_volume', 40);
await reload(page);
await page.click('#settings summary');
const reloaded = await until(page, () => document.getElementById('settings-text').value.includes('\nmusic_volume = 40\n'),
  5000);
check(said === 'Uloženo.' && reloaded, `the settings are saved and survive a reload (${said})`);
const kept = await stateFile(page, 'previous-game.sim');
check(recording && kept === recording, 'the last recording survives a reload');
await page.close();

// Ten seconds of play (?seed=350 survives them): the game clock keeps to the wall clock within 1 %, every tick ran.
const play = await open('?seed=350');
// [wall clock, game clock, Timer1 ticks, -, frames drawn, stalls over 1 s]
const read = () => play.evaluate(() => [performance.now(), Number(Module.ccall('hvezda_get', 'string', ['string'],
  ['clock'])), ...Module.ccall('hvezda_loop_counts', 'string', [], []).split(' ').map(Number)]);
const a = await read();
await sleep(10000);
const b = await read();
const [wall, clock, ticks, , frames, stalls] = b.map((v, i) => v - a[i]);
const due = Math.floor(b[1] / 10) - Math.floor(a[1] / 10);
check(Math.abs(clock - wall) <= wall / 100 && ticks === due && await get(play, 'Timer1.Enabled') === 'true',
  `10 s of play: ${Math.round(wall)} ms of wall clock, ${clock} ms of game clock, ${ticks} Timer1 ticks of ${due} due ` +
  `(${frames} frames drawn, ${stalls} stalls over 1 s)`);
// Those frames, drawn in part, reach the canvas whole and opaque: it shows the window's surface.
const unlike = await play.evaluate((want = Module.SDL2.surfaceImage.data) => Module.canvas.getContext('2d')
  .getImageData(0, 0, 667, 570).data.reduce((n, v, i, got) => n + (i % 4 === 0 && (v !== want[i] ||
    got[i + 1] !== want[i + 1] || got[i + 2] !== want[i + 2] || got[i + 3] !== 255)), 0));
check(unlike === 0, `the canvas shows the game's frame after frames drawn in part (${unlike} pixels differ)`);

// The page's button flies today's daily flight (?daily), and its recording names the date.
const ordinary = await open('');
await Promise.all([ordinary.waitForNavigation(), ordinary.click('#daily')]);
await started(ordinary);
// H shows the hall of fame from the browser's storage (a game of the corpus) over a still game; a key closes it
// (early in a game: one that ends opens the board itself 2 s later).
await ordinary.evaluate((text) => {
  const hall = Module.ccall('hvezda_files', 'string', [], []).split('\n')[1] + '/hall';
  Module.FS.mkdirTree(hall);
  Module.FS.writeFile(hall + '/game-over.sim', Uint8Array.from(text, (c) => c.charCodeAt(0)));
}, fs.readFileSync(new URL('../corpus/game-over-format2.sim', import.meta.url), 'latin1'));
// How much of the board's top edge (pure green, at y 40) the canvas shows, in %.
const shown = () => ordinary.$eval('canvas', (c) => Math.floor(100 * c.getContext('2d').getImageData(30, 40, 600, 1).data
  .reduce((sum, v, i, d) => sum + (i % 4 === 1 ? Math.max(0, v - d[i - 1] - d[i + 1]) : 0), 0) / 255 / 600));
const plain = await shown();
await ordinary.keyboard.press('h');
await sleep(300);
const [stood, board] = [await get(ordinary, 'clock'), await shown()];
await sleep(300);
const still = await get(ordinary, 'clock');
await ordinary.keyboard.press('Space');
await sleep(300);
check(stood === still && plain < 10 && board > 90 && await get(ordinary, 'clock') !== still,
  `H shows the hall of fame over a game that stands still, a key closes it (its edge ${plain} -> ${board} %)`);
const today = new Date().toISOString().slice(0, 10);
const dailyGame = await stateFile(ordinary, 'last-game.sim');
check(new URL(ordinary.url()).search === '?daily' && dailyGame.includes(`\ndaily ${today}\nseed `) &&
  await ordinary.$eval('#daily', (e) => e.textContent) === 'Obyčejná hra',
  `the daily flight's button starts today's daily flight (${dailyGame.split('\n').slice(3, 6).join(' / ')})`);
await ordinary.close();

await browser.close();
process.exit(failures ? 1 : 0);
