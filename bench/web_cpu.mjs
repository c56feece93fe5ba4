// SPDX-License-Identifier: MIT
// The CPU the page takes while the game plays (?seed=350 survives 17 s
// untouched), music on: every process of Debian's headless chromium over
// SECONDS of play, the page's own (the renderer) among them. On a desktop's
// window and on a phone's screen (touch emulated), each beside chromium's
// floor: a bare page whose canvas of the same size, shown as large, changes
// as many times a second as the game's did, alone and with the sound and
// the gamepads a page with music has, putting the whole canvas each frame,
// and putting rectangles as the game does (web_floor.html); ROUNDS times
// (default 1), then the medians.
//   node web_cpu.mjs URL FLOOR-URL NPM-FOLDER SECONDS [ROUNDS]
import fs from 'node:fs';
import { createRequire } from 'node:module';

const [url, floorUrl, npm, seconds, roundsArg] = process.argv.slice(2);
const rounds = Number(roundsArg || 1);
const puppeteer = createRequire(npm + '/')('puppeteer-core');
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const tick = 100;  // clock ticks a second in /proc/PID/stat

// CPU seconds of a browser's processes (it and all below it) by kind (--type).
function cpu(browser) {
  const procs = [];
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      procs.push({ pid: Number(pid), parent: Number(stat[1]), cmd, seconds: (Number(stat[11]) + Number(stat[12])) / tick });
    } catch { /* gone meanwhile */ }
  }
  const ours = new Set([browser.process().pid]);
  for (let grew = true; grew;) {
    grew = false;
    for (const p of procs) if (!ours.has(p.pid) && ours.has(p.parent)) grew = ours.add(p.pid);
  }
  const kinds = {};
  for (const p of procs.filter((q) => ours.has(q.pid))) {
    const kind = (/--type=([^\s\0]+)/.exec(p.cmd) || [, 'browser'])[1] + (/AudioService/.test(p.cmd) ? ' (audio)' : '');
    kinds[kind] = (kinds[kind] || 0) + p.seconds;
  }
  return kinds;
}

// Opens `address` in a fresh chromium, lets `ready` start it, and measures
// SECONDS: the share of a core by kind and in all, and frames drawn a second.
async function measure(address, viewport, ready, frames) {
  const profile = fs.mkdtempSync('/tmp/hvezda-web-cpu-');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.goto(address);
  const canvas = await ready(page);
  await sleep(1000);
  const [a, fa, t0] = [cpu(browser), await frames(page), Date.now()];
  await sleep(seconds * 1000);
  const [b, fb, wall] = [cpu(browser), await frames(page), (Date.now() - t0) / 1000];
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
  const kinds = {};
  let total = 0;
  for (const kind of Object.keys(b).sort()) {
    kinds[kind] = 100 * (b[kind] - (a[kind] || 0)) / wall;
    total += kinds[kind];
  }
  return { kinds, total, fps: (fb - fa) / wall, wall, canvas };
}

// The music (the floor's tone) starts at a click or a touch on the scene:
// one low on its left, where the game has nothing to click.
async function start(page, viewport) {
  const box = await (await page.$('canvas')).boundingBox();
  const [x, y] = [box.x + box.width * 0.15, box.y + box.height * 0.7];
  if (viewport.hasTouch) await page.touchscreen.tap(x, y);
  else await page.mouse.click(x, y);
  return box;
}

const screens = [
  ['desktop 1280 x 1000', { width: 1280, height: 1000 }],
  ['phone 390 x 844', { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }],
];
const floors = [
  ['a bare canvas', ''],
  ['the same, with sound and gamepads', '&sound=1'],
  ['a whole frame put each frame', '&draw=full'],
  ["rectangles put like the game's", '&draw=game'],
  ["rectangles put like the game's, with sound and gamepads", '&draw=game&sound=1'],
];
const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return (s[Math.floor((s.length - 1) / 2)] + s[Math.ceil((s.length - 1) / 2)]) / 2;
};
const loadAverage = () => fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');
// Each round measures, screen by screen, the page and then every floor, so
// a machine getting busier or quieter weighs on all alike.
const taken = {};
for (let round = 1; round <= rounds; round++) {
  for (const [name, viewport] of screens) {
    const game = await measure(url + '?seed=350', viewport, async (page) => {
      await page.waitForFunction(() => window.Module && Module.firstFrameMs, { timeout: 30000 });
      return start(page, viewport);
    }, (page) => page.evaluate(() => Number(Module.ccall('hvezda_loop_counts', 'string', [], []).split(' ')[2])));
    const mine = taken[name] = taken[name] || { page: [], floors: floors.map(() => []) };
    mine.page.push(game.total);
    const where = `${name}${rounds > 1 ? `, round ${round}` : ''}`;
    for (const kind of Object.keys(game.kinds)) console.log(`${where}: page CPU, ${kind}: ${game.kinds[kind].toFixed(1)} % of one core`);
    console.log(`${where}: page CPU, all of chromium: ${game.total.toFixed(1)} % of one core in ${game.wall.toFixed(1)} s, ` +
      `${game.fps.toFixed(1)} frames drawn a second, the scene shown ${Math.round(game.canvas.width)} x ` +
      `${Math.round(game.canvas.height)} (load average ${loadAverage()})`);
    const { width, height } = game.canvas;
    for (const [i, [what, extra]] of floors.entries()) {
      const floor = await measure(`${floorUrl}?w=${width}&h=${height}&fps=${game.fps.toFixed(2)}${extra}`, viewport,
        (page) => start(page, viewport), (page) => page.evaluate(() => window.framesDrawn));
      mine.floors[i].push(floor.total);
      console.log(`${where}: floor, ${what} (${floor.fps.toFixed(1)} frames a second): ${floor.total.toFixed(1)} % ` +
        `of one core (renderer ${floor.kinds.renderer.toFixed(1)} %); the page takes ${(game.total / floor.total).toFixed(2)} ` +
        `times this floor (load average ${loadAverage()})`);
    }
  }
}
// The medians of the rounds: the page against each floor, and whether it is
// within 1.5 times of it.
for (const [name] of screens) {
  const mine = taken[name];
  const page = median(mine.page);
  console.log(`${name}: page ${page.toFixed(1)} % (median of ${rounds})`);
  for (const [i, [what]] of floors.entries()) {
    const floor = median(mine.floors[i]);
    const times = page / floor;
    console.log(`${name}:   against ${what}: ${floor.toFixed(1)} %, ${times.toFixed(2)} times, ` +
      `${times <= 1.5 ? 'within' : 'above'} 1.5 times`);
  }
}
