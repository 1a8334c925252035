// Message boxes in the page: modal dialogs with one OK, which close by OK,
// by Esc, or by the browser itself; each way runs what the program had wait
// for the box, exactly once.
mergeInto(LibraryManager.library, {
  // void poroten_box_show(int box, const char* title, const char* lines, const char* ok);
  poroten_box_show__deps: ['$PW'],
  poroten_box_show: function (box, title, lines, okText) {
    title = UTF8ToString(title);
    lines = JSON.parse(UTF8ToString(lines));
    PW.closeMenus();  // a box that opens by itself (a game ending) closes an open menu
    var before = document.activeElement;
    var dlg = document.createElement('dialog');
    dlg.className = 'pw-box';
    dlg.setAttribute('role', 'alertdialog');
    dlg.setAttribute('aria-modal', 'true');
    var id = 'pw-box-' + box;
    var bar = document.createElement('div');
    bar.className = 'pw-titlebar';
    bar.id = id + '-title';
    bar.textContent = title;
    var body = document.createElement('div');
    body.className = 'pw-boxtext';
    body.id = id + '-text';
    lines.forEach(function (line) {
      var p = document.createElement('div');
      p.textContent = line;  // an empty one keeps its height by the style sheet
      body.appendChild(p);
    });
    var ok = document.createElement('button');
    ok.type = 'button';
    ok.className = 'pw-ok';
    ok.textContent = UTF8ToString(okText);
    dlg.setAttribute('aria-labelledby', bar.id);
    dlg.setAttribute('aria-describedby', body.id);
    dlg.appendChild(bar);
    dlg.appendChild(body);
    dlg.appendChild(ok);
    var done = false;
    function close(e) {
      if (e) e.preventDefault();
      if (done) return;
      done = true;
      dlg.close();
      dlg.remove();
      if (!PW.modalOpen()) {
        // Back where the focus was, unless that went away meanwhile (a menu
        // that closed): then to the game.
        if (before && before.isConnected && before.getClientRects().length) before.focus({ preventScroll: true });
        else PW.focusGame();
      } else {
        var top = document.querySelectorAll('dialog[open]');
        if (top.length) {
          var last = top[top.length - 1];
          var f = last.querySelector('input, .pw-ok') || last;
          f.focus();
        }
      }
      _poroten_on_box_closed(box);
    }
    ok.addEventListener('click', function () { close(); });
    dlg.addEventListener('cancel', close);
    // Closed by the browser without a cancel the box could see: the game
    // must not wait for ever on a box that is gone.
    dlg.addEventListener('close', function () { close(); });
    (document.getElementById('screen') || document.body).appendChild(dlg);
    dlg.showModal();
    ok.focus();
  },
});
