// The web core against the native chain: seconds of audio encoded per CPU second, the same
// 30 s of PCM at 64 kbps through the WebAssembly module in Node and through the recorder's
// native chain (optimised build, LAME built alike, no x86 SIMD), in one run.
//
// Run: ./kestova bench web
import { encodeInWasm, encodeNatively, loadCore, voiceLikePcm } from '../../web/test/nodeCore';

const seconds = 30;
const runs = 10;

function cpuSeconds(): number {
  const usage = process.cpuUsage();
  return (usage.user + usage.system) / 1e6;
}

const core = await loadCore();
const pcm = voiceLikePcm(seconds);
const encodeOnce = () => encodeInWasm(core, pcm, 64);
encodeOnce();  // compiled and warm, as in a worker after its first block
const start = cpuSeconds();
for (let run = 0; run < runs; run++) encodeOnce();
const wasm = (seconds * runs) / (cpuSeconds() - start);
const native = (seconds * runs) / encodeNatively(pcm, 64, runs).cpuSeconds;
console.log(`wasm chain:   ${wasm.toFixed(1)} audio s per CPU s`);
console.log(`native chain: ${native.toFixed(1)} audio s per CPU s`);
console.log(`wasm / native: ${(wasm / native).toFixed(2)} (aim: at least 0.5)`);
