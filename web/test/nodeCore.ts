// The WebAssembly core and the native chain as Node reaches them, for the checks and the
// benchmark: paths come from the build (ctest sets them; ./kestova bench too).
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import type { KestovaCore } from '../core/kestova_core';
import { Mp3Encoder } from '../src/mp3Encoder';

export const webBuild = process.env.KESTOVA_WEB_BUILD ?? 'build/web';
export const nativeChain = process.env.KESTOVA_NATIVE_CHAIN ?? 'build/native/tests/web/web_native_chain';

export async function loadCore(): Promise<KestovaCore> {
  const module = await import(pathToFileURL(join(webBuild, 'kestova_core.mjs')).href);
  return module.default({ wasmBinary: readFileSync(join(webBuild, 'kestova_core.wasm')) });
}

// A voice-like signal at 22050 Hz stereo: a 440 Hz tone with a slow tremolo and a little
// noise, so the encoder does not coast on a pure sine; both channels alike.
export function voiceLikePcm(seconds: number): Int16Array {
  const rate = 22050;
  const pcm = new Int16Array(seconds * rate * 2);
  let noise = 12345;
  for (let i = 0; i < seconds * rate; i++) {
    noise = (Math.imul(noise, 1664525) + 1013904223) >>> 0;
    const tremolo = 0.6 + 0.4 * Math.sin((2 * Math.PI * 3 * i) / rate);
    const v = 12000 * tremolo * Math.sin((2 * Math.PI * 440 * i) / rate) + ((noise >>> 20) - 2048);
    pcm[2 * i] = pcm[2 * i + 1] = Math.round(v);
  }
  return pcm;
}

// As the task pane's capture hands it over: 100 ms a message.
const pushFrames = 2205;

// The same PCM through the module, pushed in the capture's blocks.
export function encodeInWasm(core: KestovaCore, pcm: Int16Array, kbps: number): Uint8Array {
  const encoder = new Mp3Encoder(core, kbps);
  for (let at = 0; at < pcm.length; at += pushFrames * 2) encoder.push(pcm.subarray(at, at + pushFrames * 2));
  return new Uint8Array(encoder.finish());
}

export interface NativeRun {
  mp3: Uint8Array;
  cpuSeconds: number;
}

// The recorder's chain in the native program, `runs` times over the same PCM.
export function encodeNatively(pcm: Int16Array, kbps: number, runs = 1): NativeRun {
  const folder = mkdtempSync(join(tmpdir(), 'kestova-web-'));
  const input = join(folder, 'in.pcm');
  const output = join(folder, 'out.mp3');
  writeFileSync(input, new Uint8Array(pcm.buffer, pcm.byteOffset, pcm.byteLength));
  const report = execFileSync(nativeChain, [String(kbps), input, output, String(runs)], { encoding: 'utf8' });
  const cpu = /cpu_seconds ([\d.]+)/.exec(report);
  if (!cpu) throw new Error(`no CPU time from ${nativeChain}: ${report}`);
  return { mp3: new Uint8Array(readFileSync(output)), cpuSeconds: Number(cpu[1]) };
}
