// SPDX-License-Identifier: MIT
// The page at hvezda-hall's /play/: a whole game played with "Poslat do síně slávy" ticked lands on /'s board
// at the score the native driver verifies, and /play/?replay=ID plays it back in sync.
//   node hall_page_test.mjs HALL-URL NATIVE-HVEZDA-SIM WORK-FOLDER NPM-FOLDER
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { check, failures, get, launch, open, reload, saveSetting, sleep, started, until } from './lib.mjs';

const [hall, sim, work, npm] = process.argv.slice(2);
const browser = await launch(npm, `${work}/hall-profile`, ['--autoplay-policy=no-user-gesture-required']);
const page = await open(browser, hall + '/play/', { width: 1400, height: 1200 });
const said = () => page.$eval('#hall-said', (e) => e.textContent);

// Ticked once, and a name with markup in the settings; the page remembers both.
const name = 'Jiří <i>z</i> prohlížeče';
check(!(await page.$eval('#hall-send', (e) => e.checked)), 'the tick box is off until ticked');
await page.click('#hall-send');
await saveSetting(page, 'name', `"${name}"`);
await reload(page);
check(await page.$eval('#hall-send', (e) => e.checked), 'the tick box is remembered');

// A whole game: short flights under the craft until the ship is lost.
const t0 = Date.now();
await page.focus('canvas');
const sides = ['ArrowLeft', 'ArrowRight', 'ArrowRight', 'ArrowLeft'];
for (let i = 0; i < 800 && (await get(page, 'Timer1.Enabled')) === 'true'; i++) {
  await page.keyboard.press(sides[i % 4], { delay: 50 });
  await sleep(200);
}
await until(page, () => /přijala|odmítla|nepřijme/.test(document.getElementById('hall-said').textContent), 15000);
const score = await get(page, 'score.Caption');  // once the hall took the game: its last points are in
check(/přijala/.test(await said()), `a game of ${Math.round((Date.now() - t0) / 1000)} s, score ${score}, ` +
  `is taken by the hall: "${await said()}"`);

// On the open board, with the score the native driver verifies.
const board = await (await fetch(hall + '/api/board?board=open')).json();
const entry = board.entries && board.entries[0];
if (entry) {
  const recording = await (await fetch(`${hall}/api/games/${entry.id}`)).text();
  fs.writeFileSync(`${work}/sent.sim`, recording);
  const verified = spawnSync(sim, ['--verify', `${work}/sent.sim`]);
  const driver = (/^expect score\.Caption (\d+)$/m.exec(recording) || [])[1];
  check(verified.status === 0 && driver === score && String(entry.score) === score && entry.name === name &&
    /^seed \d+$/m.test(recording),
  `the open board's entry (${entry.name}, ${entry.score}) is the game the driver verifies: ` +
    `${verified.stdout}`.trim());
} else {
  check(false, `the game is on the open board: ${JSON.stringify(board)}`);
}

// Its replay, played back in the page at its own pace (eight times the speed would be a feature; this is real time).
if (entry) {
  await page.goto(`${hall}/play/?replay=${entry.id}`);
  await started(page);
  const length = Number(entry.length_ms) || 60000;
  await until(page, () => /souhlasí|nesouhlasí|nelze/.test(document.getElementById('hall-said').textContent),
    length + 20000, 500);
  check(/Záznam sehrán, souhlasí/.test(await said()) && (await get(page, 'score.Caption')) === score,
    `/play/?replay=${entry.id} plays the game back in sync: "${await said()}"`);
}

await browser.close();
process.exit(failures ? 1 : 0);
