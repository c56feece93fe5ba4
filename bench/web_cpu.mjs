// SPDX-License-Identifier: MIT
// The CPU the page takes while the game plays (?seed=350 survives 17 s
// untouched), music on: every process of Debian's headless chromium over
// SECONDS of play, the page's own (the renderer) among them.
//   node web_cpu.mjs URL NPM-FOLDER SECONDS
import fs from 'node:fs';
import { createRequire } from 'node:module';

const [url, npm, seconds] = process.argv.slice(2);
const puppeteer = createRequire(npm + '/')('puppeteer-core');
const profile = fs.mkdtempSync('/tmp/hvezda-web-cpu-');
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const tick = 100;  // clock ticks a second in /proc/PID/stat
// CPU seconds of the browser's processes (it and all below it) by kind (--type).
function cpu() {
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
const page = await browser.newPage();
await page.setViewport({ width: 1400, height: 1200 });
await page.goto(url + '?seed=350');
await page.waitForFunction(() => window.Module && Module.firstFrameMs, { timeout: 30000 });
const box = await (await page.$('canvas')).boundingBox();
await page.mouse.click(box.x + 100, box.y + 400);  // the music starts
await new Promise((r) => setTimeout(r, 1000));
const a = cpu();
const t0 = Date.now();
await new Promise((r) => setTimeout(r, seconds * 1000));
const b = cpu();
const wall = (Date.now() - t0) / 1000;
let total = 0;
for (const kind of Object.keys(b).sort()) {
  const used = b[kind] - (a[kind] || 0);
  total += used;
  console.log(`page CPU, ${kind}: ${(100 * used / wall).toFixed(1)} % of one core`);
}
console.log(`page CPU, all of chromium: ${(100 * total / wall).toFixed(1)} % of one core in ${wall.toFixed(1)} s`);
await browser.close();
fs.rmSync(profile, { recursive: true, force: true });
