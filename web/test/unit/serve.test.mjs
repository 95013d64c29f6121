import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from '../../serve.mjs';

test('the server gives the site\'s files and nothing beside it', async () => {
  const dir = mkdtempSync(join(tmpdir(), 'allocate-serve-'));
  mkdirSync(join(dir, 'web'));
  mkdirSync(join(dir, 'web-shots'));
  writeFileSync(join(dir, 'web', 'index.html'), '<!doctype html>');
  writeFileSync(join(dir, 'web-shots', 'secret.txt'), 'no');
  const { server, url } = await serve(join(dir, 'web'), 0);
  try {
    const rows = [
      { path: '', status: 200, type: 'text/html; charset=utf-8' },
      { path: 'index.html', status: 200, type: 'text/html; charset=utf-8' },
      { path: 'missing.js', status: 404 },
      { path: '..%2Fweb-shots/secret.txt', status: 403 },
      { path: '%2e%2e/web-shots/secret.txt', status: 404 },
    ];
    for (const row of rows) {
      const response = await fetch(url + row.path);
      assert.equal(response.status, row.status, row.path);
      if (row.type) assert.equal(response.headers.get('content-type'), row.type, row.path);
      await response.arrayBuffer();
    }
  } finally {
    server.close();
    rmSync(dir, { recursive: true, force: true });
  }
});
