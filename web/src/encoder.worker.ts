// The encoder worker: the recording's PCM goes through the level stage and the MP3 writer of
// the WebAssembly core here, so the task pane never waits for LAME.
//
// The core (kestova_core.mjs and kestova_core.wasm, from build/web/) is loaded at run time from
// beside this worker's own file, by URL: serve the three from one folder. A bundler leaves the
// import alone, since its address is only known then.
import type { KestovaCore } from '../core/kestova_core';
import { Mp3Encoder } from './mp3Encoder';

export type EncoderRequest =
  | { type: 'start'; bitRate: number }
  | { type: 'pcm'; pcm: Int16Array }
  | { type: 'finish' };

export type EncoderReport =
  | { type: 'progress'; bytes: number; seconds: number; level: number }
  | { type: 'done'; mp3: ArrayBuffer; seconds: number }
  | { type: 'error'; message: string };

const scope = self as unknown as {
  onmessage: ((event: MessageEvent<EncoderRequest>) => void) | null;
  postMessage(message: EncoderReport, transfer?: Transferable[]): void;
};

const coreUrl = new URL('./kestova_core.mjs', import.meta.url).href;
const core: Promise<KestovaCore> = import(coreUrl).then(
  (module: typeof import('../core/kestova_core')) =>
    module.default({ locateFile: (path) => new URL(path, coreUrl).href }),
);

let encoder: Mp3Encoder | null = null;
// Requests are handled one after another, as they came, while the core loads.
let queue: Promise<void> = Promise.resolve();

function handle(request: EncoderRequest, loaded: KestovaCore): void {
  switch (request.type) {
    case 'start':
      encoder = new Mp3Encoder(loaded, request.bitRate);
      return;
    case 'pcm': {
      const level = running().push(request.pcm);
      scope.postMessage({ type: 'progress', bytes: running().bytes, seconds: running().seconds, level });
      return;
    }
    case 'finish': {
      const seconds = running().seconds;
      const mp3 = running().finish();
      encoder = null;
      scope.postMessage({ type: 'done', mp3, seconds }, [mp3]);
    }
  }
}

function running(): Mp3Encoder {
  if (!encoder) throw new Error('No recording is being encoded');
  return encoder;
}

scope.onmessage = (event) => {
  const request = event.data;
  queue = queue
    .then(() => core)
    .then((loaded) => handle(request, loaded))
    .catch((error: unknown) => {
      // A failed recording ends here, and the pane ends the worker.
      encoder?.close();
      encoder = null;
      scope.postMessage({ type: 'error', message: error instanceof Error ? error.message : String(error) });
    });
};
