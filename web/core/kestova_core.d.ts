// The WebAssembly audio core (kestova_core.mjs + kestova_core.wasm): the recorder's level stage
// and MP3 writer, compiled from the same C++ as zelt.dll. Pointers are byte offsets into HEAPU8.

export type EncoderHandle = number;
export type Pointer = number;

export interface KestovaCore {
  HEAPU8: Uint8Array;
  HEAP16: Int16Array;

  // An encoder for 22050 Hz interleaved stereo at one of the Options list's bit rates,
  // with zelt.dll's tag. For any other rate it is failed from the start (see
  // _kestova_encoder_error; close it all the same); 0 only when memory ran out.
  _kestova_encoder_open(kbps: number): EncoderHandle;
  // Room for `frames` frames of PCM, valid until the next call on this encoder; 0 when the
  // encoder failed.
  _kestova_encoder_pcm(encoder: EncoderHandle, frames: number): Pointer;
  // Takes in the frames written at the room; answers the level bar's value (0..1), or -1
  // when the encoder failed (see _kestova_encoder_error).
  _kestova_encoder_push(encoder: EncoderHandle, frames: number): number;
  // Encodes what is left, adds the ID3v1 tag and marks the first byte; 0 on failure.
  _kestova_encoder_finish(encoder: EncoderHandle): number;
  // MP3 bytes written so far, and where they are.
  _kestova_encoder_size(encoder: EncoderHandle): number;
  _kestova_encoder_data(encoder: EncoderHandle): Pointer;
  // The first failure's text (zero-ended UTF-8), or 0.
  _kestova_encoder_error(encoder: EncoderHandle): Pointer;
  _kestova_encoder_close(encoder: EncoderHandle): void;
}

export interface KestovaCoreOptions {
  // The module's bytes; without them the module fetches kestova_core.wasm by URL (browser only).
  wasmBinary?: ArrayBuffer | Uint8Array;
  locateFile?(path: string, prefix: string): string;
}

export default function createKestovaCore(options?: KestovaCoreOptions): Promise<KestovaCore>;
