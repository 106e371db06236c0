// OK's last step: the recording goes into the mail as "Kestova_for_Outlook.mp3" and takes the
// place of one attached earlier. The new one is added first and the earlier ones removed after,
// so a failure at any step leaves the mail with exactly one voice message, old or new.
import { officeCall, OfficeCallError } from './officeCall';

export const AttachmentName = 'Kestova_for_Outlook.mp3';
// Outlook takes at most this many Base64 characters (25 MB before encoding).
export const MaxBase64Length = 34_865_152;

export interface Attached {
  id: string;
  replaced: number; // earlier voice messages removed
}

export class AttachError extends Error {
  constructor(
    message: string,
    readonly cause?: unknown,
  ) {
    super(message);
    this.name = 'AttachError';
  }
}

type Item = Office.MessageCompose;

export function toBase64(bytes: Uint8Array): string {
  // In slices: String.fromCharCode takes its arguments on the stack.
  const parts: string[] = [];
  for (let i = 0; i < bytes.length; i += 0x8000) parts.push(String.fromCharCode(...bytes.subarray(i, i + 0x8000)));
  return btoa(parts.join(''));
}

export async function attachRecording(item: Item, mp3: Uint8Array): Promise<Attached> {
  const base64 = toBase64(mp3);
  if (base64.length > MaxBase64Length)
    throw new AttachError('The recording is larger than Outlook takes (25 MB). Record a shorter message.');
  const earlier = await step('read the attachments of the mail', () =>
    officeCall<Office.AttachmentDetailsCompose[]>((cb) => item.getAttachmentsAsync(cb)),
  );
  const ours = earlier.filter((a) => a.name === AttachmentName && !a.isInline).map((a) => a.id);
  const id = await step('add the voice message', () =>
    officeCall<string>((cb) => item.addFileAttachmentFromBase64Async(base64, AttachmentName, cb)),
  );
  try {
    for (const old of ours) await officeCall<void>((cb) => item.removeAttachmentAsync(old, cb));
  } catch (e) {
    // Two voice messages would leave the reader guessing: take the new one back out.
    await officeCall<void>((cb) => item.removeAttachmentAsync(id, cb)).catch(() => undefined);
    throw new AttachError(`Could not replace the earlier voice message: ${describe(e)}`, e);
  }
  return { id, replaced: ours.length };
}

async function step<T>(what: string, call: () => Promise<T>): Promise<T> {
  try {
    return await call();
  } catch (e) {
    throw new AttachError(`Could not ${what}: ${describe(e)}`, e);
  }
}

export function describe(e: unknown): string {
  if (e instanceof OfficeCallError) return e.message || e.officeName || `error ${e.code}`;
  return e instanceof Error ? e.message : String(e);
}
