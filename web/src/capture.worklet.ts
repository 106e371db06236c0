// Runs on the audio thread: resamples what the microphone delivers and posts it to the task
// pane in blocks of 0.1 s, each an Int16Array of interleaved stereo at 22050 Hz (transferred).
// Any message from the pane asks for the partial block, which comes before the 'flushed' marker.
import { OutRate, Resampler } from './resampler';

declare const sampleRate: number;
declare function registerProcessor(name: string, processor: unknown): void;
declare class AudioWorkletProcessor {
  readonly port: MessagePort;
}

const BlockFrames = OutRate / 10;

class CaptureProcessor extends AudioWorkletProcessor {
  private readonly resampler = new Resampler(sampleRate);
  private block = new Int16Array((BlockFrames + 1024) * 2);
  private used = 0;

  constructor() {
    super();
    this.port.onmessage = () => {
      this.post();
      this.port.postMessage('flushed');
    };
  }

  process(inputs: Float32Array[][]): boolean {
    const channels = inputs[0];
    if (!channels || channels.length === 0) return true;
    this.used = this.resampler.push(channels[0], channels[1] ?? channels[0], this.block, this.used);
    if (this.used >= BlockFrames * 2) this.post();
    return true;
  }

  private post(): void {
    if (this.used === 0) return;
    const block = this.block.slice(0, this.used);
    this.port.postMessage(block, [block.buffer]);
    this.used = 0;
  }
}

registerProcessor('kestova-capture', CaptureProcessor);
