// The record in the page: base64 of the score file's bytes in localStorage
// under the file's name, and a lock shared by all tabs of the site so that
// one tab's re-read and save cannot interleave with another's.
mergeInto(LibraryManager.library, {
  $PS__deps: ['$PW'],
  $PS: {
    // The browser's reason for a failed storage call, as the save box shows it.
    reason: function (e) {
      return (e && e.name ? e.name + ': ' : '') + (e && e.message ? e.message : String(e));
    },
    // Asks, once a record is saved, that the browser keep the site's storage
    // when it runs short of room rather than clear it; once per page.
    persistAsked: false,
    persist: function () {
      if (PS.persistAsked) return;
      PS.persistAsked = true;
      var storage = typeof navigator !== 'undefined' ? navigator.storage : undefined;
      if (!storage || !storage.persist) return;
      try {
        storage.persist().catch(function () {});
      } catch (e) {}
    },
    // A signal that aborts a lock request still waiting after ms.
    timeout: function (ms) {
      if (typeof AbortSignal !== 'undefined' && AbortSignal.timeout) return AbortSignal.timeout(ms);
      var c = new AbortController();
      setTimeout(function () { c.abort(); }, ms);
      return c.signal;
    },
  },

  poroten_storage_read__deps: ['$PS'],
  poroten_storage_read: function (key, longest, sizePtr, okPtr) {
    var text;
    var ok = 1;
    try {
      var name = UTF8ToString(key);
      var stored = localStorage.getItem(name);
      if (stored === null) {
        localStorage.setItem(name, '');
        stored = '';
      }
      try { text = atob(stored); } catch (e) { text = ''; }  // not base64: no record
    } catch (e) {
      ok = 0;
      text = PS.reason(e);
    }
    HEAP32[okPtr >> 2] = ok;
    if (!ok) return PW.alloc(text, sizePtr);
    var size = Math.min(text.length, longest);
    var ptr = _malloc(size + 1);
    for (var i = 0; i < size; ++i) HEAPU8[ptr + i] = text.charCodeAt(i);
    HEAP32[sizePtr >> 2] = size;
    return ptr;
  },

  // setItem stores the whole value or, when the quota is full, throws and
  // leaves the old one: a failed save never leaves a cut record.
  poroten_storage_write__deps: ['$PS'],
  poroten_storage_write: function (key, bytes, size) {
    try {
      var s = '';
      for (var i = 0; i < size; i += 8192) {
        s += String.fromCharCode.apply(null, HEAPU8.subarray(bytes + i, bytes + Math.min(size, i + 8192)));
      }
      localStorage.setItem(UTF8ToString(key), btoa(s));
      PS.persist();
      return 0;
    } catch (e) {
      return PW.alloc(PS.reason(e));
    }
  },

  // Calls _poroten_storage_locked(id) once: while this site's lock for the key
  // is held, or directly when the browser has no locks or the lock is not
  // granted within patience milliseconds; then _poroten_storage_released(id)
  // once the lock is let go, for what may wait for the player.
  poroten_storage_lock__deps: ['$PS'],
  poroten_storage_lock: function (key, patience, id) {
    var ran = false;
    var released = false;
    function run() {
      if (ran) return;
      ran = true;
      _poroten_storage_locked(id);
    }
    function release() {
      run();
      if (released) return;
      released = true;
      _poroten_storage_released(id);
    }
    var locks = typeof navigator !== 'undefined' ? navigator.locks : undefined;
    if (!locks || !locks.request) { release(); return; }
    try {
      locks.request('poroten:' + UTF8ToString(key), { signal: PS.timeout(patience) }, run)
        .then(release, release);
    } catch (e) {
      release();
    }
  },
});
