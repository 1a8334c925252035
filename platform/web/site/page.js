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
  if ('serviceWorker' in navigator) {
    addEventListener('load', function () { navigator.serviceWorker.register('sw.js'); });
  }
})();
