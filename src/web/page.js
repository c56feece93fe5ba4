// SPDX-License-Identifier: MIT
// The page around the game (index.html): the canvas as large as it fits,
// fullscreen, the music's hint, downloads, the settings file, the player's
// files kept in the browser's storage (IndexedDB), and the release's files
// kept for playing offline (sw.js). Touch controls are touch.js's.
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

  // The scene as large as the stage lets it be: at a whole scale of the
  // display's pixels when that fills at least nine tenths of the room (crisp,
  // even pixels), else at the fraction that fits; never smoothed.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const room = Math.min(stage.clientWidth * ratio / 667, stage.clientHeight * ratio / 570);
    if (!(room > 0)) return;
    const whole = Math.floor(room);
    const scale = whole >= 1 && whole >= 0.9 * room ? whole : room;
    canvas.style.setProperty('width', 667 * scale / ratio + 'px', 'important');
    canvas.style.setProperty('height', 570 * scale / ratio + 'px', 'important');
  }

  // The page keeps the release's files for playing offline (sw.js). A new
  // release's worker takes over while the old page plays on; the page says
  // so once.
  function keepOffline() {
    if (!('serviceWorker' in navigator)) return;
    const before = navigator.serviceWorker.controller;
    let told = false;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (!before || told) return;
      told = true;
      const line = $('update');
      line.hidden = false;
      line.querySelector('button').addEventListener('click', () => location.reload());
    });
    navigator.serviceWorker.register('sw.js').catch((e) => console.warn('Hvězda: no offline play: ' + e.message));
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

  // How the frames and the music reach the browser, set before SDL makes its
  // own, which it then takes as they are. The canvas is opaque (every pixel
  // the game puts is): chromium neither blends it over the page nor draws
  // what lies under it. The music plays through an audio context asking for
  // playback latency, buffers of about 23 ms instead of 10: chromium's audio
  // threads wake half as often, and the music follows nothing that closely.
  // SDL resumes an audio context of its own at the first click, key or
  // touch; this one is resumed likewise (touch.js also does, as a touch ends).
  function sdlOutputs() {
    canvas.getContext('2d', { alpha: false });
    let audio;
    try {
      audio = new AudioContext({ latencyHint: 'playback' });
    } catch {
      return {}; // SDL makes its own, or plays no music
    }
    const gestures = ['keydown', 'mousedown', 'touchstart', 'touchend'];
    const resume = () => audio.state === 'suspended' && audio.resume();
    for (const type of gestures) window.addEventListener(type, resume, true);
    audio.addEventListener('statechange', () => {
      if (audio.state !== 'suspended') for (const type of gestures) window.removeEventListener(type, resume, true);
    });
    return { audioContext: audio };
  }

  window.Module = {
    canvas,
    SDL2: sdlOutputs(),
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
  // The stage's size changes with the window, fullscreen and the touch
  // controls coming and going.
  if (window.ResizeObserver) new ResizeObserver(fit).observe(stage);
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();
  keepOffline();
})();
