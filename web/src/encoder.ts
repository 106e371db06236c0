// One recording's encoder: a worker running the audio core (the level stage and the LAME MP3
// writer in WebAssembly), fed blocks of PCM, answering progress and, at the end, the whole file.
import type { EncoderReport } from './encoder.worker';

export interface Progress {
  bytes: number;
  seconds: number;
  level: number;
}

export interface Finished {
  mp3: Uint8Array;
  seconds: number;
}

export class Encoder {
  onProgress: (p: Progress) => void = () => {};
  // The worker failed before it was asked to finish.
  onFailed: () => void = () => {};
  private readonly worker: Worker;
  private readonly result: Promise<Finished>;
  private settle!: { resolve: (f: Finished) => void; reject: (e: Error) => void };

  constructor(workerUrl: string, bitRate: number) {
    this.result = new Promise<Finished>((resolve, reject) => (this.settle = { resolve, reject }));
    // Not unhandled while nobody has asked for it yet.
    this.result.catch(() => undefined);
    this.worker = new Worker(workerUrl, { type: 'module' });
    this.worker.onmessage = (e: MessageEvent<EncoderReport>) => this.receive(e.data);
    this.worker.onerror = (e) => this.fail(e.message || 'the encoder could not start');
    this.worker.postMessage({ type: 'start', bitRate });
  }

  pcm(block: Int16Array): void {
    this.worker.postMessage({ type: 'pcm', pcm: block }, [block.buffer]);
  }

  // The whole file once the worker has flushed it.
  finish(): Promise<Finished> {
    this.onFailed = () => {};
    this.worker.postMessage({ type: 'finish' });
    return this.result;
  }

  cancel(): void {
    this.onFailed = () => {};
    this.fail('cancelled');
  }

  private receive(reply: EncoderReport): void {
    if (reply.type === 'progress') this.onProgress(reply);
    else if (reply.type === 'done') {
      this.settle.resolve({ mp3: new Uint8Array(reply.mp3), seconds: reply.seconds });
      this.worker.terminate();
    } else this.fail(reply.message);
  }

  private fail(message: string): void {
    this.onProgress = () => {};
    this.settle.reject(new Error(message));
    this.worker.terminate();
    this.onFailed();
  }
}
