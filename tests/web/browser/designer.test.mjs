// SPDX-License-Identifier: GPL-3.0-or-later
// The designer page in headless Chromium from a local server: the worked
// example on load, typing, a bad field, no match, the sliders, the three
// plots, the address round trip and a phone-width layout.
//   node designer.test.mjs SITE_DIR [SCREENSHOT_DIR]
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
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

test('no request leaves the site', () => {
  assert.ok(requests.length > 0);
  assert.deepEqual(requests.filter((url) => !url.startsWith(site.url)), []);
});
