// The page side of the browser adapter: builds windows from their JSON
// descriptions and reports keys, clicks, closes and the page being left back
// to the program. Message boxes are library_boxes.js's, the record
// library_storage.js's.
mergeInto(LibraryManager.library, {
  $PW__postset: 'PW.init();',
  $PW: {
    windows: {},
    next: 0,
    main: null,
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
      // A page left, or hidden, may be frozen or discarded with no further
      // word: the program is told at once, while it can still save.
      addEventListener('pagehide', PW.ending);
      document.addEventListener('visibilitychange', function () {
        if (document.visibilityState === 'hidden') PW.ending();
      });
    },
    // Only once the program runs (it has made its main window) and until it quits.
    ending: function () { if (PW.main && !PW.stopped) _poroten_on_ending(); },
    // A malloc'd UTF-8 copy of text, for the program to free.
    alloc: function (text) {
      // A lone surrogate (pasted, or half a pair cut off) would otherwise be
      // paired with whatever follows it and swallow that character.
      text = text.replace(/\p{Surrogate}/gu, '\uFFFD');
      var size = lengthBytesUTF8(text) + 1;
      var ptr = _malloc(size);
      stringToUTF8(text, ptr, size);
      return ptr;
    },
    px: function (pixels) { return pixels + 'px'; },
    // "ファイル(&F)" -> text with the access key underlined, and the key.
    // Text that is already there is left alone: a new text node would be
    // painted again, and counted as a later paint of the page's largest text.
    setText: function (el, text) { if (el.textContent !== text) el.textContent = text; },
    accessText: function (el, text) {
      var at = text.indexOf('&');
      if (at < 0 || at + 1 >= text.length) { PW.setText(el, text); return ''; }
      var u = el.querySelector('u');
      if (u && el.childElementCount === 1 && u.textContent === text[at + 1] &&
          el.textContent === text.slice(0, at) + text.slice(at + 1)) {
        return text[at + 1].toLowerCase();
      }
      el.textContent = '';
      el.appendChild(document.createTextNode(text.slice(0, at)));
      var u = document.createElement('u');
      u.textContent = text[at + 1];
      el.appendChild(u);
      el.appendChild(document.createTextNode(text.slice(at + 2)));
      return text[at + 1].toLowerCase();
    },
    // The page already shows the main window at rest (the build writes its
    // markup from the same description): the program takes those elements
    // over in order, setting each as it would a new one, so nothing is drawn
    // twice. Anything the markup lacks is made; anything extra goes.
    adopting: null,
    make: function (parent, tag) {
      var at = parent.pwNext || 0;
      var old = PW.adopting && parent.children[at];
      parent.pwNext = at + 1;
      if (old && old.tagName === tag.toUpperCase()) return old;
      var el = document.createElement(tag);
      parent.insertBefore(el, old || null);
      return el;
    },
    // Drops what the markup had past the elements the program made.
    trim: function (parent) {
      if (parent.pwNext === undefined) return;  // not built through make
      while (parent.children.length > (parent.pwNext || 0)) parent.lastElementChild.remove();
      delete parent.pwNext;
      Array.prototype.forEach.call(parent.children, PW.trim);
    },
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
    // A request page.js kept: 'enter' as the keypad's リターン, a menu entry as
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
        if (entry) { e.preventDefault(); e.stopPropagation(); entry.activate(true); }
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
        if (m.previousSibling) m.previousSibling.setAttribute('aria-expanded', 'false');
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
    buildMenu: function (w, bar, menu) {
      menu.forEach(function (entry) {
        var button = PW.make(bar, 'button');
        button.type = 'button';
        button.className = 'pw-menuentry';
        button.setAttribute('role', 'menuitem');
        var key = PW.accessText(button, entry.text);
        var activate;
        if (entry.items.length) {
          button.setAttribute('aria-haspopup', 'menu');
          button.setAttribute('aria-expanded', 'false');
          var list = PW.make(bar, 'div');
          list.className = 'pw-menu';
          list.setAttribute('role', 'menu');
          list.hidden = true;
          entry.items.forEach(function (item) {
            var b = PW.make(list, 'button');
            b.type = 'button';
            b.setAttribute('role', 'menuitem');
            b.dataset.key = PW.accessText(b, item.text);
            b.addEventListener('click', function () { PW.command(w, item.id); });
          });
          activate = function (byKey) {
            var wasOpen = !list.hidden;
            PW.closeMenus();
            if (wasOpen && !byKey) { PW.focusGame(); return; }
            list.hidden = false;
            button.setAttribute('aria-expanded', 'true');
            list.querySelector('button').focus();
          };
        } else {
          activate = function () { PW.command(w, entry.id); };
        }
        button.addEventListener('click', function () { activate(false); });
        w.entries.push(activate);
        if (key) {
          w.accessKeys[key] = { activate: activate };
          button.setAttribute('aria-keyshortcuts', 'Alt+' + key.toUpperCase());
        }
      });
    },
    // The title bar, and the window's own place for a dialog that has one.
    buildTitleBar: function (w, root, d, drawn) {
      // The main window's title bar carries the page's heading, as a desktop
      // window's carries its caption.
      var bar = PW.make(root, 'div');
      bar.className = 'pw-titlebar';
      var title = PW.make(bar, d.dialog ? 'span' : 'h1');
      PW.setText(title, d.caption);
      if (!d.dialog) {
        title.className = 'pw-caption';
        if (!drawn) root.hidden = true;
        document.title = d.caption;
        return;
      }
      var close = PW.make(bar, 'button');
      close.type = 'button';
      close.className = 'pw-close';
      close.setAttribute('aria-label', '閉じる');
      close.tabIndex = -1;
      close.textContent = '×';
      close.addEventListener('click', function () { _poroten_on_close(w.handle); });
      // Esc does nothing in the name window; the close box stands for closing.
      root.addEventListener('cancel', function (e) { e.preventDefault(); });
      // A browser closes it all the same on a second Esc or a back gesture:
      // unless the program closed it, that is the close box too.
      root.addEventListener('close', function () {
        if (w.shown && !root.open && PW.windows[w.handle] === w && !PW.stopped) {
          _poroten_on_close(w.handle);
        }
      });
      if (d.left !== undefined) {
        root.style.left = PW.px(d.left);
        root.style.top = PW.px(d.top);
      }
    },
    // The area below the menu bar; the main window's takes the game's keys.
    buildClient: function (w, root, d) {
      var client = PW.make(root, 'div');
      client.className = 'pw-client';
      client.style.width = PW.px(d.width);
      client.style.height = PW.px(d.height);
      if (d.back) client.style.background = d.back;
      if (!d.dialog) {
        client.tabIndex = 0;
        client.setAttribute('role', 'application');
        client.setAttribute('aria-label', d.caption);
        client.addEventListener('keydown', function (e) {
          if (e.target !== client || PW.stopped) return;
          if (PW.sendKey(w, PW.NO_CONTROL, e)) e.preventDefault();
        });
      }
      return client;
    },
    buildControl: function (w, client, d, c) {
      var el;
      if (c.kind === 'textbox') {
        el = PW.make(client, 'input');
        el.type = 'text';
        el.value = c.text;
        el.setAttribute('aria-label', d.controls.filter(function (o) { return o.kind === 'label'; })
          .map(function (o) { return o.text; }).join(' ') || c.name);
        el.addEventListener('keydown', function (e) {
          if (PW.sendKey(w, c.id, e)) e.preventDefault();
        });
      } else if (c.kind === 'button') {
        el = PW.make(client, 'button');
        el.type = 'button';
        PW.setText(el, c.text);
        el.addEventListener('click', function () { _poroten_on_command(w.handle, c.id); });
      } else {
        el = PW.make(client, 'div');
        PW.setText(el, c.text);
      }
      el.className = 'pw-control pw-' + c.kind;
      el.dataset.name = c.name;
      el.dataset.id = c.id;
      var s = el.style;
      s.left = PW.px(c.bounds[0]);
      s.top = PW.px(c.bounds[1]);
      s.width = PW.px(c.bounds[2]);
      s.height = PW.px(c.bounds[3]);
      if (c.back) s.background = c.back;
      if (c.face || c.points) el.classList.add('pw-face');
      if (c.points) s.fontSize = c.points + 'pt';
      s.textAlign = c.align;
      w.controls[c.id] = el;
    },
    // A window from its JSON (window_json.cpp): pixels, and the controls in
    // the order they are made, which is also their Tab order.
    build: function (d) {
      var w = { handle: ++PW.next, desc: d, controls: {}, accessKeys: {}, entries: [] };
      var screen = document.getElementById('screen') || document.body;
      var drawn = !d.dialog && !PW.main && Array.prototype.filter.call(
        screen.querySelectorAll('.pw-main'), function (m) { return m.dataset.name === d.name; })[0];
      PW.adopting = drawn || null;
      var root = drawn || document.createElement(d.dialog ? 'dialog' : 'div');
      root.className = d.dialog ? 'pw-window pw-dialog' : 'pw-window pw-main';
      root.setAttribute('aria-label', d.caption);
      root.dataset.name = d.name;
      PW.buildTitleBar(w, root, d, drawn);
      if (d.menu.length) {
        var menubar = PW.make(root, 'div');
        menubar.className = 'pw-menubar';
        menubar.setAttribute('role', 'menubar');
        PW.buildMenu(w, menubar, d.menu);
      }
      var client = PW.buildClient(w, root, d);
      d.controls.forEach(function (c) { PW.buildControl(w, client, d, c); });
      PW.trim(root);
      PW.adopting = null;
      w.root = root;
      w.client = client;
      if (!drawn) screen.appendChild(root);
      PW.windows[w.handle] = w;
      if (!d.dialog && !PW.main) PW.main = w;
      return w.handle;
    }
  },

  // int poroten_window_create(const char* json); returns the window's handle
  poroten_window_create__deps: ['$PW'],
  poroten_window_create: function (json) { return PW.build(JSON.parse(UTF8ToString(json))); },
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
    if (w.desc.focus !== null) w.controls[w.desc.focus].focus();
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
  // void poroten_label_set_colour(int window, int id, int r, int g, int b);
  poroten_label_set_colour__deps: ['$PW'],
  poroten_label_set_colour: function (h, id, r, g, b) {
    PW.windows[h].controls[id].style.background = 'rgb(' + r + ',' + g + ',' + b + ')';
  },
  // char* poroten_textbox_text(int window, int id); malloc'd, the caller frees it
  poroten_textbox_text__deps: ['$PW'],
  poroten_textbox_text: function (h, id) { return PW.alloc(PW.windows[h].controls[id].value); },
  // void poroten_textbox_set_text(int window, int id, const char* text);
  poroten_textbox_set_text__deps: ['$PW'],
  poroten_textbox_set_text: function (h, id, text) {
    PW.windows[h].controls[id].value = UTF8ToString(text);
  },
  // void poroten_app_quit();
  poroten_app_quit__deps: ['$PW'],
  poroten_app_quit: function () {
    PW.stopped = true;
    document.querySelectorAll('dialog').forEach(function (d) { if (d.open) d.close(); });
    var screen = document.getElementById('screen') || document.body;
    screen.textContent = '';
    var done = document.createElement('p');
    done.className = 'pw-ended';
    done.setAttribute('role', 'status');
    done.textContent = 'ポロテンを終了しました。';
    var again = document.createElement('button');
    again.type = 'button';
    again.textContent = 'もう一度遊ぶ';
    again.addEventListener('click', function () { location.reload(); });
    done.appendChild(document.createElement('br'));
    done.appendChild(again);
    screen.appendChild(done);
    document.body.classList.add('pw-quit');
  },
});
