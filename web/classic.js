// SPDX-License-Identifier: GPL-3.0-or-later
// The classic calculator page: the frequency box, INCHES and CM, and the
// five results, computed by the same core as the desktop window (compiled
// to WebAssembly). The address holds the inputs: ?freq=14.2&unit=in.
'use strict';
(function () {
  const field = document.getElementById('freq');
  const inches = document.getElementById('inches');
  const cm = document.getElementById('cm');
  const message = document.getElementById('message');
  const status = document.getElementById('status');
  const outputs = ['spacing', 'tap', 'tube', 'capacitor', 'insertion'].map((id) => document.getElementById(id));
  let unit = null; // 'in' or 'cm' once a button was pressed
  let module = null;

  function keepAddress() {
    const query = new URLSearchParams();
    query.set('freq', field.value);
    if (unit) {
      query.set('unit', unit);
    }
    history.replaceState(null, '', '?' + query.toString());
  }

  // As a button press in the window: the results, or the message and the
  // results left as they were. `quiet` (while typing) shows no message.
  function calculate(chosen, quiet) {
    if (!module) {
      return;
    }
    const answer = module.ccall('vostrel_classic', 'string', ['string', 'number'], [field.value, chosen === 'cm' ? 1 : 0]);
    const parts = answer.split('\t');
    if (parts[0] === 'ok') {
      unit = chosen;
      outputs.forEach((output, i) => { output.value = parts[i + 1]; });
      message.hidden = true;
      document.body.classList.remove('stale');
      if (performance.getEntriesByName('vostrel-first-result').length === 0) {
        performance.mark('vostrel-first-result'); // read by bench/web-page
      }
      status.textContent = 'Results for ' + parts[6] + ' MHz in ' + (chosen === 'cm' ? 'centimetres' : 'inches') + '; capacitor in pF.';
    } else if (quiet) {
      document.body.classList.add('stale');
    } else {
      message.textContent = parts[1];
      message.hidden = false;
    }
    keepAddress();
  }

  // Enter in the box repeats the last unit (inches at first).
  document.getElementById('calculator').addEventListener('submit', (event) => {
    event.preventDefault();
    calculate(unit || 'in', false);
  });
  inches.addEventListener('click', () => calculate('in', false));
  cm.addEventListener('click', () => calculate('cm', false));
  field.addEventListener('input', () => {
    if (unit) {
      calculate(unit, true);
    } else {
      keepAddress();
    }
  });
  // Like the window's box: pasted text keeps what comes before its first
  // line break.
  field.addEventListener('paste', (event) => {
    const text = event.clipboardData ? event.clipboardData.getData('text') : null;
    if (text !== null && /[\r\n]/.test(text)) {
      event.preventDefault();
      field.setRangeText(text.split(/\r\n|\r|\n/)[0], field.selectionStart, field.selectionEnd, 'end');
      field.dispatchEvent(new Event('input'));
    }
  });

  const query = new URLSearchParams(location.search);
  if (query.has('freq')) {
    field.value = query.get('freq');
  }
  createVostrel().then((loaded) => {
    module = loaded;
    if (query.has('freq')) {
      calculate(query.get('unit') === 'cm' ? 'cm' : 'in', false);
    }
    document.body.dataset.ready = 'true';
  });
  if (!query.has('freq')) {
    field.focus();
    field.select();
  }
}());
