// What the recorder's status line and bar show, as plain functions of the numbers: the same
// texts as the Windows recorder window.

export const ReadyText = "Click 'Record' button to start";
export const NoSoundText = 'No sound from the microphone. Is it muted?';
export const FailedKeptText = 'Recording failed; the earlier one is kept';

// "m:s", both without leading zeros: 65 -> "1:5".
export function timeText(seconds: number): string {
  return `${Math.trunc(seconds / 60)}:${seconds % 60}`;
}

// Seconds x kbps div 8, in 1000 bytes, with the 32-bit arithmetic of the Windows build.
export function sizeEstimate(seconds: number, kbps: number): number {
  return Math.trunc(Math.imul(seconds, kbps) / 8);
}

export const recordingText = (seconds: number, kbps: number) =>
  `Recording...   ${timeText(seconds)} Size: ${sizeEstimate(seconds, kbps)} k`;
export const finishedText = (seconds: number, kbps: number) => `Stopped. Size: ${sizeEstimate(seconds, kbps)} k`;
export const timeLeftText = (seconds: number, secondsLeft: number) =>
  `Recording...   ${timeText(seconds)} Left: ${timeText(secondsLeft)}`;
export const limitReachedText = (seconds: number, kbps: number) =>
  `Size limit reached. Size: ${sizeEstimate(seconds, kbps)} k`;
export const playingText = (seconds: number) => `Playing...   ${timeText(seconds)}`;

// The bar's full scale.
export const BarMax = 300;

// The encoder reports its level as 0..1 of full scale.
export function levelBar(level: number): number {
  const scaled = Math.round(level * BarMax);
  return scaled > 0 ? Math.min(scaled, BarMax) : 0;
}

export function playBar(seconds: number, lengthSeconds: number): number {
  return lengthSeconds > 0 ? Math.min(BarMax, Math.trunc((seconds * BarMax) / lengthSeconds)) : 0;
}
