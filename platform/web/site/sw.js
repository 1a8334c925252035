// Keeps the whole site, so that a page loaded once plays again with no
// network. The build stamps its version: each build is one cache, filled
// whole from the server or not at all, and a page gets every file from the
// build it started with, even when a newer worker takes over meanwhile, so
// no page mixes two builds. A new build takes over as soon as it is cached:
// the next page loaded runs it.
var VERSION = '@VERSION@';
// Named after the scope too: a site in another folder of the same origin
// (a shared host) keeps caches of its own, which are none of this one's.
var SITE = 'poroten ' + self.registration.scope + ' ';
var CACHE = SITE + VERSION;
// The builds in the order they took over, and the build each page started
// with, for whichever worker serves it next.
var RECORDS = SITE + 'records';
var ORDER = './?builds';
// A page exists a moment after its navigation is answered, and some
// browsers do not know it before: its record is kept that long at least.
var NEW_PAGE_MS = 60000;
var FILES = ['./', 'index.html', 'poroten.js', 'poroten.wasm',
  'manifest.webmanifest',
  'poroten-32.png', 'poroten-256.png', 'poroten.svg'];

// What this worker knows: the pages it has seen open, and their builds.
var seen = new Set();
var builds = new Map();

function pageKey(id) {
  return './?page=' + encodeURIComponent(id);
}

async function stored(records, key, otherwise) {
  var found = await records.match(key);
  return found ? found.json() : otherwise;
}

self.addEventListener('install', function (e) {
  // From the server, past the HTTP cache, which a host may let keep the
  // last build's files for minutes. addAll puts all of them or none.
  e.waitUntil(caches.open(CACHE).then(function (cache) {
    return cache.addAll(FILES.map(function (f) { return new Request(f, { cache: 'reload' }); }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (e) {
  e.waitUntil((async function () {
    var records = await caches.open(RECORDS);
    var order = (await stored(records, ORDER, [])).filter(function (n) { return n !== CACHE; });
    await records.put(ORDER, new Response(JSON.stringify(order.concat([CACHE]))));
    await prune();
    await self.clients.claim();
    await deleteOldNaming();
  })());
});

self.addEventListener('fetch', function (e) {
  if (e.request.method !== 'GET') return;
  var build;
  if (e.request.mode === 'navigate' && e.resultingClientId) {
    build = startPage(e.resultingClientId);
  } else {
    var first = e.clientId && !seen.has(e.clientId);
    build = buildOf(e.clientId);
    // A page's first file: the page it replaced in its tab is gone by now.
    if (first) e.waitUntil(build.then(prune));
  }
  // Storage that fails leaves the network, as with no worker.
  e.respondWith(build.catch(function () { return CACHE; }).then(function (name) {
    return caches.match(e.request, { cacheName: name, ignoreSearch: true });
  }).catch(function () {}).then(function (hit) { return hit || fetch(e.request); }));
});

// The page's build is on record before its first file goes out.
async function startPage(id) {
  builds.set(id, CACHE);
  var records = await caches.open(RECORDS);
  await records.put(pageKey(id), new Response(JSON.stringify({ build: CACHE, at: Date.now() })));
  return CACHE;
}

async function buildOf(id) {
  if (!id) return CACHE;
  seen.add(id);
  var build = builds.get(id);
  if (!build) {
    var page = await caches.match(pageKey(id), { cacheName: RECORDS });
    if (!page) return CACHE;  // opened before any worker kept a record
    build = (await page.json()).build;
    builds.set(id, build);
  }
  return build === CACHE || (await caches.has(build)) ? build : CACHE;
}

// Forgets the pages that are gone, and deletes the builds that took over
// before this one and that no open page runs. A build being installed is
// not in the order yet, so its cache is never taken from under it.
async function prune() {
  var records = await caches.open(RECORDS);
  var used = [];
  for (var key of await records.keys()) {
    var id = new URL(key.url).searchParams.get('page');
    if (!id) continue;
    var page = await stored(records, key, {});
    if (await self.clients.get(id)) {
      seen.add(id);
      used.push(page.build);
    } else if (!seen.has(id) && Date.now() - page.at < NEW_PAGE_MS) {
      used.push(page.build);
    } else {
      await records.delete(key);
      builds.delete(id);
      seen.delete(id);
    }
  }
  var order = await stored(records, ORDER, []);
  var gone = order.slice(0, Math.max(0, order.indexOf(CACHE))).filter(function (n) {
    return used.indexOf(n) < 0;
  });
  for (var name of gone) await caches.delete(name);
  if (gone.length) {
    order = await stored(records, ORDER, []);
    await records.put(ORDER, new Response(JSON.stringify(order.filter(function (n) {
      return gone.indexOf(n) < 0;
    }))));
  }
}

// Earlier releases named a build's cache 'poroten-' and its stamp, after no
// scope, and a site in another folder of this origin may still keep one. Such
// a cache is this site's when every file in it is directly in this worker's
// folder, as every build put its files; an empty one tells nothing and stays.
// No worker of this naming fills one any more, so none is being installed.
async function deleteOldNaming() {
  var scope = new URL(self.registration.scope);
  function here(request) {
    var url = new URL(request.url);
    return url.origin === scope.origin && url.pathname.startsWith(scope.pathname) &&
      url.pathname.indexOf('/', scope.pathname.length) < 0;
  }
  for (var name of await caches.keys()) {
    if (!name.startsWith('poroten-')) continue;
    var held = await (await caches.open(name)).keys();
    if (held.length && held.every(here)) await caches.delete(name);
  }
}
