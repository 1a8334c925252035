// The page side of the browser adapter: puts in the page the windows whose
// markup and style the program made (window_markup.cpp), wires their menus
// and controls, and reports keys, clicks, closes and the page being left back
// to the program. Message boxes are library_boxes.js's, the record
// library_storage.js's.
mergeInto(LibraryManager.library, {
  $PW__postset: 'PW.init();',
  $PW: {
    windows: {},
    next: 0,
    main: null,
    stopped: false,  // the program has quit
    // The control a key reports when none has the focus (platform::kNoControl).
    NO_CONTROL: -1,
    // The modifier bits poroten_on_key takes (web_entry_points.h).
    CONTROL_HELD: 1,
    ALT_HELD: 2,
    META_HELD: 4,
    init: function () {
      if (typeof document === 'undefined') return;
      window.porotenKeypad = PW.keypad;
      document.addEventListener('keydown', PW.onDocumentKey, true);
      document.addEventListener('pointerdown', function (e) {
        if (!e.target.closest || !e.target.closest('.pw-menubar')) PW.closeMenus();
      });
      // A page left or frozen may be discarded with no further word, and a
      // hidden one may: the program is told at once, while it can still save.
      addEventListener('pagehide', function () { PW.ending(1); });
      document.addEventListener('freeze', function () { PW.ending(1); });
      document.addEventListener('visibilitychange', function () {
        if (document.visibilityState === 'hidden') PW.ending(0);
      });
    },
    // Only once the program runs (it has made its main window) and until it quits.
    ending: function (forGood) { if (PW.main && !PW.stopped) _poroten_on_ending(forGood); },
    // A malloc'd UTF-8 copy of text, for the program to free; its length in
    // bytes goes to sizePtr when one is given.
    alloc: function (text, sizePtr) {
      // A lone surrogate (pasted, or half a pair cut off) would otherwise be
      // paired with whatever follows it and swallow that character.
      text = text.replace(/\p{Surrogate}/gu, '\uFFFD');
      var size = lengthBytesUTF8(text) + 1;
      var ptr = _malloc(size);
      stringToUTF8(text, ptr, size);
      if (sizePtr) HEAP32[sizePtr >> 2] = size - 1;
      return ptr;
    },
    // Text that is already there is left alone: a new text node would be
    // painted again, and counted as a later paint of the page's largest text.
    setText: function (el, text) { if (el.textContent !== text) el.textContent = text; },
    modalOpen: function () { return !!document.querySelector('dialog[open]'); },
    // The game's keys go to the main window's client, as a desktop's go to
    // its only window.
    focusGame: function () {
      if (PW.main && !PW.main.root.hidden) PW.main.client.focus({ preventScroll: true });
    },
    // Tells the program of a key; the program decides what it types. True
    // when the page must not act on the key as well.
    report: function (w, control, key, code, modifiers) {
      var k = PW.alloc(key), c = PW.alloc(code);
      try {
        return _poroten_on_key(w.handle, control, k, c, modifiers) !== 0;
      } finally {
        _free(k);
        _free(c);
      }
    },
    // A key that ends or edits a composition is the input method's.
    sendKey: function (w, control, e) {
      if (e.isComposing || e.keyCode === 229) return false;
      return PW.report(w, control, e.key || '', e.code || '',
        (e.ctrlKey ? PW.CONTROL_HELD : 0) | (e.altKey ? PW.ALT_HELD : 0) |
        (e.metaKey ? PW.META_HELD : 0));
    },
    // A request page.js kept: 'enter' as the keypad's Return key, a menu entry as
    // its access key, which opens a menu again rather than closing it.
    early: function (k) { if (k === 'enter') PW.keypad(13); else PW.main.entries[k](true); },
    // A key from the on-screen keypad (13 or a digit's code), as the keyboard would give it.
    keypad: function (code) {
      var w = PW.main;
      if (!w || PW.modalOpen() || w.root.hidden || PW.stopped) return;
      PW.report(w, PW.NO_CONTROL, code === 13 ? 'Enter' : String.fromCodePoint(code), '', 0);
    },
    onDocumentKey: function (e) {
      var w = PW.main;
      if (!w || PW.stopped || PW.modalOpen() || w.root.hidden) return;
      if (e.altKey && !e.ctrlKey && !e.metaKey) {
        var key = (e.code || '').replace(/^Key/, '').toLowerCase();
        var entry = w.accessKeys[key];
        if (entry) { e.preventDefault(); e.stopPropagation(); entry(true); }
        return;
      }
      var open = w.root.querySelector('.pw-menu:not([hidden])');
      if (open) { PW.menuKey(w, open, e); return; }
      // A click on the page around the window takes the focus from it; the
      // keys are still the game's, as the only window's on a desktop are.
      if (e.target === document.body || e.target === document.documentElement) {
        PW.focusGame();
        if (PW.sendKey(w, PW.NO_CONTROL, e)) e.preventDefault();
      }
    },
    closeMenus: function () {
      document.querySelectorAll('.pw-menu').forEach(function (m) {
        m.hidden = true;
        if (m.previousElementSibling) m.previousElementSibling.setAttribute('aria-expanded', 'false');
      });
    },
    menuKey: function (w, menu, e) {
      var items = Array.prototype.slice.call(menu.querySelectorAll('[role=menuitem]'));
      var at = items.indexOf(document.activeElement);
      var k = e.key;
      if (k === 'Escape') { PW.closeMenus(); PW.focusGame(); }
      else if (k === 'ArrowDown') items[(at + 1) % items.length].focus();
      else if (k === 'ArrowUp') items[(at - 1 + items.length) % items.length].focus();
      else if (k === 'Enter' || k === ' ') { if (at >= 0) items[at].click(); }
      else {
        var hit = items.filter(function (i) { return i.dataset.key === k.toLowerCase(); })[0];
        if (!hit) return;
        hit.click();
      }
      e.preventDefault();
      e.stopPropagation();
    },
    command: function (w, id) {
      PW.closeMenus();
      PW.focusGame();
      _poroten_on_command(w.handle, id);
    },
    dialogOf: function (w) { return w.root.tagName === 'DIALOG' ? w.root : null; },
    // The menu bar as the markup has it: an entry followed by its menu opens
    // it; any other entry, and each item, reports its command.
    wireMenu: function (w, bar) {
      bar.querySelectorAll('.pw-menuentry').forEach(function (button) {
        var list = button.nextElementSibling;
        var activate = function () { PW.command(w, Number(button.dataset.command)); };
        if (list && list.classList.contains('pw-menu')) {
          list.querySelectorAll('[data-command]').forEach(function (b) {
            b.addEventListener('click', function () { PW.command(w, Number(b.dataset.command)); });
          });
          activate = function (byKey) {
            var wasOpen = !list.hidden;
            PW.closeMenus();
            if (wasOpen && !byKey) { PW.focusGame(); return; }
            list.hidden = false;
            button.setAttribute('aria-expanded', 'true');
            list.querySelector('button').focus();
          };
        }
        button.addEventListener('click', function () { activate(false); });
        w.entries.push(activate);
        var key = button.getAttribute('aria-keyshortcuts');
        if (key) w.accessKeys[key.replace(/^Alt\+/, '').toLowerCase()] = activate;
      });
    },
    // The browser closing a dialog itself.
    wireDialog: function (w, root) {
      // Esc does nothing in the name window; the close box stands for closing.
      root.addEventListener('cancel', function (e) { e.preventDefault(); });
      // A browser closes it all the same on a second Esc or a back gesture:
      // unless the program closed it, that is the close box too.
      root.addEventListener('close', function () {
        if (w.shown && !root.open && PW.windows[w.handle] === w && !PW.stopped) {
          _poroten_on_close(w.handle);
        }
      });
    },
    wireControls: function (w) {
      if (!PW.dialogOf(w)) {
        w.client.addEventListener('keydown', function (e) {
          if (e.target !== w.client || PW.stopped) return;
          if (PW.sendKey(w, PW.NO_CONTROL, e)) e.preventDefault();
        });
      }
      w.client.querySelectorAll('[data-id]').forEach(function (el) {
        var id = Number(el.dataset.id);
        w.controls[id] = el;
        if (el.tagName === 'INPUT') {
          el.addEventListener('keydown', function (e) { if (PW.sendKey(w, id, e)) e.preventDefault(); });
        } else if (el.tagName === 'BUTTON') {
          el.addEventListener('click', function () { _poroten_on_command(w.handle, id); });
        }
      });
    },
    // [[target, {property: value}], ...], each target a selector within the
    // window ('' the window itself), set through the CSSOM, which the page's
    // policy allows where it refuses style attributes in markup.
    applyStyle: function (root, rules) {
      rules.forEach(function (rule) {
        var el = rule[0] ? root.querySelector(rule[0]) : root;
        for (var p in rule[1]) el.style.setProperty(p, rule[1][p]);
      });
    },
    // The main window the page already shows (the build wrote it from the
    // same description, by the same code) is taken over as it is, so that
    // nothing is drawn twice; one that differs is replaced. Any other window
    // is put in the page, hidden until shown.
    build: function (markup, style) {
      var t = document.createElement('template');
      t.innerHTML = markup;
      var root = t.content.firstElementChild;
      var screen = document.getElementById('screen') || document.body;
      var drawn = root.tagName !== 'DIALOG' && !PW.main && Array.prototype.filter.call(
        screen.querySelectorAll('.pw-main'), function (m) { return m.dataset.name === root.dataset.name; })[0];
      if (drawn && drawn.isEqualNode(root)) {
        root = drawn;
      } else {
        if (root.tagName !== 'DIALOG') root.hidden = true;
        if (drawn) drawn.replaceWith(root); else screen.appendChild(root);
      }
      var w = { handle: ++PW.next, root: root, client: root.querySelector('.pw-client'),
                focus: root.querySelector('[data-focus]'), controls: {}, accessKeys: {}, entries: [] };
      PW.applyStyle(root, style);
      var bar = root.querySelector('.pw-menubar');
      if (bar) PW.wireMenu(w, bar);
      root.querySelector('.pw-close').addEventListener('click', function () {
        if (!PW.stopped) _poroten_on_close(w.handle);
      });
      if (PW.dialogOf(w)) PW.wireDialog(w, root);
      PW.wireControls(w);
      PW.windows[w.handle] = w;
      if (!PW.dialogOf(w) && !PW.main) PW.main = w;
      return w.handle;
    }
  },

  // int poroten_window_create(const char* markup, const char* style); returns the window's handle
  poroten_window_create__deps: ['$PW'],
  poroten_window_create: function (markup, style) {
    return PW.build(UTF8ToString(markup), JSON.parse(UTF8ToString(style)));
  },
  // void poroten_window_show(int window);
  poroten_window_show__deps: ['$PW'],
  poroten_window_show: function (h) {
    var w = PW.windows[h];
    w.shown = true;
    if (PW.dialogOf(w)) {
      if (!w.root.open) w.root.showModal();
    } else {
      w.root.hidden = false;
    }
    if (w.focus) w.focus.focus();
    else if (!PW.modalOpen() && w === PW.main) PW.focusGame();
    if (w === PW.main && !document.documentElement.classList.contains('pw-ready')) {
      document.documentElement.classList.add('pw-ready');
      // What page.js kept while the program loaded is done now, in order,
      // once the program's start-up has returned.
      var kept = window.porotenKept || [];
      window.porotenKept = [];
      if (kept.length) setTimeout(function () { kept.forEach(PW.early); }, 0);
    }
  },
  // void poroten_window_hide(int window);
  poroten_window_hide__deps: ['$PW'],
  poroten_window_hide: function (h) {
    var w = PW.windows[h];
    w.shown = false;
    if (PW.dialogOf(w)) { if (w.root.open) w.root.close(); } else w.root.hidden = true;
  },
  // void poroten_window_destroy(int window);
  poroten_window_destroy__deps: ['$PW'],
  poroten_window_destroy: function (h) {
    var w = PW.windows[h];
    if (!w) return;
    if (PW.dialogOf(w) && w.root.open) w.root.close();
    w.root.remove();
    delete PW.windows[h];
    if (PW.main === w) PW.main = null;
    else if (!PW.modalOpen()) PW.focusGame();
  },
  // void poroten_label_set_text(int window, int id, const char* text);
  poroten_label_set_text__deps: ['$PW'],
  poroten_label_set_text: function (h, id, text) {
    PW.setText(PW.windows[h].controls[id], UTF8ToString(text));
  },
  // void poroten_control_set_style(int window, int id, const char* property, const char* value);
  poroten_control_set_style__deps: ['$PW'],
  poroten_control_set_style: function (h, id, property, value) {
    PW.windows[h].controls[id].style.setProperty(UTF8ToString(property), UTF8ToString(value));
  },
  // char* poroten_textbox_text(int window, int id); malloc'd, the caller frees it
  poroten_textbox_text__deps: ['$PW'],
  poroten_textbox_text: function (h, id) { return PW.alloc(PW.windows[h].controls[id].value); },
  // void poroten_textbox_set_text(int window, int id, const char* text);
  poroten_textbox_set_text__deps: ['$PW'],
  poroten_textbox_set_text: function (h, id, text) {
    PW.windows[h].controls[id].value = UTF8ToString(text);
  },
  // void poroten_app_quit(const char* ended, const char* playAgain);
  // The page's title followed by ended stays on the page, with a button that
  // loads the game again.
  poroten_app_quit__deps: ['$PW'],
  poroten_app_quit: function (ended, playAgain) {
    PW.stopped = true;
    document.querySelectorAll('dialog').forEach(function (d) { if (d.open) d.close(); });
    var screen = document.getElementById('screen') || document.body;
    screen.textContent = '';
    var done = document.createElement('p');
    done.className = 'pw-ended';
    done.setAttribute('role', 'status');
    done.textContent = document.title + UTF8ToString(ended);
    var again = document.createElement('button');
    again.type = 'button';
    again.textContent = UTF8ToString(playAgain);
    again.addEventListener('click', function () { location.reload(); });
    done.appendChild(document.createElement('br'));
    done.appendChild(again);
    screen.appendChild(done);
    document.body.classList.add('pw-quit');
  },
});
