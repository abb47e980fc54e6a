// The frame of a page's check of itself. headless-browser.sh puts it, with the
// check, into a copy of the page right after its <head>: script errors are
// gathered from the start; on load the check (window.pageCheck, which pushes
// what is wrong into faults) runs, and the verdict goes where a DOM dump shows
// it.
window.pageErrors = [];
window.addEventListener('error', function (e) { window.pageErrors.push(String(e.message || e)); });
window.addEventListener('load', function () {
  var faults = window.pageErrors.slice();
  try {
    window.pageCheck(faults);
  } catch (e) {
    faults.push('the check stopped: ' + e);
  }
  var verdict = document.createElement('pre');
  verdict.id = 'check-verdict';
  verdict.style.display = 'none';
  verdict.textContent = faults.length ? 'CHECK FAILED: ' + faults.join('; ') : 'CHECK PASSED';
  document.body.appendChild(verdict);
});
