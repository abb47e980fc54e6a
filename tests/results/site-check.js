// The results site's check of itself, run by tests/support/page-check-frame.js
// in a copy of a page (the sponsor's pages carry none of it): every table is
// there, a click on each heading sorts its column one way and a second click
// the other way, and no text of a log became markup.
window.pageCheck = function (faults) {
  function key(cell) { var v = cell.getAttribute('data-v'); return v === null ? cell.textContent.trim() : v; }
  function column(table, c) { return Array.prototype.map.call(table.tBodies[0].rows, function (r) { return key(r.cells[c]); }); }
  function sorted(keys, up) {
    var numeric = keys.every(function (k) { return k === '' || !isNaN(Number(k)); });
    for (var i = 1; i < keys.length; ++i) {
      var a = keys[i - 1], b = keys[i];
      var c = numeric ? (a === '' ? Infinity : Number(a)) - (b === '' ? Infinity : Number(b)) : a.localeCompare(b);
      if (up ? c > 0 : c < 0) return false;
    }
    return true;
  }
  if (document.getElementById('bands')) { // the first page
    ['areas', 'bands', 'checklogs', 'not-checked'].forEach(function (id) {
      if (!document.getElementById(id)) faults.push('no #' + id);
    });
    var tables = document.querySelectorAll('table.sortable');
    if (!document.querySelector('table[id^=category-]')) faults.push('no category table');
    var reordered = 0;
    Array.prototype.forEach.call(tables, function (table) {
      Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th, c) {
        var before = JSON.stringify(Array.prototype.map.call(table.tBodies[0].rows, function (r) { return r.textContent; }));
        th.click();
        if (!sorted(column(table, c), true)) faults.push(table.id + ' column ' + th.textContent + ' not ascending');
        var after = JSON.stringify(Array.prototype.map.call(table.tBodies[0].rows, function (r) { return r.textContent; }));
        if (after !== before) ++reordered;
        th.click();
        if (!sorted(column(table, c), false)) faults.push(table.id + ' column ' + th.textContent + ' not descending');
      });
    });
    if (!reordered) faults.push('no click reordered a table');
  } else if (!document.querySelector('h2')) {
    faults.push('a report without sections');
  }
  // Only the page's own script and this one; no markup from a log.
  var scripts = document.querySelectorAll('script').length;
  if (scripts > 2) faults.push(scripts + ' scripts on the page');
  if (document.querySelector('img, iframe, object, embed')) faults.push('an element from a log');
  if (window.pwned) faults.push('a script of a log ran');
};
