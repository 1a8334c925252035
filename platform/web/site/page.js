// Runs before the page's first frame, so that nothing moves when it appears:
// the window's zoom and the keypad are settled before anything is drawn. Until
// the program is ready, Enter (a key or the keypad's リターン) is kept for it.
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

  function ready() { return root.classList.contains('pw-ready'); }
  window.porotenEarlyEnter = false;
  document.addEventListener('keydown', function (e) {
    if (!ready() && e.key === 'Enter' && !e.altKey && !e.ctrlKey && !e.metaKey) {
      e.preventDefault();
      window.porotenEarlyEnter = true;
    }
  }, true);
  function key(code) {
    if (ready()) { if (window.porotenKeypad) porotenKeypad(code); }
    else if (code === 13) window.porotenEarlyEnter = true;
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
    var b = e.target.closest && e.target.closest('#keypad button');
    if (b && e.detail === 0) key(Number(b.dataset.code));
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
