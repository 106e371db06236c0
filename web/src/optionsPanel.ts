// The Options panel: the bit rate and the microphone, stored in the roaming settings. OK
// (Enter) stores and applies them, Cancel (Esc) changes nothing.
import { describe } from './attach';
import { listMicrophones } from './capture';
import { BitRateChoices, StoredSettings } from './settings';

const DefaultMicrophone = 'Default microphone';

export class OptionsPanel {
  private readonly form = document.getElementById('options') as HTMLFormElement;
  // The panel takes the recorder's place while it is open, as a dialog would.
  private readonly recorder = document.getElementById('recorder') as HTMLElement;
  private readonly bitRate = document.getElementById('cbBitRate') as HTMLSelectElement;
  private readonly microphone = document.getElementById('cbMicrophone') as HTMLSelectElement;
  private returnFocus: HTMLElement | null = null;
  private shownMicrophone = '';

  constructor(
    private readonly settings: StoredSettings,
    private readonly applied: () => void,
    private readonly tellError: (text: string) => void,
  ) {
    for (const kbps of BitRateChoices) this.bitRate.add(new Option(String(kbps), String(kbps)));
    document.getElementById('optionsOK')!.addEventListener('click', () => void this.ok());
    document.getElementById('optionsCancel')!.addEventListener('click', () => this.hide());
    this.form.addEventListener('submit', (e) => e.preventDefault());
    this.form.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') this.hide();
      else if (e.key === 'Enter' && (e.target as HTMLElement).id !== 'optionsCancel') void this.ok();
      else return;
      e.preventDefault();
    });
  }

  async open(): Promise<void> {
    this.returnFocus = document.activeElement as HTMLElement | null;
    const stored = this.settings.bitRateText('64');
    this.bitRate.value = BitRateChoices.map(String).find((t) => t.toLowerCase() === stored.toLowerCase()) ?? '';
    this.microphone.replaceChildren(new Option(DefaultMicrophone, ''));
    const names = (await listMicrophones().catch(() => [])).map((m) => m.label);
    for (const name of names) this.microphone.add(new Option(name, name));
    const wanted = this.settings.microphone();
    if (wanted && !names.includes(wanted)) this.microphone.add(new Option(`${wanted} (not connected)`, wanted));
    this.microphone.value = wanted;
    this.shownMicrophone = wanted;
    this.recorder.hidden = true;
    this.form.hidden = false;
    this.bitRate.focus();
  }

  private async ok(): Promise<void> {
    // A microphone is stored only when the user picked one.
    const microphone = this.microphone.value !== this.shownMicrophone ? this.microphone.value : undefined;
    try {
      await this.settings.store(this.bitRate.value, microphone);
    } catch (e) {
      this.tellError(`The options could not be saved: ${describe(e)}`);
    }
    this.hide();
    this.applied();
  }

  private hide(): void {
    this.form.hidden = true;
    this.recorder.hidden = false;
    this.returnFocus?.focus();
  }
}
