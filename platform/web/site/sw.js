// Keeps the whole site, so that a page loaded once plays again with no
// network. The build stamps the version, so a new build replaces the old set.
var CACHE = 'poroten-@VERSION@';
var FILES = ['./', 'index.html', 'poroten.js', 'poroten.wasm',
  'manifest.webmanifest',
  'poroten-32.png', 'poroten-256.png', 'poroten.svg'];

self.addEventListener('install', function (e) {
  e.waitUntil(caches.open(CACHE).then(function (c) { return c.addAll(FILES); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (e) {
  e.waitUntil(caches.keys().then(function (keys) {
    return Promise.all(keys.filter(function (k) { return k !== CACHE; })
      .map(function (k) { return caches.delete(k); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (e) {
  if (e.request.method !== 'GET') return;
  e.respondWith(caches.open(CACHE).then(function (c) {
    return c.match(e.request, { ignoreSearch: true }).then(function (hit) {
      return hit || fetch(e.request);
    });
  }));
});
