// SPDX-License-Identifier: MIT
// Keeps the page's files so that the game starts and plays without a network.
// One cache a release, named by its scope and version: scripts/web.sh writes
// both lists below when it lays out the page. A new release's worker fills a
// cache of its own, takes over at once and deletes the one before; the page
// tells the player (page.js).
'use strict';
const version = '@VERSION@';
const files = [@FILES@];
const prefix = 'hvezda ' + self.registration.scope + ' ';
const cacheName = prefix + version;

self.addEventListener('install', (event) => {
  // Past the browser's own cache: the files of this release, not older ones.
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(files.map((f) => new Request(f, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith(prefix) && n !== cacheName).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== location.origin) return;
  // The page itself, whatever its query (?seed=N): this release's index.html.
  const scope = new URL(self.registration.scope).pathname;
  const page = request.mode === 'navigate' && (url.pathname === scope || url.pathname === scope + 'index.html');
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(page ? 'index.html' : request, { ignoreSearch: page }))
    .then((kept) => kept || fetch(request)));
});
