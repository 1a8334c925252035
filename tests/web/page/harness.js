// The test program in a page: its output and exit status kept for the
// runner (run_in_browser.py), and whatever the page's policy refused.
var testOutput = window.testOutput = [];
window.testExit = null;
window.testRefused = [];
document.addEventListener('securitypolicyviolation', function (e) {
  window.testRefused.push(e.violatedDirective + ' ' + (e.blockedURI || e.sample || ''));
});
Module['print'] = function (text) { testOutput.push(text); };
Module['printErr'] = Module['print'];
Module['onAbort'] = function (what) {
  testOutput.push('aborted: ' + what);
  window.testExit = 134;
};
