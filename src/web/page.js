// SPDX-License-Identifier: MIT
// The page around the game (index.html): the canvas at the largest whole
// scale that fits, fullscreen, the music's hint, downloads, the settings
// file, and the player's files kept in the browser's storage (IndexedDB).
// The game calls the functions in Module.page (src/web/main.cpp).
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const stage = $('stage');
  const canvas = $('canvas');
  const asked = new URLSearchParams(location.search);
  const seed = asked.get('seed');
  // ?daily: today's daily flight, the same waves for every player today (UTC).
  const daily = asked.has('daily');
  let running = false;
  let files = null; // [the settings file, the recordings' folder]

  function say(line) {
    $('status').textContent = line;
  }

  // The largest whole scale of the 667 x 570 scene, in the display's pixels,
  // that fits the window (or the screen in fullscreen).
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const scale = Math.max(1, Math.floor(Math.min(stage.clientWidth * ratio / 667, stage.clientHeight * ratio / 570)));
    canvas.style.setProperty('width', 667 * scale / ratio + 'px', 'important');
    canvas.style.setProperty('height', 570 * scale / ratio + 'px', 'important');
  }

  // Saves the files to the browser's storage; one save at a time, and one
  // more when something asked meanwhile.
  let saving = false;
  let again = false;
  function save() {
    if (saving) {
      again = true;
      return;
    }
    saving = true;
    Module.FS.syncfs(false, (err) => {
      saving = false;
      if (err) say('Hvězda: soubory nelze uložit do prohlížeče (' + err + ')');
      if (again) {
        again = false;
        save();
      }
    });
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch((e) => say('Celá obrazovka: ' + e.message));
  }

  function call(name, ret, types, args) {
    return Module.ccall(name, ret, types, args);
  }

  // A recording as the desktop keeps it: last-game.sim or previous-game.sim.
  function offerRecording(name) {
    const path = files && files[1] + '/' + name;
    if (!path || !Module.FS.analyzePath(path).exists) return say('Takový záznam zatím není.');
    download(name, Module.FS.readFile(path), 'text/plain');
  }

  function showSettings() {
    const file = files[0];
    $('settings-text').value = Module.FS.analyzePath(file).exists
      ? Module.FS.readFile(file, { encoding: 'utf8' })
      : call('hvezda_settings_text', 'string', [], []);
  }

  function saveSettings() {
    const said = call('hvezda_save_settings', 'string', ['string'], [$('settings-text').value]);
    $('settings-said').textContent = said || 'Uloženo.';
    save();
  }

  // The music may start only after the player's first click or key.
  function hintUntilMusic() {
    const audio = Module.SDL2 && Module.SDL2.audioContext;
    if (!audio || audio.state === 'running') return;
    $('hint').hidden = false;
    audio.addEventListener('statechange', () => {
      if (audio.state === 'running') $('hint').hidden = true;
    });
  }

  window.Module = {
    canvas,
    arguments: daily ? ['--daily'] : /^\d{1,20}$/.test(seed || '') ? ['--seed', seed] : [],
    preRun: [
      () => {
        // The home folder holds the settings and the recordings, as on Linux.
        const FS = Module.FS;
        FS.mount(FS.filesystems.IDBFS, {}, '/home/web_user');
        Module.addRunDependency('storage');
        FS.syncfs(true, (err) => {
          if (err) say('Hvězda: uložené soubory nelze načíst (' + err + ')');
          Module.removeRunDependency('storage');
        });
      },
    ],
    print: (line) => console.log(line),
    printErr: (line) => {
      console.warn(line);
      say(line);
    },
    page: {
      firstFrame() {
        Module.firstFrameMs = performance.now();
        running = true;
        $('loading').hidden = true;
        files = call('hvezda_files', 'string', [], []).split('\n');
        hintUntilMusic();
        canvas.focus();
        setInterval(() => running && save(), 1000);
      },
      ended() {
        running = false;
        $('hint').hidden = true;
        $('ended').hidden = false;
        save();
      },
      failed(why) {
        $('loading').textContent = 'Hvězda nemůže běžet: ' + why;
      },
      fullscreen: toggleFullscreen,
      download(path, type) {
        download(path.replace(/.*\//, ''), Module.FS.readFile(path), type);
      },
    },
  };

  // Keys typed into the settings are not the game's.
  $('settings-text').addEventListener('keydown', (e) => e.stopPropagation());
  $('settings-text').addEventListener('keyup', (e) => e.stopPropagation());
  $('settings').addEventListener('toggle', () => files && $('settings').open && showSettings());
  $('settings-save').addEventListener('click', saveSettings);
  $('fullscreen').addEventListener('click', toggleFullscreen);
  $('last-game').addEventListener('click', () => offerRecording('last-game.sim'));
  $('previous-game').addEventListener('click', () => offerRecording('previous-game.sim'));
  $('again').href = location.href;
  // The daily flight's button starts it in this page; while it lasts the button offers an ordinary game.
  $('daily').textContent = daily ? 'Obyčejná hra' : 'Denní let (pro všechny stejný)';
  $('daily').addEventListener('click', () => {
    const url = new URL(location.href);
    url.search = daily ? '' : '?daily';
    location.href = url.href;
  });
  document.addEventListener('visibilitychange', () => document.hidden && files && save());
  window.addEventListener('pagehide', () => files && save());
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();
})();
