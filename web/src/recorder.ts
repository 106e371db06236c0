// The recorder in the task pane: the Windows recorder window's controls, states and texts.
// Record, Pause/Resume, Stop, Play, OK and Cancel; the level bar; the status line. OK attaches
// the recording to the mail being composed and says what happened; the task pane stays open.
import { attachRecording, AttachmentName, describe } from './attach';
import { Capture, listMicrophones } from './capture';
import { Encoder, Finished, Progress } from './encoder';
import { askForMicrophone, ReloadedKey } from './permissions';
import { Note, RecordingWatch } from './recordingWatch';
import { StoredSettings } from './settings';
import * as texts from './voiceTexts';
import { OptionsPanel } from './optionsPanel';

// The largest file Outlook takes (25 MB); a size limit of our own stops a recording before.
const OutlookLimitBytes = 25e6;

type Button = HTMLElement & { disabled: boolean };
const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

// One recording from Record to the encoder's last byte.
interface Run {
  encoder: Encoder;
  capture?: Capture;
  watch: RecordingWatch;
  paused: boolean;
  stopped: boolean;
  limitReached: boolean;
  lost: boolean;
  end?: Promise<boolean>; // false when encoding failed
}

export class Recorder {
  private readonly state = byId<HTMLElement>('state');
  private readonly bar = byId<HTMLElement>('pbPlay');
  private readonly notice = byId<HTMLElement>('notice');
  private readonly actRecord = byId<Button>('actRecord');
  private readonly actPlay = byId<Button>('actPlay');
  private readonly actPause = byId<Button>('actPause');
  private readonly actStop = byId<Button>('actStop');
  private readonly btOK = byId<Button>('btOK');
  private readonly btCancel = byId<Button>('btCancel');
  private readonly btBPS = byId<Button>('btBPS');
  private readonly options: OptionsPanel;
  private readonly settings: StoredSettings;

  private kbps = 64; // the rate the status line's size estimate uses
  private run: Run | undefined; // the recording going on, or finishing
  private kept: Finished | undefined; // the last good recording
  private player: HTMLAudioElement | undefined;
  private playPending = false;
  private attaching = false;

  constructor(private readonly office: typeof Office) {
    this.settings = new StoredSettings(office.context.roamingSettings);
    this.options = new OptionsPanel(
      this.settings,
      () => this.loadSettings(),
      (text) => this.tell(text, true),
    );
    this.connect();
    this.loadSettings();
    this.setVoice(true, false, false, false);
    this.show(texts.ReadyText);
    if (sessionStorage.getItem(ReloadedKey)) {
      sessionStorage.removeItem(ReloadedKey);
      this.tell('The microphone is allowed now. Press Record to start.');
    }
    // Outlook closes the pane with the mail: the microphone goes with it.
    window.addEventListener('pagehide', () => this.run?.capture?.close());
  }

  private connect(): void {
    const on = (button: Button, handler: () => void) =>
      button.addEventListener('click', () => {
        if (!button.disabled) handler();
      });
    on(this.actRecord, () => void this.actRecordExecute());
    on(this.actPlay, () => this.actPlayExecute());
    on(this.actPause, () => this.actPauseExecute());
    on(this.actStop, () => this.actStopExecute());
    on(this.btOK, () => void this.btOKClick());
    on(this.btCancel, () => this.btCancelClick());
    on(this.btBPS, () => this.options.open());
    on(byId<Button>('actOptions'), () => this.options.open());
  }

  loadSettings(): void {
    this.kbps = this.settings.bitRateKbps();
    this.btBPS.textContent = `${this.kbps} kbps`;
  }

  private setVoice(record: boolean, play: boolean, pause: boolean, stop: boolean): void {
    this.actRecord.disabled = !record || this.attaching;
    this.actPlay.disabled = !play;
    this.actPause.disabled = !pause;
    this.actStop.disabled = !stop;
    // Resume is what Record does to a paused recording.
    this.actRecord.textContent = this.run && this.run.paused && !this.run.stopped ? 'Resume' : 'Record';
  }

  private show(text: string): void {
    if (this.state.textContent !== text) this.state.textContent = text;
  }

  private setBar(position: number): void {
    if (this.bar.getAttribute('aria-valuenow') === String(position)) return;
    this.bar.setAttribute('aria-valuenow', String(position));
    // A transform, not a width: the compositor moves it without a new layout.
    (this.bar.firstElementChild as HTMLElement).style.transform = `scaleX(${position / texts.BarMax})`;
  }

  // A message beside the status line: the outcome of OK, or what went wrong and what to do.
  private tell(text: string, error = false): void {
    this.notice.textContent = text;
    this.notice.classList.toggle('error', error);
  }

