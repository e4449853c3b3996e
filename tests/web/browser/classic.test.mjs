// SPDX-License-Identifier: GPL-3.0-or-later
// The classic page in headless Chromium from a local server: typing, the
// buttons, the results and messages the desktop window shows, the address
// round trip, the keyboard, a phone-width layout, and the single-file page
// from file://.
//   node classic.test.mjs SITE_DIR [SCREENSHOT_DIR]
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
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

async function open(query = '', width = 1100) {
  const page = await chromium.newPage();
  await page.setViewport({ width, height: 800 });
  page.on('request', (request) => requests.push(request.url()));
  await page.goto(site.url + 'index.html' + query);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

const results = (page) => page.$$eval('dl#results output', (outputs) => outputs.map((o) => o.value));
const message = (page) => page.$eval('#message', (m) => (m.hidden ? null : m.textContent));
const query = (page) => new URL(page.url()).search;

// The README's figures: INCHES at 14.2 MHz, and vostrel-chart --cm.
const inches142 = ['6.099', '47.687', '10.876', '126.761', '8.451'];
const cm142 = ['15.492', '120.423', '27.465', '126.761', '21.465'];
const cm285 = ['10.331', '60', '13.684', '63.158', '10.695'];

test('the address computes on load, in either unit', async () => {
  const page = await open('?freq=14.2&unit=in');
  assert.deepEqual(await results(page), inches142);
  await page.goto(site.url + 'index.html?freq=14.2&unit=cm');
  await page.waitForSelector('body[data-ready="true"]');
  assert.deepEqual(await results(page), cm142);
  await page.close();
});

test('typing and the buttons give the window\'s results and keep the address in step', async () => {
  const page = await open();
  assert.deepEqual(await results(page), ['00.0', '00.0', '00.0', '00.0  pf', '00.0']);
  // The box opens focused with its 00.0 selected: typing replaces it.
  await page.keyboard.type('28.5');
  assert.equal(query(page), '?freq=28.5');
  await page.click('#cm');
  assert.deepEqual(await results(page), cm285);
  assert.equal(query(page), '?freq=28.5&unit=cm');
  await page.click('#inches');
  assert.equal(query(page), '?freq=28.5&unit=in');
  assert.equal((await results(page))[3], '63.158');
  // Once a unit is chosen the results follow the typing.
  await page.click('#freq', { clickCount: 3 });
  await page.keyboard.type('14.2');
  assert.deepEqual(await results(page), inches142);
  assert.equal(query(page), '?freq=14.2&unit=in');
  await page.close();
});

test('a failure shows the window\'s message and keeps the results', async () => {
  const page = await open('?freq=14.2&unit=in');
  assert.equal(await message(page), null);
  await page.click('#freq', { clickCount: 3 });
  await page.keyboard.type('0');
  assert.equal(await message(page), null, 'no message while typing');
  await page.click('#inches');
  assert.equal(await message(page),
    'Type the operating frequency in MHz, for example 14.2: the frequency is 0 (division by zero).');
  assert.deepEqual(await results(page), inches142);
  await page.click('#freq', { clickCount: 3 });
  await page.keyboard.type('14,2');
  await page.click('#cm');
  assert.equal(await message(page),
    'Type the frequency with a point, for example 14.2: decimals are written with a point here (conversion error).');
  await page.click('#freq', { clickCount: 3 });
  await page.keyboard.type('28.5');
  await page.click('#cm');
  assert.equal(await message(page), null, 'a good result clears the message');
  await page.close();
});

test('the keyboard alone: Enter in the box, Tab to CM and Space', async () => {
  const page = await open();
  await page.keyboard.type('14.2');
  await page.keyboard.press('Enter');
  assert.deepEqual(await results(page), inches142);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'cm');
  await page.keyboard.press('Space');
  assert.deepEqual(await results(page), cm142);
  await page.close();
});

test('a shared link shows the same results: the address round trip', async () => {
  const page = await open();
  await page.keyboard.type('7.1');
  await page.click('#cm');
  const shown = await results(page);
  const link = page.url();
  const again = await chromium.newPage();
  await again.goto(link);
  await again.waitForSelector('body[data-ready="true"]');
  assert.deepEqual(await results(again), shown);
  assert.equal(await again.$eval('#freq', (f) => f.value), '7.1');
  await again.close();
  await page.close();
});

test('labels and a live region for screen readers', async () => {
  const page = await open();
  const labelled = await page.evaluate(() => ({
    field: document.getElementById('freq').labels[0].textContent,
    live: document.getElementById('status').getAttribute('aria-live'),
    alert: document.getElementById('message').getAttribute('role'),
    outputs: [...document.querySelectorAll('output')].map((o) =>
      document.getElementById(o.getAttribute('aria-labelledby')).textContent),
  }));
  assert.deepEqual(labelled, {
    field: 'FREQUENCY IN MHZ', live: 'polite', alert: 'alert',
    outputs: ['SPACING', 'TAP POINT LENGTH', 'TUBE LENGTH', 'CAPACITOR VALUE', 'Capacitor (gamma rod) insertion length'],
  });
  await page.close();
});

test('a 360 px phone screen: one column, nothing wider than the screen', async () => {
  mkdirSync(shotDir, { recursive: true });
  const page = await open('?freq=14.2&unit=in', 360);
  const widths = await page.evaluate(() => ({ page: document.documentElement.scrollWidth, screen: innerWidth }));
  assert.ok(widths.page <= widths.screen, `the page is ${widths.page} px wide on a ${widths.screen} px screen`);
  const box = await page.$eval('#inches', (b) => b.getBoundingClientRect().height);
  assert.ok(box >= 44, `buttons are ${box} px high, too small to tap`);
  await page.screenshot({ path: path.join(shotDir, 'classic-360.png'), fullPage: true });
  await page.setViewport({ width: 1100, height: 720 });
  await page.screenshot({ path: path.join(shotDir, 'classic-desktop.png') });
  await page.close();
});

test('no request leaves the site', () => {
  assert.ok(requests.length > 0);
  const elsewhere = requests.filter((url) => !url.startsWith(site.url));
  assert.deepEqual(elsewhere, []);
});

test('the single-file page works from file://', async () => {
  const page = await chromium.newPage();
  const address = pathToFileURL(path.join(siteDir, 'vostrel-offline.html')).href + '?freq=14.2&unit=cm';
  await page.goto(address);
  await page.waitForSelector('body[data-ready="true"]');
  assert.deepEqual(await results(page), cm142);
  await page.close();
});
