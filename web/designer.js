// SPDX-License-Identifier: GPL-3.0-or-later
// The designer page: the inputs of vostrel-design, the results or the
// reason there is no match, the tuning sliders and three SWR plots (uPlot),
// computed by the core as WebAssembly. Every field is read as it is typed;
// the address holds the inputs. Below them the adjust form: what was built
// and what the analyser read (R and X, or a .s1p file read in the page),
// into the next strap position and capacitor.
'use strict';
(function () {
  const fieldIds = ['freq', 'r', 'x', 'element', 'rod', 'spacing', 'line', 'unit', 'share', 'model'];
  const example = { freq: '14.3', r: '25', x: '-25', element: '1.5in', rod: '0.5in', spacing: '6in', line: '50', unit: 'in', share: 'whole', model: 'corrected' };
  // The ratings at a power: none while the power is empty.
  const ratingIds = ['power', 'swrMargin', 'dielectric', 'tube'];
  const ratingDefaults = { power: '', swrMargin: '2', dielectric: 'air', tube: '' };
  const ratingKeys = ['lineCurrent', 'lineCurrentAtMargin', 'capacitorVoltage', 'capacitorVoltageAtMargin', 'recommended', 'rodCurrent', 'capacitorLoss', 'rodLoss', 'strapLoss', 'matchLoss', 'gapField'];
  const resultIds = ['rodLength', 'capacitance', 'z0', 'stepUp', 'reactance', 'tunedLength', 'tunedCapacitance', 'swr'];
  const el = (id) => document.getElementById(id);
  const strap = el('strap');
  const cap = el('cap');
  const banner = el('banner');
  const plots = {};
  let module = null;
  let steps = null; // the sliders' reach and steps (percent), from the core

  function keepAddress() {
    const query = new URLSearchParams();
    fieldIds.forEach((id) => query.set(id, el(id).value));
    ratingIds.forEach((id) => { if (el(id).value !== ratingDefaults[id]) query.set(id, el(id).value); });
    if (strap.value !== '0') query.set('strap', strap.value);
    if (cap.value !== '0') query.set('cap', cap.value);
    history.replaceState(null, '', '?' + query.toString());
  }

  // The design point (green square) and the tuned point (red dot).
  function marks(u) {
    const ctx = u.ctx;
    const points = u.vostrelMarks || [];
    points.forEach(([x, y, colour, square]) => {
      if (x === null || y === null) return;
      const px = u.valToPos(x, 'x', true);
      const py = u.valToPos(Math.min(y, u.scales.y.max), 'y', true);
      ctx.fillStyle = colour;
      ctx.beginPath();
      if (square) ctx.rect(px - 5, py - 5, 10, 10); else ctx.arc(px, py, 5, 0, 2 * Math.PI);
      ctx.fill();
    });
  }

  function plot(sweep) {
    const box = el('plot-' + sweep.name);
    box.querySelector('.plot-message')?.remove();
    if (!sweep.x) {
      if (plots[sweep.name]) { plots[sweep.name].destroy(); delete plots[sweep.name]; }
      const note = document.createElement('p');
      note.className = 'plot-message';
      note.textContent = sweep.message;
      box.append(note);
      return;
    }
    const finite = sweep.swr.filter((s) => s !== null);
    const top = Math.min(Math.max(2, ...finite), 10);
    const data = [sweep.x, sweep.swr];
    if (!plots[sweep.name]) {
      plots[sweep.name] = new uPlot({
        width: Math.max(box.clientWidth - 8, 200), height: 200,
        scales: { x: { time: false }, y: { range: (u) => [1, u.vostrelTop] } },
        axes: [{ label: sweep.unit }, { label: 'SWR' }],
        legend: { show: false },
        series: [{}, { stroke: '#0033a0', width: 2 }],
        hooks: { draw: [marks] },
      }, data, box);
    } else {
      plots[sweep.name].setData(data, false);
    }
    const u = plots[sweep.name];
    u.vostrelTop = top;
    u.vostrelMarks = [[sweep.design[0], sweep.design[1], '#1a9e1a', true], [sweep.tuned[0], sweep.tuned[1], '#d00000', false]];
    u.setScale('x', { min: sweep.x[0], max: sweep.x[sweep.x.length - 1] });
    u.setScale('y', { min: 1, max: top });
  }

  function compute() {
    if (!module) return;
    const fields = fieldIds.map((id) => el(id).value).join('\t');
    const rating = ratingIds.map((id) => el(id).value).join('\t');
    const answer = JSON.parse(module.ccall('vostrel_designer', 'string', ['string', 'number', 'number', 'string'], [fields, Number(strap.value), Number(cap.value), rating]));
    el('strap-value').textContent = (strap.value * steps.strap).toFixed(2) + ' %';
    el('cap-value').textContent = (cap.value * steps.cap).toFixed(1) + ' %';
    keepAddress();
    fieldIds.concat(ratingIds).forEach((id) => { el(id).removeAttribute('aria-invalid'); const e = el(id + '-error'); if (e) e.textContent = ''; });
    if (answer.status === 'bad') {
      // The last good results stay, marked out of date.
      const field = el(answer.field);
      if (field && el(answer.field + '-error')) {
        field.setAttribute('aria-invalid', 'true');
        el(answer.field + '-error').textContent = answer.message;
      }
      document.body.classList.add('stale');
      banner.hidden = true;
      adjust();
      return;
    }
    if (answer.status === 'nomatch') {
      banner.textContent = answer.message;
      banner.hidden = false;
      document.body.classList.add('stale');
      adjust();
      return;
    }
    banner.hidden = true;
    document.body.classList.remove('stale');
    resultIds.forEach((id) => { el(id).value = answer.results[id]; });
    el('stepUp').value = answer.results.stepUp + ' (α ' + answer.results.alpha + ')';
    showRatings(answer.ratings);
    answer.sweeps.forEach(plot);
    document.body.dataset.computed = String(Number(document.body.dataset.computed || 0) + 1);
    if (!builtTyped) fillBuilt(answer.results.tunedLength, answer.results.tunedCapacitance);
    adjust();
  }

  // The ratings as the core words them; a warning marks the voltage at the margin.
  function showRatings(ratings) {
    el('ratings').hidden = !ratings;
    if (!ratings) return;
    el('rt-heading').textContent = ratings.heading;
    el('rt-margin').textContent = ratings.margin;
    ratingKeys.forEach((key) => { el('rt-' + key).value = ratings[key]; });
    el('rt-gapField').closest('div').hidden = ratings.gapField === '';
    const warning = el('ratings-warning');
    warning.hidden = ratings.warnings.length === 0;
    warning.textContent = ratings.warnings.map((w) => 'Warning: ' + w.message).join(' ');
    const row = el('rt-margin-row');
    row.classList.toggle('over', ratings.warnings.some((w) => w.level === 'breakdown'));
    row.classList.toggle('near', ratings.warnings.some((w) => w.level === 'third'));
  }

  // The adjust form. The built fields follow the design (as tuned) until
  // they are typed in.
  const adjustIds = ['built-rod', 'built-cap', 'read-r', 'read-x', 'cable', 'cable-length'];
  const answerIds = ['nextRod', 'strapMove', 'nextCapacitor', 'expectedSwr', 'elementZ', 'reading', 'compared', 'cableLoss', 'lowestNow', 'lowestNext'];
  let builtTyped = false;
  let file = null; // {name, text} of the chosen .s1p
  let next = null; // the last suggestion, for "Use as built"

  function fillBuilt(rod, capacitance) {
    el('built-rod').value = rod;
    el('built-cap').value = capacitance;
  }

  function adjust() {
    if (!module) return;
    const source = el('read-source').value;
    el('typed-reading').hidden = source !== 'typed';
    el('file-reading').hidden = source !== 'file';
    el('cable-length').disabled = el('cable').value === '';
    const design = fieldIds.map((id) => el(id).value).join('\t');
    const form = adjustIds.map((id) => el(id).value).concat([source, source === 'file' && file ? file.name : '']).join('\t');
    const text = source === 'file' && file ? file.text : '';
    // The file through the module's heap: it may be larger than its stack.
    const size = module.lengthBytesUTF8(text) + 1;
    const heap = module._malloc(size);
    module.stringToUTF8(text, heap, size);
    const answer = JSON.parse(module.ccall('vostrel_adjust', 'string', ['string', 'string', 'number'], [design, form, heap]));
    module._free(heap);
    adjustIds.concat(['s1p']).forEach((id) => { el(id).removeAttribute('aria-invalid'); el(id + '-error').textContent = ''; });
    const refusal = el('adjust-refusal');
    const note = el('adjust-note');
    note.textContent = answer.status === 'waiting' ? answer.message : '';
    refusal.hidden = !(answer.status === 'refused' || (answer.status === 'bad' && answer.field === 'design'));
    refusal.textContent = refusal.hidden ? '' : answer.message;
    if (answer.status === 'bad' && answer.field !== 'design') {
      el(answer.field).setAttribute('aria-invalid', 'true');
      el(answer.field + '-error').textContent = answer.message;
    }
    const ok = answer.status === 'ok';
    el('adjust-results').hidden = !ok;
    el('use-as-built').hidden = !ok;
    el('adjust-warning').hidden = !(ok && answer.warning);
    el('adjust-warning').textContent = ok ? answer.warning : '';
    next = ok ? answer.next : null;
    if (ok) {
      answerIds.forEach((id) => {
        el('adj-' + id).value = answer.results[id];
        el('adj-' + id).closest('div').hidden = answer.results[id] === '';
      });
    }
    document.body.dataset.adjusted = String(Number(document.body.dataset.adjusted || 0) + 1);
  }

  const query = new URLSearchParams(location.search);
  fieldIds.forEach((id) => { el(id).value = query.has(id) ? query.get(id) : example[id]; });
  ratingIds.forEach((id) => { el(id).value = query.has(id) ? query.get(id) : ratingDefaults[id]; });
  ratingIds.forEach((id) => el(id).addEventListener('input', compute));
  strap.value = query.get('strap') || '0';
  cap.value = query.get('cap') || '0';
  fieldIds.forEach((id) => el(id).addEventListener('input', compute));
  strap.addEventListener('input', compute);
  cap.addEventListener('input', compute);
  el('recentre').addEventListener('click', () => { strap.value = '0'; cap.value = '0'; compute(); });
  ['built-rod', 'built-cap'].forEach((id) => el(id).addEventListener('input', () => { builtTyped = true; }));
  adjustIds.concat(['read-source']).forEach((id) => el(id).addEventListener('input', adjust));
  el('built-from-design').addEventListener('click', () => { builtTyped = false; compute(); });
  el('s1p').addEventListener('change', () => {
    const chosen = el('s1p').files[0];
    if (!chosen) { file = null; adjust(); return; }
    const reader = new FileReader();
    reader.onload = () => { file = { name: chosen.name, text: String(reader.result) }; adjust(); };
    reader.onerror = () => { file = null; adjust(); el('s1p-error').textContent = 'The file could not be read: ' + reader.error.message; };
    reader.readAsText(chosen);
  });
  // The suggestion becomes the build; the next reading is of it.
  el('use-as-built').addEventListener('click', () => {
    if (!next) return;
    builtTyped = true;
    fillBuilt(next.rod, next.capacitance);
    el('read-r').value = '';
    el('read-x').value = '';
    el('s1p').value = '';
    file = null;
    adjust();
    el(el('read-source').value === 'file' ? 's1p' : 'read-r').focus();
  });
  // Each plot as wide as its box, once laid out and whenever the window
  // changes size.
  const plotWidth = (name) => Math.max(el('plot-' + name).clientWidth - 8, 200);
  const fit = () => Object.entries(plots).forEach(([name, u]) => u.setSize({ width: plotWidth(name), height: 200 }));
  addEventListener('resize', fit);
  createVostrel().then((loaded) => {
    module = loaded;
    steps = {
      reach: module.ccall('vostrel_tuning_steps', 'number', [], []),
      strap: module.ccall('vostrel_tuning_step_percent', 'number', ['number'], [0]),
      cap: module.ccall('vostrel_tuning_step_percent', 'number', ['number'], [1]),
    };
    [[strap, 'Strap', steps.strap], [cap, 'Capacitor', steps.cap]].forEach(([slider, name, percent]) => {
      slider.min = String(-steps.reach);
      slider.max = String(steps.reach);
      document.querySelector('label[for="' + slider.id + '"]').textContent = name + ' (' + percent + ' % steps)';
    });
    strap.value = query.get('strap') || '0'; // within the reach just set
    cap.value = query.get('cap') || '0';
    JSON.parse(module.ccall('vostrel_cables', 'string', [], [])).forEach((cable) => {
      el('cable').append(new Option(cable.label, cable.name));
    });
    compute();
    fit();
    document.body.dataset.ready = 'true';
  });
}());
