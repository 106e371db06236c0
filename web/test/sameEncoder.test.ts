// The WebAssembly core writes the file zelt.dll writes: the same PCM through the recorder's
// native chain (LAME built from the same source, without x86 SIMD) and through the module.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { test } from 'node:test';
import { Mp3Encoder } from '../src/mp3Encoder';
import { encodeInWasm, encodeNatively, loadCore, voiceLikePcm } from './nodeCore';

function decoded(mp3: Uint8Array): Int16Array {
  const raw = execFileSync('mpg123', ['-q', '-s', '-'], { input: mp3, maxBuffer: 1 << 26 });
  return new Int16Array(raw.buffer, raw.byteOffset, raw.byteLength >> 1);
}

function snrDb(reference: Int16Array, other: Int16Array): number {
  let signal = 0;
  let noise = 0;
  for (let i = 0; i < Math.min(reference.length, other.length); i++) {
    signal += reference[i] ** 2;
    noise += (reference[i] - other[i]) ** 2;
  }
  return noise === 0 ? Infinity : 10 * Math.log10(signal / noise);
}

function firstDifference(a: Uint8Array, b: Uint8Array): number {
  for (let i = 0; i < Math.min(a.length, b.length); i++) if (a[i] !== b[i]) return i;
  return a.length === b.length ? -1 : Math.min(a.length, b.length);
}

test('Same encoder: 5 s through the native chain and the WebAssembly one', async () => {
  const core = await loadCore();
  const pcm = voiceLikePcm(5);
  for (const kbps of [64, 8]) {
    const native = encodeNatively(pcm, kbps).mp3;
    const wasm = encodeInWasm(core, pcm, kbps);
    assert.equal(wasm[0], 0x4d, 'the recording mark');
    assert.equal(Buffer.from(wasm.subarray(-128, -128 + 14)).toString('latin1'), 'TAGVoice Email');
    const at = firstDifference(native, wasm);
    if (at >= 0) {
      // Floating point may part them; then the frames and the sound must still be the same,
      // the sound within 60 dB.
      assert.equal(wasm.length, native.length, `${kbps} kbps: not the same frames`);
      const snr = snrDb(decoded(native), decoded(wasm));
      console.log(`${kbps} kbps: files part at byte ${at} of ${native.length}; decoded SNR ${snr.toFixed(1)} dB`);
      assert.ok(snr >= 60, `decoded signals differ: SNR ${snr.toFixed(1)} dB`);
    }
  }
});

test('Same encoder: a rate the Options list lacks is refused', async () => {
  const core = await loadCore();
  assert.throws(() => new Mp3Encoder(core, 192), /192 kbps is not one of the choices/);
});