  private recording(): boolean {
    return this.run !== undefined && !this.run.stopped;
  }

  async actRecordExecute(): Promise<void> {
    this.setVoice(false, false, true, true);
    if (this.run && !this.run.stopped && this.run.paused) {
      this.run.paused = false;
      this.setVoice(false, false, true, true);
      return;
    }
    this.tell('');
    // The previous recording finishes first, so that it is kept before a new one starts.
    await this.run?.end;
    const limit = this.limitBytes();
    const encoder = new Encoder('encoder.worker.js', this.settings.encoderKbps());
    const run: Run = { encoder, watch: new RecordingWatch(limit), paused: false, stopped: false, limitReached: false, lost: false };
    this.run = run;
    encoder.onProgress = (p) => this.showProgress(run, p);
    // Ended as Stop would end it; finishing tells what failed.
    encoder.onFailed = () => {
      if (run === this.run && !run.stopped) this.actStopExecute();
    };
    try {
      run.capture = await this.openMicrophone();
    } catch (e) {
      if (this.run === run) this.run = undefined;
      encoder.cancel();
      if ((e as Error).message === 'reloading') return;
      this.setVoice(true, this.kept !== undefined, false, false);
      this.show(this.kept ? texts.FailedKeptText : texts.ReadyText);
      this.tell(describe(e), true);
      return;
    }
    if (run.stopped) {
      run.capture.close();
      return;
    }
    // Blocks still come after Stop, until the capture has flushed its last one.
    run.capture.onBlock = (pcm) => {
      if (!run.paused) encoder.pcm(pcm);
    };
    run.capture.onLost = () => {
      if (run !== this.run || run.stopped) return;
      run.lost = true;
      this.actStopExecute();
    };
  }

  private limitBytes(): number {
    const own = this.settings.maxMessageMB() * 1e6;
    return own > 0 ? Math.min(own, OutlookLimitBytes) : OutlookLimitBytes;
  }

  // Asks where Office asks, then opens the chosen microphone, or the default one when it is
  // not connected (saying so).
  private async openMicrophone(): Promise<Capture> {
    if ((await askForMicrophone(this.office)) === 'reloading') throw new Error('reloading');
    const wanted = this.settings.microphone();
    let deviceId = '';
    if (wanted) {
      const found = (await listMicrophones()).find((m) => m.label === wanted);
      if (found) deviceId = found.deviceId;
      else this.tell(`The microphone "${wanted}" is not connected; recording from the default one.`);
    }
    return Capture.open(deviceId, 'capture.worklet.js');
  }

  private showProgress(run: Run, p: Progress): void {
    if (run !== this.run || run.stopped) return;
    const note: Note = run.watch.update(p.seconds, p.level, this.kbps);
    if (note === 'limitReached') {
      run.limitReached = true;
      this.actStopExecute();
      return;
    }
    // A report that arrives after a pause must not bring the recording text back.
    if (run.paused) return;
    const elapsed = Math.round(p.seconds);
    this.setBar(texts.levelBar(p.level));
    if (note === 'noSound') this.show(texts.NoSoundText);
    else if (note === 'timeLeft') this.show(texts.timeLeftText(elapsed, Math.ceil(run.watch.secondsLeft(p.seconds, this.kbps))));
    else this.show(texts.recordingText(elapsed, this.kbps));
  }

  actPauseExecute(): void {
    if (this.recording() && !this.run!.paused) {
      this.run!.paused = true;
      this.setVoice(true, false, false, true);
      this.show('Recording Paused');
    }
    if (this.player && !this.player.paused) {
      this.player.pause();
      this.setVoice(false, true, false, true);
      this.show('Playing Paused');
    }
  }

  actPlayExecute(): void {
    this.setVoice(false, false, true, true);
    if (this.player) {
      void this.player.play();
      return;
    }
    if (this.run) this.playPending = true; // started once the file is complete
    else this.startPlayer();
  }

  private startPlayer(): void {
    if (!this.kept) {
      this.actStopExecute();
      return;
    }
    const length = Math.floor(this.kept.seconds);
    const url = URL.createObjectURL(new Blob([this.kept.mp3 as BlobPart], { type: 'audio/mpeg' }));
    const player = new Audio(url);
    this.player = player;
    let shown = -1;
    const report = () => {
      const seconds = Math.floor(player.currentTime);
      if (player !== this.player || player.paused || seconds === shown) return;
      shown = seconds;
      this.setBar(texts.playBar(seconds, length));
      this.show(texts.playingText(seconds));
    };
    player.addEventListener('playing', report);
    player.addEventListener('timeupdate', report);
    player.addEventListener('ended', () => {
      if (player === this.player) this.actStopExecute();
    });
    player.addEventListener('error', () => {
      if (player !== this.player) return;
      this.actStopExecute();
      this.tell('The recording cannot be played back in this browser.', true);
    });
    this.show(texts.playingText(0));
    void player.play().catch(() => undefined);
  }

