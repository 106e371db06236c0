// Builds the task pane into build/web/pane/ (after the audio core, preset web): the page for Outlook (Office.js from Microsoft),
// the same page on the simulated host (taskpane-sim.html, host.html), the worklet, the encoder
// worker with the audio core, and the artwork. Tests are bundled into build/web/test/.
// Usage: node build.mjs [--dist DIR --web-url URL --version X.Y.Z]
import { build } from 'esbuild';
import { copyFileSync, existsSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..');
const core = join(root, 'build', 'web');
const out = join(core, 'pane');
const { values: args } = parseArgs({ options: { dist: { type: 'string' }, 'web-url': { type: 'string' }, version: { type: 'string' } } });

const OfficeJs = '<script src="https://appsforoffice.microsoft.com/lib/1/hosted/office.js"></script>';
const common = { bundle: true, minify: true, sourcemap: false, target: 'chrome110', logLevel: 'warning' };

rmSync(out, { recursive: true, force: true });
mkdirSync(join(out, 'assets'), { recursive: true });
await build({
  ...common,
  format: 'esm',
  outdir: out,
  entryPoints: {
    taskpane: join(here, 'src', 'taskpane.ts'),
    'capture.worklet': join(here, 'src', 'capture.worklet.ts'),
    'encoder.worker': join(here, 'src', 'encoder.worker.ts'),
  },
});
await build({
  ...common,
  format: 'iife',
  outdir: out,
  entryPoints: { host: join(here, 'host', 'host.ts'), 'office-sim': join(here, 'host', 'paneOffice.ts') },
});
// The audio core's module and its .wasm beside the worker that loads them.
for (const f of existsSync(core) ? readdirSync(core) : [])
  if (/^kestova_core\.(wasm|mjs)$/.test(f)) copyFileSync(join(core, f), join(out, f));

const page = readFileSync(join(here, 'src', 'taskpane.html'), 'utf8');
writeFileSync(join(out, 'taskpane.html'), page.replace('<!--office.js-->', OfficeJs));
writeFileSync(join(out, 'taskpane-sim.html'), page.replace('<!--office.js-->', '<script src="office-sim.js"></script>'));
copyFileSync(join(here, 'host', 'host.html'), join(out, 'host.html'));
copyFileSync(join(here, 'src', 'taskpane.css'), join(out, 'taskpane.css'));
copyFileSync(join(root, 'ui', 'art', 'banner.jpg'), join(out, 'assets', 'banner.jpg'));
for (const size of [16, 32, 80]) copyFileSync(join(root, 'ui', 'art', `icon${size}.png`), join(out, 'assets', `icon${size}.png`));

// The unit tests run in Node against the same sources.
const unit = join(here, 'test', 'unit');
const tests = readdirSync(unit).filter((f) => f.endsWith('.test.ts'));
rmSync(join(core, 'test'), { recursive: true, force: true });
await build({
  ...common,
  minify: false,
  platform: 'node',
  format: 'esm',
  outdir: join(core, 'test'),
  outExtension: { '.js': '.mjs' },
  entryPoints: tests.map((f) => join(unit, f)),
  external: ['node:*'],
});

if (args.dist) {
  const url = (args['web-url'] ?? '').replace(/\/+$/, '');
  if (!/^https:\/\/[^\s"<>&]+$/.test(url)) throw new Error(`--web-url must be an https:// address, not "${url}"`);
  rmSync(args.dist, { recursive: true, force: true });
  mkdirSync(join(args.dist, 'assets'), { recursive: true });
  // Only what Outlook loads: no simulated host.
  for (const f of readdirSync(out))
    if (!/^(host|office-sim|taskpane-sim)\b/.test(f) && f !== 'assets') copyFileSync(join(out, f), join(args.dist, f));
  for (const f of readdirSync(join(out, 'assets'))) copyFileSync(join(out, 'assets', f), join(args.dist, 'assets', f));
  const version = `${args.version ?? '1.0.0'}.0`.split('.').slice(0, 4).join('.');
  const commands = readFileSync(join(here, 'commands.xml.in'), 'utf8').replace(/^<!--.*-->\n/, '').trimEnd();
  const manifest = readFileSync(join(here, 'manifest.xml.in'), 'utf8')
    .replace(/^( *)@COMMANDS@$/gm, (_, indent) => commands.replace(/^/gm, indent))
    .replaceAll('@WEB_URL@', url)
    .replaceAll('@VERSION@', version);
  writeFileSync(join(args.dist, 'manifest.xml'), manifest);
}
