// One recording's encoder over the WebAssembly core: PCM in, the finished MP3 file out.
import type { EncoderHandle, KestovaCore } from '../core/kestova_core';
import { OutRate } from './resampler';

export class Mp3Encoder {
  private handle: EncoderHandle;
  private frames = 0;

  // Raises for a bit rate the Options list does not hold.
  constructor(private readonly core: KestovaCore, bitRate: number) {
    this.handle = core._kestova_encoder_open(bitRate);
    if (!this.handle || core._kestova_encoder_error(this.handle)) this.fail();
  }

  get seconds(): number {
    return this.frames / OutRate;
  }

  get bytes(): number {
    return this.core._kestova_encoder_size(this.live());
  }

  // Interleaved stereo; answers the level bar's value, 0..1.
  push(pcm: Int16Array): number {
    const handle = this.live();
    const frames = pcm.length >> 1;
    const room = this.core._kestova_encoder_pcm(handle, frames);
    if (!room) this.fail();
    this.core.HEAP16.set(pcm.subarray(0, frames * 2), room >> 1);
    const level = this.core._kestova_encoder_push(handle, frames);
    if (level < 0) this.fail();
    this.frames += frames;
    return level;
  }

  // The whole file; the encoder is closed afterwards.
  finish(): ArrayBuffer {
    const handle = this.live();
    if (!this.core._kestova_encoder_finish(handle)) this.fail();
    const data = this.core._kestova_encoder_data(handle);
    const file = this.core.HEAPU8.slice(data, data + this.core._kestova_encoder_size(handle)).buffer;
    this.close();
    return file;
  }

  close(): void {
    if (this.handle) this.core._kestova_encoder_close(this.handle);
    this.handle = 0;
  }

  private live(): EncoderHandle {
    if (!this.handle) throw new Error('The encoder is closed');
    return this.handle;
  }

  private fail(): never {
    const text = this.handle ? this.core._kestova_encoder_error(this.handle) : 0;
    const message = text ? utf8At(this.core.HEAPU8, text) : 'MP3 encoder failed';
    this.close();
    throw new Error(message);
  }
}

function utf8At(heap: Uint8Array, at: number): string {
  let end = at;
  while (heap[end] !== 0) end++;
  return new TextDecoder().decode(heap.subarray(at, end));
}
