// SPDX-License-Identifier: GPL-3.0-or-later
// A static server for the built site on 127.0.0.1 (a free port), and
// headless Chromium driven by puppeteer-core: Debian's chromium, no
// browser download. Shared by the page tests and bench/web-page.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.svg': 'image/svg+xml', '.wasm': 'application/wasm', '.png': 'image/png',
};

export async function serve(root) {
  const server = createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    if (!file.startsWith(path.resolve(root))) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => new Promise((r) => server.close(r)) };
}

export async function browser() {
  const profile = mkdtempSync(path.join(tmpdir(), 'vostrel-chromium-'));
  const launched = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
  });
  const close = launched.close.bind(launched);
  launched.close = async () => { await close(); rmSync(profile, { recursive: true, force: true }); };
  return launched;
}
