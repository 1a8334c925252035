// Runs before the page's first frame, so that nothing moves when it appears:
// the window's zoom and the keypad are settled before anything is drawn. Until
// the program is ready, what the player asks of it is kept for it.
(function () {
  var root = document.documentElement;
  var touch = matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0;
  root.classList.toggle('pw-touch', touch);
  function fit() {
    // The window's width is its client area's and a 1px border each side.
    var width = parseFloat(getComputedStyle(root).getPropertyValue('--pw-client-width')) + 2;
    var room = root.clientWidth - 16;
    var scale = touch || room < width ? room / width : 1;
    root.style.setProperty('--pw-zoom', String(scale));
  }
  fit();
  addEventListener('resize', fit);

  // What the window does not need (the program, the manifest, the scalable
  // icon, which is drawn as a document of its own) is asked for once the
  // window is on screen: until then the first frame has the network and the
  // processor to itself. A page opened out of sight has no frame to wait for.
  function start() {
    var program = document.getElementById('program');
    if (!program) return;
    program.remove();
    document.head.appendChild(document.importNode(program.content, true));
  }
  var types = (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes) || [];
  if (document.visibilityState === 'hidden') {
    document.addEventListener('DOMContentLoaded', start);
  } else if (types.indexOf('paint') >= 0) {
    new PerformanceObserver(function (list) {
      if (list.getEntriesByName('first-contentful-paint').length) start();
    }).observe({ type: 'paint', buffered: true });
  } else {
    document.addEventListener('DOMContentLoaded', function () {
      requestAnimationFrame(function () { setTimeout(start, 0); });
    });
  }

  // Kept in order for the program, which does each once it is ready:
  // 'enter' (start a game) and the index of a menu entry to open or choose.
  var kept = window.porotenKept = [];
  function ready() { return root.classList.contains('pw-ready'); }
  function entries() {
    return Array.prototype.slice.call(document.querySelectorAll('.pw-main .pw-menuentry'));
  }
  document.addEventListener('keydown', function (e) {
    if (ready() || e.ctrlKey || e.metaKey) return;
    if (e.altKey) {
      // The access keys the markup names, by the key's place, as the program reads them.
      var key = 'Alt+' + (e.code || '').replace(/^Key/, '');
      var at = entries().findIndex(function (b) {
        return b.getAttribute('aria-keyshortcuts') === key;
      });
      if (at < 0) return;
      e.preventDefault();
      entries()[at].focus();  // shows it taken
      kept.push(at);
    } else if (e.key === 'Enter' && !(e.target.closest && e.target.closest('button'))) {
      // On a button Enter clicks it, as it will once the program is ready.
      e.preventDefault();
      kept.push('enter');
    }
  }, true);
  function key(code) {
    if (ready()) { if (window.porotenKeypad) porotenKeypad(code); }
    else if (code === 13) kept.push('enter');
  }
  // A tap answers on touch-down, as a key does on key-down; the click that
  // follows is dropped, and a click from the keyboard still counts.
  document.addEventListener('pointerdown', function (e) {
    var b = e.target.closest && e.target.closest('#keypad button');
    if (!b) return;
    e.preventDefault();
    key(Number(b.dataset.code));
  });
  document.addEventListener('click', function (e) {
    var b = e.target.closest && e.target.closest('#keypad button, .pw-main .pw-menuentry');
    if (!b) return;
    if (b.dataset.code) { if (e.detail === 0) key(Number(b.dataset.code)); }
    else if (!ready()) kept.push(entries().indexOf(b));
  });
  // The worker fetches the whole site again to keep it: not before the
  // program has what it needs.
  if ('serviceWorker' in navigator) {
    new MutationObserver(function (changes, observer) {
      if (!ready()) return;
      observer.disconnect();
      navigator.serviceWorker.register('sw.js');
    }).observe(root, { attributes: true, attributeFilter: ['class'] });
  }
})();
