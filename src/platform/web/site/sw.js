// Keeps the page working without a network: the site, with the program's
// .js and .wasm, is cached as one set per build, named by the build's
// version. A new build's set is fetched in the background when the browser
// finds this script changed, and pages loaded after that use it; a page keeps
// the set it started from, so one build's script never meets another's module.
'use strict';
const version = 'unversioned';  // scripts/web writes the build's version here
const set = ['./', 'page/start.js', 'page/program.js', 'page/layout.js', 'page/gestures.js', 'page/keys.js',
             'page/requester.js', 'page/share.js', 'page.css', 'flopkin.js', 'flopkin.wasm', 'flopkin.svg', 'manifest.webmanifest'];
const name = 'flopkin-' + version;
// the set each page started from, by the page's client id
const started = new Map();

self.addEventListener('install', e => {
  e.waitUntil(caches.open(name)
    .then(cache => cache.addAll(set.map(file => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});
// older sets go, but the one before: a page may be loading from it now
self.addEventListener('activate', e => {
  e.waitUntil(caches.keys().then(keys => {
    const older = keys.filter(k => k.startsWith('flopkin-') && k !== name);
    return Promise.all(older.slice(0, -1).map(k => caches.delete(k)));
  }).then(() => self.clients.claim()));
});
self.addEventListener('fetch', e => {
  const url = new URL(e.request.url);
  if (e.request.method !== 'GET' || url.origin !== location.origin || version === 'unversioned') return;
  const page = e.request.mode === 'navigate';
  if (page && e.resultingClientId) started.set(e.resultingClientId, name);
  const from = page ? name : started.get(e.clientId) || name;
  e.respondWith(caches.open(from).then(cache => cache.match(page ? './' : e.request))
    .then(found => found || fetch(e.request)));
});
