// Builds the static site: one index.html that carries everything it needs (its script,
// the worker's script, both programs, the sample table), so that it opens from a local
// folder as well as from any server. Usage:
//   node build.mjs --wasm DIR --sample FILE --out DIR
import { build } from 'esbuild';
import { mkdir, readFile, writeFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const here = dirname(fileURLToPath(import.meta.url));
const { values } = parseArgs({ options: { wasm: { type: 'string' }, sample: { type: 'string' }, out: { type: 'string' } } });
for (const name of ['wasm', 'sample', 'out']) {
  if (!values[name]) throw new Error(`build.mjs: --${name} is missing`);
}

async function bundle(entry, format) {
  const result = await build({
    entryPoints: [join(here, 'src', entry)],
    bundle: true,
    format,
    target: 'es2022',
    minify: true,
    legalComments: 'inline',
    write: false,
  });
  return result.outputFiles[0].text;
}

// Inside a script element only "</script" could end it early.
const inScript = (code) => code.replaceAll('</script', '<\\/script');

const [main, worker, template, style, sample, allocate, optimum] = await Promise.all([
  bundle('main.js', 'esm'),
  bundle('worker.js', 'iife'),
  readFile(join(here, 'src', 'index.html'), 'utf8'),
  readFile(join(here, 'src', 'style.css'), 'utf8'),
  readFile(values.sample, 'utf8'),
  readFile(join(values.wasm, 'allocate.wasm')),
  readFile(join(values.wasm, 'allocate-optimum.wasm')),
]);

const parts = {
  '/*STYLE*/': style,
  '/*SAMPLE*/': sample,
  '/*WORKER*/': inScript(worker),
  '/*ALLOCATE_WASM*/': allocate.toString('base64'),
  '/*OPTIMUM_WASM*/': optimum.toString('base64'),
  '/*MAIN*/': inScript(main),
};
let page = template;
for (const [mark, content] of Object.entries(parts)) {
  if (!page.includes(mark)) throw new Error(`build.mjs: ${mark} is not in index.html`);
  page = page.replace(mark, () => content);
}
// The licences of what the page carries from npm, beside it.
const bundled = [
  ['chart.js', 'LICENSE.md'],
  ['@kurkle/color', 'LICENSE.md'],
  ['@bjorn3/browser_wasi_shim', 'LICENSE-MIT'],
];
const notices = await Promise.all(bundled.map(async ([name, file]) => {
  const { version } = JSON.parse(await readFile(join(here, 'node_modules', name, 'package.json'), 'utf8'));
  const text = await readFile(join(here, 'node_modules', name, file), 'utf8');
  return `${name} ${version}\n${'='.repeat(name.length + version.length + 1)}\n\n${text.trim()}\n`;
}));

await mkdir(values.out, { recursive: true });
await writeFile(join(values.out, 'index.html'), page);
await writeFile(join(values.out, 'THIRD-PARTY-LICENSES.txt'), `The page carries these npm packages:\n\n${notices.join('\n')}`);
console.log(`web: ${join(values.out, 'index.html')} (${Math.round(page.length / 1024)} kB)`);
