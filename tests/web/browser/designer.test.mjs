// SPDX-License-Identifier: GPL-3.0-or-later
// The designer page in headless Chromium from a local server: the worked
// example on load, typing, a bad field, no match, the sliders, the three
// plots, the address round trip and a phone-width layout; the ratings at a
// power; the adjust form
// from a typed reading, a refused one, a lossy cable and a .s1p file.
//   node designer.test.mjs SITE_DIR [SCREENSHOT_DIR]
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, writeFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { serve, browser } from './site.mjs';

const siteDir = path.resolve(process.argv[2]);
const shotDir = path.resolve(process.argv[3] || '.');
let site;
let chromium;
const requests = [];

before(async () => {
  site = await serve(siteDir);
  chromium = await browser();
});
after(async () => {
  await chromium.close();
  await site.close();
});

async function open(query = '', width = 1200) {
  const page = await chromium.newPage();
  await page.setViewport({ width, height: 900 });
  page.on('request', (request) => requests.push(request.url()));
  await page.goto(site.url + 'designer.html' + query);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

const shown = (page, id) => page.$eval('#' + id, (o) => o.value);
const params = (page) => Object.fromEntries(new URL(page.url()).searchParams);

async function retype(page, id, text) {
  await page.click('#' + id, { clickCount: 3 });
  await page.keyboard.type(text);
}

test('the worked example from the address, as the README gives it', async () => {
  const page = await open('?freq=14.3&r=25&x=-25&element=1.5in&rod=0.5in&spacing=6in&model=textbook');
  assert.equal(await shown(page, 'rodLength'), '38.90 in');
  assert.equal(await shown(page, 'capacitance'), '96.14 pF');
  assert.equal(await shown(page, 'z0'), '314.40 ohms');
  assert.equal(await shown(page, 'stepUp'), '6.3606 (α 1.5220)');
  assert.equal(await shown(page, 'swr'), '1.00');
  // Three plots, each with a canvas.
  assert.equal(await page.$$eval('.plots canvas', (c) => c.length), 3);
  await page.close();
});

test('typing recomputes and keeps the address in step; half the share', async () => {
  const page = await open();
  await page.select('#share', 'half');
  assert.equal(await shown(page, 'rodLength'), '26.46 in');
  assert.equal(await shown(page, 'capacitance'), '124.28 pF'); // the corrected closed form, the default
  assert.equal(params(page).share, 'half');
  await page.select('#model', 'textbook');
  assert.equal(await shown(page, 'capacitance'), '150.75 pF');
  assert.equal(params(page).model, 'textbook');
  await page.select('#share', 'whole');
  await retype(page, 'freq', '14.2');
  assert.equal(params(page).freq, '14.2');
  assert.notEqual(await shown(page, 'rodLength'), '38.90 in');
  await page.close();
});

test('a bad field says why and the last results stay, out of date', async () => {
  const page = await open();
  await retype(page, 'rod', 'abc');
  assert.equal(await page.$eval('#rod', (f) => f.getAttribute('aria-invalid')), 'true');
  assert.equal(await page.$eval('#rod-error', (e) => e.textContent), '"abc" is not a number');
  assert.equal(await shown(page, 'rodLength'), '38.90 in');
  assert.ok(await page.$eval('body', (b) => b.classList.contains('stale')));
  await retype(page, 'rod', '0.5in');
  assert.equal(await page.$eval('#rod', (f) => f.getAttribute('aria-invalid')), null);
  assert.ok(!(await page.$eval('body', (b) => b.classList.contains('stale'))));
  await page.close();
});

test('no match: the banner says what to change', async () => {
  const page = await open('?freq=14.3&r=5&x=10&element=1.5in&rod=0.5in&spacing=6in');
  const banner = await page.$eval('#banner', (b) => (b.hidden ? null : b.textContent));
  assert.match(banner, /shorten it until its reactance is below -3.8 ohms/);
  await page.close();
});

test('the sliders tune as the window does, from the keyboard too', async () => {
  const page = await open('?model=textbook'); // the README's picture: the book's closed form
  await page.focus('#strap');
  for (let i = 0; i < 12; ++i) await page.keyboard.press('ArrowRight');
  await page.focus('#cap');
  for (let i = 0; i < 10; ++i) await page.keyboard.press('ArrowLeft');
  assert.equal(await shown(page, 'tunedLength'), '40.07 in');
  assert.equal(await shown(page, 'tunedCapacitance'), '91.33 pF');
  assert.equal(await shown(page, 'swr'), '1.09');
  assert.equal(params(page).strap, '12');
  assert.equal(params(page).cap, '-10');
  // The link reopens the tuned state.
  const again = await chromium.newPage();
  await again.goto(page.url());
  await again.waitForSelector('body[data-ready="true"]');
  assert.equal(await shown(again, 'swr'), '1.09');
  mkdirSync(shotDir, { recursive: true });
  await again.setViewport({ width: 1200, height: 900 });
  await again.screenshot({ path: path.join(shotDir, 'designer-desktop.png') });
  await again.close();
  await page.click('#recentre');
  assert.equal(await shown(page, 'swr'), '1.00');
  await page.close();
});

test('a 360 px phone screen: nothing wider than the screen', async () => {
  const page = await open('?freq=14.3&r=25&x=-25&element=1.5in&rod=0.5in&spacing=6in&strap=12&cap=-10', 360);
  const widths = await page.evaluate(() => ({ page: document.documentElement.scrollWidth, screen: innerWidth }));
  assert.ok(widths.page <= widths.screen, `the page is ${widths.page} px wide on a ${widths.screen} px screen`);
  await page.screenshot({ path: path.join(shotDir, 'designer-360.png'), fullPage: true });
  await page.close();
});

test('ratings at 360 px: a power gives them, a high one warns, a bad one is named, empty hides them', async () => {
  const page = await open('?model=textbook', 360);
  assert.equal(await page.$eval('#ratings', (s) => s.hidden), true);
  await retype(page, 'power', '100');
  // The design's 115.77 ohms at sqrt(100 / 50) A.
  assert.equal(await shown(page, 'rt-lineCurrent'), '1.414 A rms');
  assert.equal(await shown(page, 'rt-capacitorVoltage'), '163.7 V rms, 231.5 V peak');
  assert.equal(await shown(page, 'rt-capacitorVoltageAtMargin'), '231.5 V rms, 327.4 V peak');
  assert.equal(await page.$eval('#ratings-warning', (w) => w.hidden), true);
  assert.equal(params(page).power, '100');
  // The 0.5 in rod in a 0.75 in air tube holds 7.72 kV peak: 10 kW at SWR 2
  // is 3.27 kV, above a third of it.
  await retype(page, 'tube', '0.75');
  await retype(page, 'power', '10000');
  assert.match(await visibleText(page, 'ratings-warning'), /above a third of the air gap's breakdown of 7\.72 kV/);
  assert.equal(await page.$eval('#rt-margin-row', (r) => r.className), 'near');
  const small = await page.$$eval('.power input, .power select', (controls) => controls
    .filter((c) => c.getBoundingClientRect().height < 44).map((c) => c.id));
  assert.deepEqual(small, []);
  const widths = await page.evaluate(() => ({ page: document.documentElement.scrollWidth, screen: innerWidth }));
  assert.ok(widths.page <= widths.screen, `the page is ${widths.page} px wide on a ${widths.screen} px screen`);
  mkdirSync(shotDir, { recursive: true });
  await page.$eval('#ratings', (s) => s.scrollIntoView());
  await page.screenshot({ path: path.join(shotDir, 'designer-ratings-360.png') });
  await page.setViewport({ width: 1280, height: 800 });
  await page.$eval('.power', (s) => s.scrollIntoView());
  await page.screenshot({ path: path.join(shotDir, 'designer-ratings-1280.png') });
  await retype(page, 'power', 'abc');
  assert.equal(await page.$eval('#power', (f) => f.getAttribute('aria-invalid')), 'true');
  assert.equal(await page.$eval('#power-error', (e) => e.textContent), '"abc" is not a power in watts above 0');
  await page.click('#power', { clickCount: 3 });
  await page.keyboard.press('Backspace');
  assert.equal(await page.$eval('#ratings', (s) => s.hidden), true);
  await page.close();
});

const adjusted = (page) => page.$eval('body', (b) => Number(b.dataset.adjusted || 0));
const answer = (page, id) => page.$eval('#adj-' + id, (o) => (o.closest('div').hidden ? null : o.value));
const visibleText = (page, id) => page.$eval('#' + id, (e) => (e.hidden ? null : e.textContent));

test('adjust: a reading gives the next cut, and "Use as built" takes it', async () => {
  const page = await open('?model=textbook');
  // Prefilled from the design as tuned.
  assert.equal(await page.$eval('#built-rod', (f) => f.value), '38.90 in');
  assert.equal(await page.$eval('#built-cap', (f) => f.value), '96.14 pF');
  assert.match(await visibleText(page, 'adjust-note'), /Type the R and X/);
  await retype(page, 'read-r', '40');
  await retype(page, 'read-x', '10');
  assert.equal(await answer(page, 'nextRod'), '42.11 in');
  assert.equal(await answer(page, 'strapMove'), '3.21 in further from the feed point');
  assert.equal(await answer(page, 'nextCapacitor'), '80.17 pF (-15.97 pF)');
  assert.equal(await answer(page, 'expectedSwr'), '1.000');
  assert.equal(await answer(page, 'elementZ'), '23.23 - j32.41 ohms');
  assert.equal(await answer(page, 'cableLoss'), null); // no cable: the row is hidden
  assert.equal(await visibleText(page, 'adjust-refusal'), null);
  await page.click('#use-as-built');
  assert.equal(await page.$eval('#built-rod', (f) => f.value), '42.11 in');
  assert.equal(await page.$eval('#built-cap', (f) => f.value), '80.17');
  assert.equal(await page.$eval('#read-r', (f) => f.value), '');
  assert.equal(await visibleText(page, 'use-as-built'), null);
  // The design's tuning no longer overwrites what was built.
  await page.focus('#strap');
  await page.keyboard.press('ArrowRight');
  assert.equal(await page.$eval('#built-rod', (f) => f.value), '42.11 in');
  await page.close();
});

test('adjust: a negative resistance and a short are refused in plain text', async () => {
  const page = await open('?model=textbook');
  await retype(page, 'read-r', '-5');
  await retype(page, 'read-x', '10');
  assert.match(await visibleText(page, 'adjust-refusal'), /^The reading has a negative resistance \(-5\.00 ohms\) at the connector: calibrate the analyser/);
  assert.equal(await page.$eval('#adjust-results', (d) => d.hidden), true);
  await retype(page, 'read-r', '0.2');
  await retype(page, 'read-x', '0');
  assert.match(await visibleText(page, 'adjust-refusal'), /is what a short or an open shows/);
  await retype(page, 'read-r', 'abc');
  assert.equal(await page.$eval('#read-r', (f) => f.getAttribute('aria-invalid')), 'true');
  assert.equal(await page.$eval('#read-r-error', (e) => e.textContent), 'Reading R: "abc" is not a number.');
  await page.close();
});

test('adjust at 360 px: a lossy cable warns, a .s1p file is read in the page, every control 44 px high', async () => {
  const page = await open('?model=textbook', 360);
  await retype(page, 'read-r', '45');
  await retype(page, 'read-x', '5');
  await page.select('#cable', 'RG-174');
  await retype(page, 'cable-length', '30');
  assert.equal(await answer(page, 'cableLoss'), '7.63 dB there and back at 14.3 MHz');
  assert.match(await visibleText(page, 'adjust-warning'), /^The cable loses 7\.6 dB there and back/);
  assert.equal(await answer(page, 'nextRod'), '41.81 in');
  const small = await page.$$eval('.adjust input, .adjust select, .adjust button', (controls) => controls
    .filter((c) => c.offsetParent && c.getBoundingClientRect().height < 44).map((c) => c.id));
  assert.deepEqual(small, []);
  const widths = await page.evaluate(() => ({ page: document.documentElement.scrollWidth, screen: innerWidth }));
  assert.ok(widths.page <= widths.screen, `the page is ${widths.page} px wide on a ${widths.screen} px screen`);
  await page.$eval('.adjust', (s) => s.scrollIntoView());
  await page.screenshot({ path: path.join(shotDir, 'designer-adjust-360.png') });

  await page.select('#cable', '');
  await page.select('#read-source', 'file');
  assert.match(await visibleText(page, 'adjust-note'), /Choose the \.s1p file/);
  const dir = mkdtempSync(path.join(tmpdir(), 'vostrel-s1p-'));
  const bad = path.join(dir, 'mast.s1p');
  writeFileSync(bad, '! NanoVNA\r\n# Hz S RI R 50\r\n14000000 0.1 0.1\r\n14200000 0.1 O.2\r\n14600000 0 0\r\n');
  const before = await adjusted(page);
  await (await page.$('#s1p')).uploadFile(bad);
  await page.waitForFunction((n) => Number(document.body.dataset.adjusted) > n, {}, before);
  assert.equal(await page.$eval('#s1p-error', (e) => e.textContent), 'Line 4 of mast.s1p: "O.2" is not a number.');
  const good = path.join(dir, 'good.s1p');
  writeFileSync(good, '# MHz Z RI R 50\n14.0 0.8 0.2\n14.6 0.8 0.2\n');
  const again = await adjusted(page);
  await (await page.$('#s1p')).uploadFile(good);
  await page.waitForFunction((n) => Number(document.body.dataset.adjusted) > n, {}, again);
  rmSync(dir, { recursive: true, force: true });
  assert.equal(await answer(page, 'reading'), "at 14.3 MHz, between the file's 2 points: 40.00 + j10.00 ohms (SWR 1.37)");
  assert.equal(await answer(page, 'nextRod'), '42.11 in');
  assert.equal(await answer(page, 'lowestNow'), '1.37 at 14 MHz'); // both points alike: the first
  assert.match(await answer(page, 'lowestNext'), /^1\.0[0-2] at 14(\.6)? MHz$/);
  await page.close();
});

test('no request leaves the site', () => {
  assert.ok(requests.length > 0);
  assert.deepEqual(requests.filter((url) => !url.startsWith(site.url)), []);
});
