// What the status line of a running recording says beyond its time and size: that the
// microphone hears nothing, how much time the size limit still leaves, and that the limit is
// reached. Fed with every progress report of the encoder.

// Levels under this show as an empty bar (under 4 of 300), as the Windows recorder's floor does.
export const SilenceFloor = 3.5 / 300;
// How long the level must stay under the floor before the recorder says so.
export const SilenceSeconds = 3;
// The share of the limit from which the status line shows the time left.
export const LimitWarningShare = 0.8;
// Audio still in flight when the limit stops a recording: the capture's 0.1 s blocks in the
// worklet, the worker's queue and the encoder's flush.
export const LimitReserveSeconds = 0.5;

export type Note = 'size' | 'timeLeft' | 'noSound' | 'limitReached';

const estimatedBytes = (seconds: number, kbps: number) => seconds * kbps * 125;

export class RecordingWatch {
  private lastSeconds = 0;
  private quietSince = -1; // where the audio under the floor began; -1 while there is sound

  // `limitBytes` of estimated size; 0 for none.
  constructor(private readonly limitBytes: number) {}

  update(seconds: number, level: number, kbps: number): Note {
    if (!(level >= SilenceFloor)) {
      if (this.quietSince < 0) this.quietSince = this.lastSeconds;
    } else {
      this.quietSince = -1;
    }
    this.lastSeconds = seconds;
    const limit = this.limitBytes;
    if (limit > 0 && estimatedBytes(seconds + LimitReserveSeconds, kbps) >= limit) return 'limitReached';
    if (this.quietSince >= 0 && seconds - this.quietSince >= SilenceSeconds) return 'noSound';
    if (limit > 0 && estimatedBytes(seconds, kbps) >= LimitWarningShare * limit) return 'timeLeft';
    return 'size';
  }

  secondsLeft(seconds: number, kbps: number): number {
    if (kbps <= 0) return 0;
    return Math.max(0, (this.limitBytes - estimatedBytes(seconds, kbps)) / estimatedBytes(1, kbps));
  }
}
