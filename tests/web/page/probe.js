// What the contract probe reads of the page and does in it: the windows as
// drawn (their elements and computed style, never the adapter's own state),
// and a player's clicks, each given as the next task, as the browser gives a
// player's input.
var pageProbe = {
  // A malloc'd UTF-8 copy of text, for the test to free.
  alloc: function (text) {
    var size = lengthBytesUTF8(text) + 1;
    var ptr = _malloc(size);
    stringToUTF8(text, ptr, size);
    return ptr;
  },
  // The window drawn from the description of this name: a shown one first,
  // since one the game has let go of may still be on its way out.
  window: function (name) {
    var found = null;
    document.querySelectorAll('.pw-window').forEach(function (w) {
      if (w.dataset.name === name && (!found || pageProbe.shown(w))) found = w;
    });
    return found;
  },
  control: function (name, id) {
    var w = pageProbe.window(name);
    return w && w.querySelector('.pw-client [data-id="' + id + '"]');
  },
  // On screen: in the page, laid out and visible (a dialog only when open).
  shown: function (el) {
    return !!el && el.isConnected && el.getClientRects().length > 0 &&
      getComputedStyle(el).visibility !== 'hidden';
  },
  text: function (el) { return !el ? null : el.tagName === 'INPUT' ? el.value : el.textContent; },
  // A computed colour as 0x00BBGGRR; -1 when transparent.
  colour: function (css) {
    var m = /^rgba?\((\d+), (\d+), (\d+)(?:, ([\d.]+))?\)$/.exec(css);
    if (!m || m[4] === '0') return -1;
    return Number(m[1]) | Number(m[2]) << 8 | Number(m[3]) << 16;
  },
  // A click where a player could click: on an element on screen, enabled.
  click: function (el) {
    setTimeout(function () { if (pageProbe.shown(el) && !el.disabled) el.click(); }, 0);
  },
  // A menu entry by its text as shown: its menu opened first, as a player does.
  choose: function (name, text) {
    var w = pageProbe.window(name);
    var entry = w && Array.prototype.filter.call(w.querySelectorAll('.pw-menubar [role=menuitem]'),
      function (e) { return e.textContent === text; })[0];
    if (!entry) return;
    var menu = entry.closest('.pw-menu');
    if (menu) pageProbe.click(menu.previousElementSibling);
    pageProbe.click(entry);
  },
  box: function () {
    var open = document.querySelectorAll('dialog.pw-box[open]');
    return open.length ? open[open.length - 1] : null;
  },
};
