// Node has no localStorage: a stand-in with the browser's failures, switched
// by the tests through the storage's own keys.
//   "!blocked" set: every access throws a SecurityError, as with storage off;
//   "!quota" set: writes of other keys throw a QuotaExceededError;
//   "!reason" set: its value is the message of every error thrown.
// Also a stand-in for the Web Locks (navigator.locks), recording each request:
//   "!nolocks" set: the browser has none;
//   "!lockheld" set: a request waits, as when another tab holds the lock,
//   until fakeLocks.grant() or fakeLocks.abort() (a timed-out signal) ends it.
// Otherwise a request is granted at once.
(function () {
  var items = new Map();
  function fail(name, message) {
    var e = new Error(items.has('!reason') ? items.get('!reason') : message);
    e.name = name;
    throw e;
  }
  function guard() {
    if (items.has('!blocked')) fail('SecurityError', 'The operation is insecure.');
  }
  globalThis.localStorage = {
    getItem: function (k) { guard(); return items.has(k) ? items.get(k) : null; },
    setItem: function (k, v) {
      guard();
      if (items.has('!quota') && k[0] !== '!') fail('QuotaExceededError', 'The quota has been exceeded.');
      items.set(k, String(v));
    },
    removeItem: function (k) { items.delete(k); },
  };

  var fakeLocks = globalThis.fakeLocks = {
    requests: [],
    pending: [],
    settle: function (how) {
      var ended = fakeLocks.pending;
      fakeLocks.pending = [];
      ended.forEach(function (r) {
        if (how === 'grant') {
          r.callback({ name: r.name, mode: 'exclusive' });
          r.state = 'granted';
          if (r.onResolved) r.onResolved();
        } else if (r.onRejected) {
          r.onRejected(new Error('AbortError'));
        }
      });
      return ended.length;
    },
    grant: function () { return fakeLocks.settle('grant'); },
    abort: function () { return fakeLocks.settle('abort'); },
  };
  var locks = {
    request: function (name, options, callback) {
      var r = { name: name, timed: !!(options && options.signal instanceof AbortSignal),
                callback: callback, onResolved: null, onRejected: null, state: 'waiting' };
      fakeLocks.requests.push(r);
      // Settled by hand rather than by the event loop, which a test never reaches.
      var settled = {
        then: function (f, g) {
          r.onResolved = f;
          r.onRejected = g;
          if (r.state === 'granted' && f) f();
          return settled;
        },
      };
      if (items.has('!lockheld')) fakeLocks.pending.push(r);
      else { callback({ name: name, mode: 'exclusive' }); r.state = 'granted'; }
      return settled;
    },
  };
  globalThis.navigator = globalThis.navigator || {};
  Object.defineProperty(globalThis.navigator, 'locks', {
    configurable: true,
    get: function () { return items.has('!nolocks') ? undefined : locks; },
  });
})();
