// SPDX-License-Identifier: MIT
// Touch controls for the page (index.html). All they do reaches the game as
// the keyboard's own events -- key-down and key-up of the arrows (37 to 40),
// X (88) and C (67), and P (80) for the pause -- or as a mouse click on the
// scene, so a game played by touch is recorded, replayed and verified like
// any other.
//
// - Steering is relative: a finger anywhere on the scene or on the steering
//   area moves the ship as far as the finger moves (in the scene's pixels,
//   as large as the scene is shown), from wherever the ship is; the ship
//   never jumps to the finger. The arrow keys are held while the ship is
//   more than half a step from where the finger has taken it.
// - Fire: the fire button, or a second finger anywhere while one steers.
//   Held, it fires on as a held key does (after 250 ms, 30 times a second:
//   what a gamepad's button does by default).
// - The shield button is C, the pause button P.
// - A tap on the scene is a click there: EXIT, OVLÁDÁNÍ, CREDITS, and it
//   closes the hall of fame.
// The controls show on a touch screen, hide while a keyboard or a gamepad is
// used, and come back at the next touch.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const root = document.documentElement;
  const canvas = $('canvas');
  const LEFT = 37, UP = 38, RIGHT = 39, DOWN = 40, X = 88, C = 67, P = 80;
  const names = { 37: ['ArrowLeft', 'ArrowLeft'], 38: ['ArrowUp', 'ArrowUp'], 39: ['ArrowRight', 'ArrowRight'],
    40: ['ArrowDown', 'ArrowDown'], 88: ['x', 'KeyX'], 67: ['c', 'KeyC'], 80: ['p', 'KeyP'] };
  // The ship's steps a flight tick (10 ms), and the scene's twips a pixel.
  const sideStep = 150, climbStep = 100, twips = 15;
  const repeatDelayMs = 250, repeatMs = 1000 / 30;

  const playing = () => window.Module && Module.firstFrameMs && $('ended').hidden;

  // A key as the keyboard sends it (SDL reads keyCode). Only changes are
  // sent, but for the fire key's repeats.
  const held = new Set();
  function send(code, down, repeat) {
    if (!repeat && down === held.has(code)) return;
    if (down) held.add(code);
    else held.delete(code);
    const [key, physical] = names[code];
    const e = new KeyboardEvent(down ? 'keydown' : 'keyup', { key, code: physical, repeat: !!repeat, bubbles: true,
      cancelable: true });
    for (const legacy of ['keyCode', 'which']) Object.defineProperty(e, legacy, { get: () => code });
    document.dispatchEvent(e);
  }

  // The fire key, held while anything holds it (the fire button, a second
  // finger) and repeated meanwhile; a further finger's press is one more shot.
  const firing = new Set();
  let repeater = 0;
  function fire(who, down) {
    if (down === firing.has(who)) return;
    const was = firing.size > 0;
    if (down) firing.add(who);
    else firing.delete(who);
    if (down && was) return send(X, true, true);
    if (firing.size > 0 === was) return;
    clearTimeout(repeater);
    if (!down) return send(X, false);
    send(X, true);
    const again = (ms) => {
      repeater = setTimeout(() => {
        if (!firing.size || !playing()) return;
        send(X, true, true);
        again(repeatMs);
      }, ms);
    };
    again(repeatDelayMs);
  }
  function ceaseFire() {
    firing.clear();
    clearTimeout(repeater);
    send(X, false);
  }

  // ---- steering --------------------------------------------------------
  // The ship as the game has it now (twips), read through the page's own
  // window into the game (the driver's `get`).
  const get = (what) => Number(Module.ccall('hvezda_get', 'string', ['string'], [what]));
  function ship() {
    return { left: get('Picture1.Left'), top: get('Picture1.Top'), width: get('Picture1.Width'),
      height: get('Picture1.Height'), formWidth: get('Form1.Width'), formHeight: get('Form1.Height') };
  }
  let steering = null;  // { id, x, y, start, moved, onScene } of the steering finger
  let target = null;    // where the finger has taken the ship: { x, y } in twips
  let frame = 0, stopAt = [0, 0];

  // One axis: holds `less` or `more` while the ship is over half a step from
  // the target and the game would still move it that way; a hold shorter
  // than a frame lets go on time (a timer), so the ship stops within a step.
  // Where the game stops the ship (an edge), the target stops too, so the
  // finger moving back moves the ship at once.
  function axis(n, error, step, less, more, canLess, canMore) {
    const dir = error > step / 2 ? more : error < -step / 2 ? less : 0;
    if (dir && !(dir === less ? canLess : canMore)) {
      send(less, false);
      send(more, false);
      return true;  // absorbed
    }
    send(dir === less ? more : less, false);
    clearTimeout(stopAt[n]);
    if (!dir) {
      send(less, false);
      send(more, false);
      return false;
    }
    send(dir, true);
    const ms = Math.abs(error) / step * 10;
    if (ms < 20) stopAt[n] = setTimeout(() => send(dir, false), ms - 3);
    return false;
  }

  function steer() {
    frame = 0;
    if (!target || !playing()) return;
    const s = ship();
    if (axis(0, target.x - s.left, sideStep, LEFT, RIGHT, s.left >= 200, s.left + s.width <= s.formWidth - 700))
      target.x = s.left;
    if (axis(1, target.y - s.top, climbStep, UP, DOWN, s.top >= 1500, s.top + s.height <= s.formHeight))
      target.y = s.top;
    if (steering || [LEFT, UP, RIGHT, DOWN].some((k) => held.has(k))) frame = requestAnimationFrame(steer);
  }

  function stopSteering() {
    steering = null;
    target = null;
    clearTimeout(stopAt[0]);
    clearTimeout(stopAt[1]);
    for (const k of [LEFT, UP, RIGHT, DOWN]) send(k, false);
  }

  // ---- touches -----------------------------------------------------------
  // The touch controls are on while the player touches, off at a key or a
  // gamepad's button; everything held lets go when they go.
  function setTouch(on) {
    if (on === root.classList.contains('touch')) return;
    root.classList.toggle('touch', on);
    if (on) return watchPads();
    stopSteering();
    ceaseFire();
    send(C, false);
    send(P, false);
  }

  // A tap on the scene: the mouse's move, press and release there.
  function click(x, y) {
    const at = { clientX: x, clientY: y, screenX: x, screenY: y, button: 0, bubbles: true, cancelable: true, view: window };
    canvas.dispatchEvent(new MouseEvent('mousemove', at));
    canvas.dispatchEvent(new MouseEvent('mousedown', { ...at, buttons: 1 }));
    canvas.dispatchEvent(new MouseEvent('mouseup', at));
  }

  const buttons = { fire: (down, id) => fire(id, down), shield: (down) => send(C, down),
    pause: (down) => send(P, down) };
  const owner = new Map();  // touch identifier -> what it does: 'steer', 'second' (fire), or a button's id

  function start(e) {
    if (!e.isTrusted) return;
    setTouch(true);
    const own = e.target.closest && e.target.closest('#stage, #steer, #act');
    if (!own) return;
    const button = e.target.closest('#act button');
    if (!button && e.target.closest('a, button, summary, input, textarea, select, label')) return;
    e.preventDefault();
    e.stopPropagation();  // SDL's own touch handling on the canvas sees none of it
    for (const t of e.changedTouches) {
      const b = t.target.closest && t.target.closest('#act button');
      if (b) {
        owner.set(t.identifier, b.id);
        b.classList.add('held');
        if (playing()) buttons[b.id](true, t.identifier);
      } else if (!steering) {
        steering = { id: t.identifier, x: t.clientX, y: t.clientY, start: performance.now(), moved: 0,
          onScene: t.target === canvas };
        owner.set(t.identifier, 'steer');
        if (playing()) {
          const s = ship();
          target = { x: s.left, y: s.top };
        }
      } else {
        owner.set(t.identifier, 'second');
        if (playing()) fire(t.identifier, true);
      }
    }
  }

  function move(e) {
    if (!e.isTrusted || !owner.size) return;
    let mine = false;
    for (const t of e.changedTouches) {
      if (owner.get(t.identifier) === undefined) continue;
      mine = true;
      if (!steering || t.identifier !== steering.id) continue;
      const dx = t.clientX - steering.x, dy = t.clientY - steering.y;
      steering.x = t.clientX;
      steering.y = t.clientY;
      steering.moved += Math.abs(dx) + Math.abs(dy);
      if (!target || !playing()) continue;
      const cssPerPixel = canvas.getBoundingClientRect().width / 667;
      target.x += dx / cssPerPixel * twips;
      target.y += dy / cssPerPixel * twips;
      if (!frame) frame = requestAnimationFrame(steer);
    }
    if (mine) {
      e.preventDefault();
      e.stopPropagation();
    }
  }

  function end(e) {
    if (!e.isTrusted || !owner.size) return;
    // Browsers let a page's sound start at a touch that ends.
    const audio = window.Module && Module.SDL2 && Module.SDL2.audioContext;
    if (audio && audio.state === 'suspended') audio.resume();
    let mine = false;
    for (const t of e.changedTouches) {
      const what = owner.get(t.identifier);
      if (what === undefined) continue;
      mine = true;
      owner.delete(t.identifier);
      if (what === 'steer') {
        const tap = e.type === 'touchend' && steering.onScene && steering.moved < 10 &&
          performance.now() - steering.start < 400;
        stopSteering();
        if (tap && playing()) click(t.clientX, t.clientY);
      } else if (what === 'second') {
        fire(t.identifier, false);
      } else {
        $(what).classList.remove('held');
        buttons[what](false, t.identifier);
      }
    }
    if (mine) {
      e.preventDefault();
      e.stopPropagation();
    }
  }

  const active = { capture: true, passive: false };
  document.addEventListener('touchstart', start, active);
  document.addEventListener('touchmove', move, active);
  document.addEventListener('touchend', end, active);
  document.addEventListener('touchcancel', end, active);

  // A key typed on a keyboard (not into the page's text fields) or a
  // gamepad in use hides the controls.
  window.addEventListener('keydown', (e) => {
    if (e.isTrusted && !(e.target.closest && e.target.closest('input, textarea'))) setTouch(false);
  }, true);
  let pads = false;
  function watchPads() {
    if (!pads || !root.classList.contains('touch')) return;
    for (const pad of navigator.getGamepads ? navigator.getGamepads() : []) {
      if (pad && (pad.buttons.some((b) => b.pressed) || pad.axes.some((a) => Math.abs(a) > 0.5))) return setTouch(false);
    }
    requestAnimationFrame(watchPads);
  }
  window.addEventListener('gamepadconnected', () => {
    pads = true;
    watchPads();
  });

  // A phone or a tablet starts with the controls shown.
  if (window.matchMedia && matchMedia('(pointer: coarse)').matches) setTouch(true);
})();
