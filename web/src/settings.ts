// The stored settings, in the add-in's roaming settings (kept with the mailbox, so they follow
// the user to every Outlook): the bit rate ("BitRate", as text), the microphone ("Microphone",
// by name) and the size limit ("MaxMessageMB"). The same keys and rules as the Windows
// recorder's zelt.ini.
import { officeCall } from './officeCall';

export const BitRateChoices = [8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160];
// Many mail servers refuse messages above 10 MB.
export const DefaultMaxMessageMB = 10;

export class StoredSettings {
  constructor(private readonly roaming: Office.RoamingSettings) {}

  private text(key: string): string | undefined {
    const value: unknown = this.roaming.get(key);
    return value === undefined || value === null ? undefined : String(value);
  }

  bitRateText(fallback: string): string {
    return this.text('BitRate') ?? fallback;
  }

  // 64 when absent or not a decimal number.
  bitRateKbps(): number {
    return strToIntDef(this.bitRateText(''), 64);
  }

  // The rate the encoder takes: a listed one, else 64.
  encoderKbps(): number {
    const kbps = this.bitRateKbps();
    return BitRateChoices.includes(kbps) ? kbps : 64;
  }

  microphone(): string {
    return this.text('Microphone') ?? '';
  }

  // In MB of 1,000,000 bytes; 0 for no limit of our own.
  maxMessageMB(): number {
    const text = this.text('MaxMessageMB');
    const value = text !== undefined && /^\s*[0-9]*\.?[0-9]+\s*$/.test(text) ? Number(text) : DefaultMaxMessageMB;
    return value > 0 ? value : 0;
  }

  async store(bitRateText: string, microphone: string | undefined): Promise<void> {
    this.roaming.set('BitRate', bitRateText);
    if (microphone !== undefined) this.roaming.set('Microphone', microphone);
    await officeCall<void>((cb) => this.roaming.saveAsync(cb));
  }
}

// Decimal text to a 32-bit number: optional sign and digits only; `fallback` otherwise.
export function strToIntDef(text: string, fallback: number): number {
  if (!/^[+-]?[0-9]+$/.test(text)) return fallback;
  const value = Number(text);
  return Number.isSafeInteger(value) && value >= -2147483648 && value <= 2147483647 ? value : fallback;
}