  private stopPlayer(): void {
    if (!this.player) return;
    const player = this.player;
    this.player = undefined;
    player.pause();
    URL.revokeObjectURL(player.src);
  }

  actStopExecute(): void {
    if (this.actStop.disabled) return;
    this.playPending = false;
    const run = this.run;
    if (run && !run.stopped) {
      run.stopped = true;
      this.btOK.disabled = this.attaching;
      run.end = this.finishRun(run);
    }
    this.stopPlayer();
    this.setVoice(true, true, false, false);
    this.setBar(0);
    this.show('Stopped');
  }

  // The encoder's flush and the file; the earlier recording stays when it fails, and the
  // failure is told here, so the promise only says whether it failed (false).
  private async finishRun(run: Run): Promise<boolean> {
    let finished: Finished;
    try {
      await run.capture?.finish();
      finished = await run.encoder.finish();
    } catch (e) {
      if (this.run !== run) return false;
      this.run = undefined;
      this.playPending = false;
      this.btOK.disabled = this.kept === undefined || this.attaching;
      if (!this.player) {
        this.setVoice(true, this.kept !== undefined, false, false);
        this.setBar(0);
        this.show(this.kept ? texts.FailedKeptText : 'Stopped');
      }
      this.tell(`The recording could not be encoded: ${describe(e)}`, true);
      return false;
    }
    if (this.run !== run) return true;
    this.run = undefined;
    // Stopped before the microphone gave anything: nothing to keep, the earlier one stays.
    if (finished.seconds <= 0) {
      this.btOK.disabled = this.kept === undefined || this.attaching;
      // Play waited for this file: there is none.
      if (this.playPending) this.setVoice(true, this.kept !== undefined, false, false);
      this.playPending = false;
      return true;
    }
    this.kept = finished;
    const seconds = Math.round(finished.seconds);
    this.setBar(0);
    this.show(run.limitReached ? texts.limitReachedText(seconds, this.kbps) : texts.finishedText(seconds, this.kbps));
    if (run.lost) this.tell('The microphone was disconnected. The recording ends there; what was recorded is kept.', true);
    if (this.playPending) {
      this.playPending = false;
      this.startPlayer();
    }
    return true;
  }

  // Stops what runs, waits for the file and attaches it.
  async btOKClick(): Promise<void> {
    this.actStopExecute();
    if (this.attaching) return;
    this.attaching = true;
    this.btOK.disabled = true;
    this.actRecord.disabled = true;
    try {
      // A recording that failed is told, and the mail keeps what it has.
      const run = this.run;
      if (run?.end && !(await run.end)) return;
      if (!this.kept) return;
      // A pinned pane outlives the message it was opened for.
      const item = this.office.context.mailbox.item as Office.MessageCompose | null;
      if (!item) {
        this.tell('The message is no longer open. Open it again and press OK.', true);
        return;
      }
      this.tell('Attaching the voice message…');
      const attached = await attachRecording(item, this.kept.mp3);
      const size = Math.round(this.kept.mp3.length / 1000);
      this.tell(
        attached.replaced > 0
          ? `The voice message (${size} k) replaces the earlier ${AttachmentName} in the mail.`
          : `The voice message (${size} k) is attached to the mail as ${AttachmentName}.`,
      );
    } catch (e) {
      this.tell(`${describe(e)} The mail is as it was.`, true);
    } finally {
      this.attaching = false;
      this.btOK.disabled = this.kept === undefined;
      this.actRecord.disabled = this.recording() && !this.run!.paused;
    }
  }

  btCancelClick(): void {
    this.actStopExecute();
    if (this.btOK.disabled && !this.attaching) {
      this.close();
      return;
    }
    const dialog = byId<HTMLDialogElement>('confirm');
    dialog.returnValue = '';
    dialog.onclose = () => {
      if (dialog.returnValue === 'yes') this.close();
    };
    dialog.showModal();
  }

  // Cancel: the mail stays as it is, and the pane goes where Outlook lets it.
  private close(): void {
    this.run?.encoder.cancel();
    this.run = undefined;
    this.kept = undefined;
    this.btOK.disabled = true;
    this.setVoice(true, false, false, false);
    this.show(texts.ReadyText);
    this.tell('');
    if (this.office.context.requirements.isSetSupported('Mailbox', '1.5')) this.office.context.ui.closeContainer();
  }
}
