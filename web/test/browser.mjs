// Debian's Chromium, headless, driven by playwright-core: the task pane on the simulated host.
import { chromium } from 'playwright-core';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from './serve.mjs';

export const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const pane = join(root, 'build', 'web', 'pane');

// Without the network flags Chromium keeps trying Google's hosts on a closed network.
const quiet = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=no-user-gesture-required',
];

// microphone: a WAV file as the fake microphone, 'fake' for Chromium's own beeping one, 'none'
// for no microphone at all, 'system' for the default PulseAudio source. prompt: 'accept' answers the browser's microphone prompt,
// 'deny' refuses it.
export async function launch({ microphone = 'none', prompt = 'accept', headless = true } = {}) {
  const args = [...quiet];
  if (prompt === 'accept') args.push('--use-fake-ui-for-media-stream');
  if (microphone !== 'system') args.push('--use-fake-device-for-media-stream');
  if (!['system', 'none', 'fake'].includes(microphone)) args.push(`--use-file-for-fake-audio-capture=${microphone}`);
  const env = { ...process.env };
  // No device: no fake one and no sound server to find a real one.
  if (microphone === 'none') {
    args.splice(args.indexOf('--use-fake-device-for-media-stream'), 1);
    env.PULSE_SERVER = 'unix:/nonexistent';
  }
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless, args, env });
  const { server, url } = await serve(pane);
  return {
    browser,
    url,
    async close() {
      await browser.close();
      server.close();
    },
  };
}

// Opens the simulated compose page with `query` (see host/host.ts) and waits for the recorder.
export async function openPane(session, query = '', viewport = { width: 900, height: 640 }, scale = 1) {
  const context = await session.browser.newContext({ viewport, deviceScaleFactor: scale });
  const page = await context.newPage();
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.goto(`${session.url}/host.html${query ? `?${query}` : ''}`);
  const frame = page.frameLocator('#pane');
  await frame.getByText("Click 'Record' button to start").waitFor({ timeout: 20000 });
  return { context, page, frame };
}

// Fluent's buttons take their role from ElementInternals, which Playwright's role query does
// not read: found by their text.
export function button(frame, name) {
  return frame.locator('fluent-button:visible, button:visible').filter({ hasText: new RegExp(`^\\s*${name}\\s*$`) });
}

export function enabled(locator) {
  return locator.evaluate((e) => !e.matches(':disabled'));
}

export async function attachments(page) {
  return page.evaluate(() => window.kestovaHost.attachments.map((a) => ({ ...a })));
}

// A WAV of `parts` ([seconds, Hz or 0 for silence], ...), stereo 48 kHz, by sox.
export function wav(parts) {
  const dir = mkdtempSync(join(tmpdir(), 'kestova-wav-'));
  const files = parts.map(([seconds, hz], i) => {
    const file = join(dir, `${i}.wav`);
    const synth = hz > 0 ? ['synth', String(seconds), 'sine', String(hz), 'vol', '0.5'] : ['trim', '0', String(seconds)];
    execFileSync('sox', ['-q', '-n', '-r', '48000', '-c', '2', '-b', '16', file, ...synth]);
    return file;
  });
  const out = join(dir, 'mic.wav');
  execFileSync('sox', ['-q', ...files, out]);
  return { file: out, remove: () => rmSync(dir, { recursive: true, force: true }) };
}

// Decodes an MP3 with mpg123: { rate, channels, kbps, samples (Int16Array, interleaved), bytes }.
export function decode(base64) {
  const dir = mkdtempSync(join(tmpdir(), 'kestova-mp3-'));
  try {
    const mp3 = join(dir, 'a.mp3');
    writeFileSync(mp3, Buffer.from(base64, 'base64'));
    const raw = execFileSync('mpg123', ['-q', '-s', mp3], { maxBuffer: 1 << 28 });
    const header = execFileSync('bash', ['-c', `mpg123 -t -v "${mp3}" 2>&1 | grep -a -m1 '^MPEG' || true`], { encoding: 'latin1' });
    const rate = Number(/(\d+) Hz/.exec(header)?.[1] ?? /, (\d+),/.exec(header)?.[1] ?? 22050);
    const channels = /mono/i.test(header) ? 1 : 2;
    const kbps = Number(/cbr(\d+)/.exec(header)?.[1] ?? 0);
    return { rate, channels, kbps, samples: new Int16Array(raw.buffer, raw.byteOffset, raw.length >> 1), bytes: readFileSync(mp3) };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// The strength of `hz` in the first channel (Goertzel), relative to the signal's power.
export function toneShare(decoded, hz, from = 0, to = Infinity) {
  const { rate, channels, samples } = decoded;
  const first = Math.floor(from * rate), last = Math.min(samples.length / channels, Math.floor(to * rate));
  const w = (2 * Math.PI * hz) / rate, c = 2 * Math.cos(w);
  let s1 = 0, s2 = 0, power = 0;
  for (let i = first; i < last; i++) {
    const x = samples[i * channels] / 32768;
    power += x * x;
    const s = x + c * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  const n = last - first;
  if (n <= 0 || power === 0) return 0;
  const tone = s1 * s1 + s2 * s2 - c * s1 * s2;
  return (2 * tone) / (n * power);
}

// The main frequency in the first channel: zero crossings over the middle of the signal.
export function frequency(decoded) {
  const { rate, channels, samples } = decoded;
  const frames = samples.length / channels;
  const from = Math.floor(frames * 0.2), to = Math.floor(frames * 0.8);
  let crossings = 0;
  for (let i = from + 1; i < to; i++) if ((samples[(i - 1) * channels] < 0) !== (samples[i * channels] < 0)) crossings++;
  return (crossings / 2) * (rate / (to - from));
}
