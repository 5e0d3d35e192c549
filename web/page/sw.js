// Keeps the page's own files so that the installed page works offline; it never asks elsewhere.
'use strict';
const kCache = 'kivoautofill-v1';
const kFiles = ['./', 'index.html', 'style.css', 'app.js', 'engine-worker.js', 'manifest.json', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((keys) =>
    Promise.all(keys.filter((key) => key !== kCache).map((key) => caches.delete(key)))));
});

self.addEventListener('fetch', (event) => {
  if (new URL(event.request.url).origin !== location.origin) return;
  event.respondWith(caches.match(event.request).then((kept) => kept || fetch(event.request)));
});
