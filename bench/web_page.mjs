// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the web page, printed, never a pass or fail: the time from
// navigation to the first result shown in headless Chromium from a local
// server, and the size of the site's own code gzipped.
//   node bench/web_page.mjs SITE_DIR [RUNS]
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import path from 'node:path';
import { serve, browser } from '../tests/web/browser/site.mjs';

const siteDir = path.resolve(process.argv[2] || 'build/web/site');
const runs = Number(process.argv[3] || 21);

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};

const site = await serve(siteDir);
const chromium = await browser();
try {
  for (const cache of ['cold', 'warm']) {
    const times = [];
    const context = await chromium.createBrowserContext();
    for (let i = 0; i < runs; ++i) {
      const page = await (cache === 'cold' ? (await chromium.createBrowserContext()) : context).newPage();
      await page.setCacheEnabled(cache === 'warm');
      await page.goto(site.url + 'index.html?freq=14.2&unit=in');
      await page.waitForFunction(() => performance.getEntriesByName('vostrel-first-result').length > 0);
      times.push(await page.evaluate(() => performance.getEntriesByName('vostrel-first-result')[0].startTime));
      await page.close();
    }
    await context.close();
    console.log(`navigation to the first result (${cache} cache), median of ${runs}: ${median(times).toFixed(1)} ms ` +
      `(min ${Math.min(...times).toFixed(1)}, max ${Math.max(...times).toFixed(1)})`);
  }
} finally {
  await chromium.close();
  await site.close();
}

const own = ['vostrel.wasm', 'vostrel.js', 'classic.js', 'designer.js', 'index.html', 'designer.html', 'site.css'];
let total = 0;
for (const file of own) {
  const bytes = readFileSync(path.join(siteDir, file));
  const gzipped = gzipSync(bytes, { level: 9 }).length;
  total += gzipped;
  console.log(`${file}: ${bytes.length} bytes, ${gzipped} gzipped`);
}
console.log(`the site's own code and pages: ${total} bytes gzipped (diagram and uPlot aside)`);
