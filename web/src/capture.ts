// The microphone: getUserMedia with the browser's voice processing off (it changes the level
// the user hears back and what the encoder gets), an AudioContext at the device's own rate, and
// the capture worklet, which hands over 22050 Hz stereo 16-bit blocks.

export class CaptureError extends Error {
  constructor(message: string) {
    super(message);
    this.name = 'CaptureError';
  }
}

export interface Microphone {
  deviceId: string;
  label: string;
}

export async function listMicrophones(): Promise<Microphone[]> {
  if (!navigator.mediaDevices?.enumerateDevices) return [];
  const devices = await navigator.mediaDevices.enumerateDevices();
  // Labels stay empty until the page has been allowed the microphone once.
  return devices
    .filter((d) => d.kind === 'audioinput' && d.deviceId !== 'default' && d.label !== '')
    .map((d) => ({ deviceId: d.deviceId, label: d.label }));
}

// A graph that no longer runs may never answer the flush.
const FlushTimeoutMs = 1000;

export class Capture {
  onBlock: (pcm: Int16Array) => void = () => {};
  onLost: () => void = () => {};
  private port: MessagePort | undefined;
  private flushed: () => void = () => {};

  private constructor(
    private readonly stream: MediaStream,
    private readonly context: AudioContext,
    readonly label: string,
  ) {}

  // `deviceId` empty for the browser's default microphone.
  static async open(deviceId: string, workletUrl: string): Promise<Capture> {
    if (!navigator.mediaDevices?.getUserMedia || typeof AudioWorkletNode === 'undefined')
      throw new CaptureError('This browser cannot record sound.');
    const audio: MediaTrackConstraints = { echoCancellation: false, noiseSuppression: false, autoGainControl: false };
    if (deviceId) audio.deviceId = { exact: deviceId };
    let stream: MediaStream;
    try {
      stream = await navigator.mediaDevices.getUserMedia({ audio });
    } catch (e) {
      throw captureError(e);
    }
    const track = stream.getAudioTracks()[0];
    const context = new AudioContext({ latencyHint: 'playback' });
    try {
      await context.audioWorklet.addModule(workletUrl);
      const capture = new Capture(stream, context, track?.label ?? '');
      const source = context.createMediaStreamSource(stream);
      const node = new AudioWorkletNode(context, 'kestova-capture', {
        numberOfInputs: 1,
        numberOfOutputs: 1,
        channelCount: 2,
        channelCountMode: 'explicit',
      });
      capture.port = node.port;
      node.port.onmessage = (e: MessageEvent<Int16Array | 'flushed'>) => {
        if (e.data === 'flushed') capture.flushed();
        else capture.onBlock(e.data);
      };
      source.connect(node);
      // The graph runs only what reaches the destination; the node writes silence.
      node.connect(context.destination);
      track?.addEventListener('ended', () => capture.onLost());
      await context.resume();
      return capture;
    } catch (e) {
      stream.getTracks().forEach((t) => t.stop());
      await context.close().catch(() => undefined);
      throw e;
    }
  }

  // Closes once the worklet's last, partial block has gone to onBlock, so Stop keeps the
  // final tenth of a second.
  async finish(): Promise<void> {
    let timer: ReturnType<typeof setTimeout> | undefined;
    await new Promise<void>((resolve) => {
      this.flushed = resolve;
      this.port?.postMessage('flush');
      timer = setTimeout(resolve, FlushTimeoutMs);
    });
    clearTimeout(timer);
    this.close();
  }

  close(): void {
    this.onBlock = () => {};
    this.onLost = () => {};
    this.flushed();
    this.stream.getTracks().forEach((t) => t.stop());
    void this.context.close().catch(() => undefined);
  }
}

function captureError(e: unknown): CaptureError {
  const name = e instanceof DOMException ? e.name : '';
  switch (name) {
    case 'NotAllowedError':
    case 'SecurityError':
      return new CaptureError(
        'Kestova may not use the microphone. Allow the microphone for Outlook in your browser (the lock or ' +
          'microphone icon beside the address) or in your system privacy settings, then press Record again.',
      );
    case 'NotFoundError':
    case 'OverconstrainedError':
      return new CaptureError('No microphone was found. Connect one, then press Record again.');
    case 'NotReadableError':
    case 'AbortError':
      return new CaptureError('The microphone cannot be opened; another program may be using it.');
    default:
      return new CaptureError(`The microphone cannot be opened: ${e instanceof Error ? e.message : e}`);
  }
}
