// OK's attach-and-replace against the strict simulated host.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { attachRecording, AttachmentName, AttachError } from '../../src/attach';
import { Errors, OfficeHost } from '../../host/officeHost';

// The stand-in as the task pane sees it, Office's globals included.
function compose(host: OfficeHost): Office.MessageCompose {
  const office = host.officeFor();
  (globalThis as { Office?: unknown }).Office = office;
  return (office.context as unknown as { mailbox: { item: Office.MessageCompose } }).mailbox?.item;
}

async function ready(host: OfficeHost): Promise<Office.MessageCompose> {
  const office = host.officeFor();
  (globalThis as { Office?: unknown }).Office = office;
  await office.onReady();
  return office.context.mailbox.item as Office.MessageCompose;
}

const mp3 = (byte: number, length = 1000) => new Uint8Array(length).fill(byte);
const names = (host: OfficeHost) => host.attachments.map((a) => a.name);

test('attaches once and replaces only the earlier voice message, within the limit of calls in flight', async () => {
  const host = new OfficeHost();
  host.addExisting('agenda.pdf', 'AAAA');
  const item = await ready(host);
  const first = await attachRecording(item, mp3(1));
  assert.equal(first.replaced, 0);
  const second = await attachRecording(item, mp3(2));
  assert.equal(second.replaced, 1);
  assert.deepEqual(names(host), ['agenda.pdf', AttachmentName]);
  assert.deepEqual(Buffer.from(host.attachments[1].base64, 'base64'), Buffer.from(mp3(2)));
  assert.deepEqual(host.violations, []);
  assert.ok(host.maxInFlightSeen <= 1);
});

test('a failing call leaves exactly the voice message the mail had', async () => {
  for (const [method, expected] of [
    ['getAttachmentsAsync', 1],
    ['addFileAttachmentFromBase64Async', 1],
    ['removeAttachmentAsync', 1],
  ] as const) {
    const host = new OfficeHost();
    const item = await ready(host);
    await attachRecording(item, mp3(1));
    host.failNext(method, Errors.attachmentUploadGeneralFailure);
    await assert.rejects(attachRecording(item, mp3(2)), AttachError, method);
    assert.equal(host.attachments.length, expected, method);
    assert.deepEqual(Buffer.from(host.attachments[0].base64, 'base64'), Buffer.from(mp3(1)), method);
  }
});

test('a closed message and a recording too large for Outlook are refused with Office\'s reason, nothing attached', async () => {
  const host = new OfficeHost();
  const item = await ready(host);
  host.closeCompose();
  await assert.rejects(attachRecording(item, mp3(1)), /The selected item has been changed/);
  const open = new OfficeHost();
  const item2 = await ready(open);
  await assert.rejects(attachRecording(item2, mp3(0, 26_200_000)), /larger than Outlook takes/);
  assert.deepEqual(open.added, []);
});

test('the host is as strict as Outlook: no mailbox before onReady, Mailbox 1.8 calls only where reported, names up to 255', async () => {
  assert.equal(compose(new OfficeHost()), undefined);
  const old = await ready(new OfficeHost({ mailbox: '1.7' }));
  assert.equal((old as { getAttachmentsAsync?: unknown }).getAttachmentsAsync, undefined);
  const item = await ready(new OfficeHost());
  assert.throws(() => item.addFileAttachmentFromBase64Async('AAAA', 'x'.repeat(256)), /attachmentName/);
  assert.throws(() => item.getAttachmentsAsync({}, 'not a function' as never), /callback/);
  const host = new OfficeHost();
  const busy = await ready(host);
  const calls = Array.from({ length: 4 }, () => new Promise((r) => busy.getAttachmentsAsync(r)));
  const results = (await Promise.all(calls)) as Office.AsyncResult<unknown>[];
  assert.deepEqual(results.map((r) => r.status), ['succeeded', 'succeeded', 'succeeded', 'failed']);
  assert.equal(host.violations.length, 1);
});
