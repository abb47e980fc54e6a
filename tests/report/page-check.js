// The report page's check of itself, run by tests/support/page-check-frame.js
// in a copy of a page (operators' pages carry none of it): every chart drew,
// the band table, the score line and the grid equal the embedded data.
window.pageCheck = function (faults) {
  var data = JSON.parse(document.getElementById('report-data').textContent);
  var summary = data.summary;
  var drawn = typeof Chart === 'undefined' ? 0 : Object.keys(Chart.instances).length;
  var expected = data.times ? 3 : 0;
  if (drawn !== expected) faults.push(drawn + ' charts drawn, ' + expected + ' expected');
  Array.prototype.forEach.call(document.querySelectorAll('canvas'), function (c) {
    var pixels = c.getContext('2d').getImageData(0, 0, c.width, c.height).data, inked = 0;
    for (var i = 3; i < pixels.length; i += 4) if (pixels[i] !== 0) ++inked;
    if (c.width < 100 || c.height < 100 || inked < 500) faults.push(c.id + ' drew ' + inked + ' pixels');
  });
  function cells(tr) { return Array.prototype.map.call(tr.cells, function (td) { return td.textContent; }); }
  var shownRows = Array.prototype.map.call(document.querySelectorAll('#bands tbody tr'), cells);
  // The summary's rows, in the page's band order, under the page's band names.
  var wanted = data.band_order.map(function (band) {
    var b = summary.bands.filter(function (s) { return s.band === band; })[0];
    return [data.band_names[band], String(b.qsos), String(b.points), String(b.multipliers), b.areas.join(' ')];
  });
  if (wanted.length !== summary.bands.length) faults.push('band order misses bands of the summary');
  if (JSON.stringify(shownRows) !== JSON.stringify(wanted)) faults.push('band rows differ from the data');
  var total = cells(document.querySelector('#bands tfoot tr'));
  if (JSON.stringify(total) !== JSON.stringify(['Total', String(summary.total.qsos),
      String(summary.total.points), String(summary.total.multipliers), '']))
    faults.push('total row differs from the data');
  var scoreShown = document.getElementById('score-line').textContent;
  if (scoreShown !== ' Score: ' + summary.total.points + '*' + summary.total.multipliers + '=' + summary.score)
    faults.push('score line "' + scoreShown + '" differs from the data');
  var worked = document.querySelectorAll('#grid td.worked').length;
  var firsts = data.grid.areas.reduce(function (n, a) { return n + Object.keys(a.first).length; }, 0);
  if (worked !== firsts) faults.push(worked + ' worked grid cells, ' + firsts + ' in the data');
  // The hourly table adds up to the rate chart's bars, band by band.
  var rate = typeof Chart === 'undefined' ? null : Chart.getChart('rate-chart');
  var foot = document.querySelector('#rate-table tfoot tr');
  if (data.times && rate && foot) {
    var sums = rate.data.datasets.map(function (d) { return d.data.reduce(function (a, b) { return a + b; }, 0); });
    sums.push(sums.reduce(function (a, b) { return a + b; }, 0));
    if (JSON.stringify(cells(foot).slice(1)) !== JSON.stringify(sums.map(String)))
      faults.push('hourly table totals ' + cells(foot).slice(1) + ' differ from the rate chart\'s ' + sums);
  } else if (data.times) {
    faults.push('no hourly table or rate chart');
  }
  var findings = document.querySelectorAll('#findings li').length;
  if (findings !== data.findings.length) faults.push(findings + ' findings shown, ' + data.findings.length + ' in the data');
};
