// Node has no localStorage: a stand-in with the browser's failures, switched
// by the tests through the storage's own keys.
//   "!blocked" set: every access throws a SecurityError, as with storage off;
//   "!quota" set: writes of other keys throw a QuotaExceededError.
(function () {
  var items = new Map();
  function fail(name, message) {
    var e = new Error(message);
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
})();
