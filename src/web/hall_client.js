// SPDX-License-Identifier: MIT
// The public hall of fame from the page, when the page is served by
// hvezda-hall (at /play/, the board at /): with "Poslat do síně slávy" ticked
// (off until ticked, remembered in the page's storage), each ended game's
// recording goes to the page's own origin, POST /api/games, with the
// player's token (made once, kept in the page's storage). The next game's
// open seed is fetched ahead, so no game waits for the network. A game that
// cannot go now (offline, the server busy) waits in the page's storage and
// goes with the next one; a refusal is final and said.
// /play/?replay=ID plays the board's game ID back (GET /api/games/ID), at
// the pace it was played, and says whether it stayed in sync.
// The game calls Module.page.gameEnded(RECORDING), nextSeed(),
// replayRecording() and replayed(HOW, MESSAGE) (src/web/main.cpp); page.js
// made Module.
'use strict';
(function () {
  const box = document.getElementById('hall-send');
  const said = document.getElementById('hall-said');
  const store = window.localStorage;
  const keys = { send: 'hvezda.hall.send', token: 'hvezda.hall.token', waiting: 'hvezda.hall.waiting' };
  const query = new URLSearchParams(location.search);
  const api = (path) => new URL(path, location.origin).href;
  // A page whose luck the address chose (?seed=N, ?daily) or that replays a game takes no open seed.
  const ownLuck = query.has('seed') || query.has('daily') || query.has('replay');
  const mostWaiting = 10;

  box.checked = store.getItem(keys.send) === '1';
  box.addEventListener('change', () => {
    store.setItem(keys.send, box.checked ? '1' : '0');
    if (box.checked) askSeed();
  });

  function token() {
    let t = store.getItem(keys.token);
    if (!/^[0-9a-f]{64}$/.test(t || '')) {
      t = Array.from(crypto.getRandomValues(new Uint8Array(32)), (b) => b.toString(16).padStart(2, '0')).join('');
      store.setItem(keys.token, t);
    }
    return t;
  }

  // The next open seed, as decimal text: JSON numbers past 2^53 would lose
  // digits in JavaScript, so the answer is read as text.
  let seed = '';
  let asking = null;
  function askSeed() {
    if (seed || asking || ownLuck || !box.checked) return asking;
    asking = fetch(api('/api/seed'), { cache: 'no-store' })
      .then((r) => (r.ok ? r.text() : ''))
      .then((text) => {
        seed = (/"seed"\s*:\s*"?(\d{1,20})\b/.exec(text) || [])[1] || '';
      })
      .catch(() => {})
      .finally(() => {
        asking = null;
      });
    return asking;
  }

  function waiting() {
    try {
      const w = JSON.parse(store.getItem(keys.waiting) || '[]');
      return Array.isArray(w) ? w.filter((r) => typeof r === 'string') : [];
    } catch (e) {
      return [];
    }
  }

  function tell(text, link) {
    said.textContent = text + ' ';
    if (link) {
      const a = document.createElement('a');
      a.href = link;
      a.textContent = 'tabulka';
      said.append(a);
    }
  }

  // Sends the games waiting, oldest first; stops at the first that cannot go now.
  let sending = false;
  async function sendWaiting() {
    if (sending) return;
    sending = true;
    try {
      for (let w = waiting(); w.length; w = waiting()) {
        let status = 0;
        let body = {};
        try {
          const r = await fetch(api('/api/games'), {
            method: 'POST',
            headers: { Authorization: 'Bearer ' + token(), 'Content-Type': 'text/plain; charset=utf-8' },
            body: w[0],
          });
          status = r.status;
          body = await r.json().catch(() => ({}));
        } catch (e) {
          status = 0;
        }
        if (status === 0 || status >= 500) {
          tell(`Síň slávy teď hru nepřijme; ${w.length === 1 ? 'počká' : `${w.length} her počká`} na příští.`);
          return;
        }
        if (status < 300) {
          const place = body.rank ? `, ${body.rank}. místo` : '';
          tell(`Síň slávy hru přijala: ${body.score} bodů${place}.`, '/');
        } else {
          tell(`Síň slávy hru odmítla (${status}): ${body.error || 'bez udání důvodu'}`);
        }
        store.setItem(keys.waiting, JSON.stringify(waiting().slice(1)));
      }
    } finally {
      sending = false;
    }
  }

  const page = window.Module.page;
  page.gameEnded = (recording) => {
    if (!box.checked) return;
    store.setItem(keys.waiting, JSON.stringify(waiting().concat([recording]).slice(-mostWaiting)));
    sendWaiting();
  };
  // The seed fetched ahead, taken by a new game ('' when none is ready: the
  // game then draws its luck from the clock); the next one is asked for at once.
  page.nextSeed = () => {
    const s = seed;
    seed = '';
    askSeed();
    return s;
  };
  // A board's game to replay, fetched while the game itself loads.
  let replay = '';
  const replayId = query.get('replay');
  page.replayRecording = () => replay;
  page.replayed = (how, message) => tell(how === 'verified' ? `Záznam sehrán, souhlasí: ${message}` : `Záznam nesouhlasí: ${message}`, '/');
  function fetchReplay() {
    if (!/^[A-Za-z0-9_-]{1,64}$/.test(replayId)) {
      tell('Takový záznam v síni slávy není.');
      return null;
    }
    return fetch(api('/api/games/' + replayId))
      .then((r) => (r.ok ? r.text() : Promise.reject(new Error(String(r.status)))))
      .then((text) => {
        replay = text;
      })
      .catch((e) => tell(`Záznam ${replayId} nelze načíst (${e.message}).`));
  }
  // The first game's seed, or the game to replay, is fetched while the game itself loads.
  window.Module.preRun.push(() => {
    const ask = replayId !== null ? fetchReplay() : askSeed();
    if (!ask) return;
    Module.addRunDependency('hall');
    ask.then(() => Module.removeRunDependency('hall'));
  });
  if (box.checked && waiting().length) sendWaiting();
})();
