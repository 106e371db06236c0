// The task pane end to end in headless Chromium on the simulated host, with a WAV file as the
// microphone and the real encoder worker (the audio core in WebAssembly).
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { attachments, button, decode, enabled, frequency, launch, openPane, root, toneShare, wav } from './browser.mjs';

const shots = join(root, 'build', 'web', 'screenshots');
const Name = 'Kestova_for_Outlook.mp3';

// `seconds` of audio from the first report on, which comes with the first 0.1 s block.
async function record(frame, page, seconds) {
  await button(frame, 'Record').click();
  await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 15000 });
  await page.waitForTimeout(seconds * 1000 - 100);
}

async function stopAndAttach(frame) {
  await button(frame, 'Stop').click();
  await frame.getByText(/^Stopped\. Size: \d+ k$/).waitFor({ timeout: 15000 });
  await button(frame, 'OK').click();
  await frame.getByText(/is attached to the mail|replaces the earlier/).waitFor({ timeout: 15000 });
}

function seconds(decoded) {
  return decoded.samples.length / decoded.channels / decoded.rate;
}

describe('with a 440 Hz microphone', () => {
  let session, mic;
  before(async () => {
    mic = wav([[60, 440]]);
    session = await launch({ microphone: mic.file });
  });
  after(async () => {
    await session?.close();
    mic?.remove();
  });

  test('3 s recorded and attached decode to 440 Hz with the tag; a second recording replaces the first', async () => {
    const { page, frame, context } = await openPane(session);
    await record(frame, page, 3);
    await stopAndAttach(frame);
    let mail = await attachments(page);
    assert.deepEqual(mail.map((a) => a.name), [Name]);
    const first = decode(mail[0].base64);
    assert.ok(Math.abs(frequency(first) - 440) <= 5, `frequency ${frequency(first)}`);
    assert.ok(Math.abs(seconds(first) - 3) <= 0.3, `length ${seconds(first)} s`);
    console.log(`# recorded 3 s: ${frequency(first).toFixed(1)} Hz, ${seconds(first).toFixed(2)} s decoded`);
    assert.equal(first.bytes[0], 0x4d);
    const tag = first.bytes.subarray(first.bytes.length - 128).toString('latin1');
    assert.ok(tag.startsWith('TAG') && tag.includes('Voice Email'), 'ID3v1 tag');

    await record(frame, page, 1);
    await stopAndAttach(frame);
    await frame.getByText(/replaces the earlier/).waitFor();
    mail = await attachments(page);
    assert.equal(mail.length, 1);
    assert.ok(Math.abs(seconds(decode(mail[0].base64)) - 1) <= 0.3);
    assert.deepEqual(await page.evaluate(() => window.kestovaHost.violations), []);
    await context.close();
  });

  test('by keyboard, recording at 100 % and at 200 % zoom, the pane reflows without cutting anything off', async () => {
    mkdirSync(shots, { recursive: true });
    for (const zoom of [100, 200]) {
      // Zoomed, the screen holds fewer CSS pixels, the pane among them.
      const k = zoom / 100;
      const { page, frame, context } = await openPane(session, `paneWidth=${320 / k}`, { width: 900 / k, height: 640 / k }, k);
      // Options opens and closes from the keyboard, and focus comes back.
      await button(frame, 'Options').focus();
      await page.keyboard.press('Enter');
      await frame.locator('#cbBitRate').waitFor();
      await page.keyboard.press('Escape');
      assert.equal(await frame.locator(':focus').textContent(), 'Options');
      await button(frame, 'Record').focus();
      await page.keyboard.press(' ');
      await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 15000 });
      await page.waitForTimeout(1500);
      const overflow = await frame.locator('body').evaluate((b) => (scrollTo(0, 0), b.scrollWidth - b.clientWidth));
      assert.ok(overflow <= 0, `${zoom} %: ${overflow} px cut off`);
      await page.screenshot({ path: join(shots, `pane-recording-${zoom}.png`) });
      await button(frame, 'Stop').click();
      await context.close();
    }
  });

  test('refusals are told and leave the mail as it was', async () => {
    // The attach call fails, then the message is closed: the earlier voice message stays.
    const { page, frame, context } = await openPane(session);
    await record(frame, page, 1);
    await stopAndAttach(frame);
    const before = (await attachments(page))[0];
    await record(frame, page, 1);
    await page.evaluate(() => window.kestovaHost.failNext('addFileAttachmentFromBase64Async', {
      code: 9007, name: 'AttachmentUploadGeneralFailure', message: 'The attachment cannot be added to the item.' }));
    await button(frame, 'OK').click();
    await frame.getByText(/cannot be added to the item\. The mail is as it was\./).waitFor({ timeout: 15000 });
    await page.evaluate(() => window.kestovaHost.closeCompose());
    await button(frame, 'OK').click();
    await frame.getByText(/item has been changed\. The mail is as it was\./).waitFor({ timeout: 15000 });
    assert.deepEqual((await attachments(page)).map((a) => a.id), [before.id]);

    // The encoder cannot load: told, and the earlier recording is what OK would take.
    await page.route('**/kestova_core.wasm', (route) => route.fulfill({ status: 404 }));
    await record(frame, page, 0.5).catch(() => undefined);
    await frame.getByText(/could not be encoded|Recording failed/).first().waitFor({ timeout: 15000 });
    await context.close();

    // Office refuses the microphone.
    const denied = await openPane(session, 'devicePermission=denied');
    await button(denied.frame, 'Record').click();
    await denied.frame.getByText(/may not use the microphone/).waitFor({ timeout: 15000 });
    assert.equal(await enabled(button(denied.frame, 'Record')), true);
    await denied.context.close();

    // The size limit stops the recording, and what it kept is whole.
    const limited = await openPane(session, `roaming=${encodeURIComponent(JSON.stringify({ MaxMessageMB: '0.02' }))}`);
    await button(limited.frame, 'Record').click();
    await limited.frame.getByText(/^Size limit reached\. Size: \d+ k$/).waitFor({ timeout: 20000 });
    await button(limited.frame, 'OK').click();
    await limited.frame.getByText(/is attached to the mail/).waitFor({ timeout: 15000 });
    const [kept] = await attachments(limited.page);
    assert.ok(kept.size <= 20000, `${kept.size} bytes`);
    assert.ok(seconds(decode(kept.base64)) >= 1.5);
    await limited.context.close();
  });

  test('a bit rate chosen in Options is kept in the roaming settings and encodes the next recording', async () => {
    const { page, frame, context } = await openPane(session);
    await button(frame, '64 kbps').click();
    await frame.locator('#cbBitRate').selectOption('128');
    await button(frame, 'OK').click();
    await button(frame, '128 kbps').waitFor();
    assert.equal(await page.evaluate(() => window.kestovaHost.storedRoamingSettings().BitRate), '128');
    await record(frame, page, 1);
    await stopAndAttach(frame);
    assert.equal(decode((await attachments(page))[0].base64).kbps, 128);
    await context.close();
  });

  test('the first grant through Office reloads the pane, which then says so', async () => {
    const { frame, context } = await openPane(session, 'devicePermission=firstGrant');
    await button(frame, 'Record').click();
    await frame.getByText('The microphone is allowed now. Press Record to start.').waitFor({ timeout: 15000 });
    await context.close();
  });
});

test('tone then silence, paused over the tone: nothing of the pause reaches the file', async () => {
  // 440 Hz for 2 s, 1000 Hz for 4 s, 440 Hz again; paused from 1.5 s to 6.5 s of the capture.
  const mic = wav([[2, 440], [4, 1000], [20, 440]]);
  const session = await launch({ microphone: mic.file });
  try {
    const { page, frame } = await openPane(session);
    await button(frame, 'Record').click();
    await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 15000 });
    await page.waitForTimeout(1300);
    await button(frame, 'Pause').click();
    await frame.getByText('Recording Paused').waitFor();
    await page.waitForTimeout(5000);
    await button(frame, 'Resume').click();
    await page.waitForTimeout(1500);
    await stopAndAttach(frame);
    const decoded = decode((await attachments(page))[0].base64);
    assert.ok(toneShare(decoded, 1000) < 0.01, `1000 Hz share ${toneShare(decoded, 1000)}`);
    // The tone is there, though not all of the file: the fake device starts with silence, whose
    // length varies with the machine's load (0.38 seen on a loaded one).
    assert.ok(toneShare(decoded, 440) > 0.25, `440 Hz share ${toneShare(decoded, 440)}`);
    assert.ok(Math.abs(seconds(decoded) - 2.8) <= 0.6, `length ${seconds(decoded)} s`);
  } finally {
    await session.close();
    mic.remove();
  }
});

test('without a microphone, or with the browser refusing it, Record says what to do', async () => {
  for (const [options, text] of [
    [{ microphone: 'none' }, /No microphone was found/],
    [{ microphone: 'fake', prompt: 'deny' }, /may not use the microphone/],
  ]) {
    const session = await launch(options);
    try {
      const { frame } = await openPane(session);
      await button(frame, 'Record').click();
      await frame.getByText(text).waitFor({ timeout: 15000 });
      assert.equal(await enabled(button(frame, 'OK')), false);
    } finally {
      await session.close();
    }
  }
});

test('a microphone that hears nothing is told while recording', async () => {
  const mic = wav([[30, 0]]);
  const session = await launch({ microphone: mic.file });
  try {
    const { frame } = await openPane(session);
    await button(frame, 'Record').click();
    await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 15000 });
    await frame.getByText('No sound from the microphone. Is it muted?').waitFor({ timeout: 10000 });
    await button(frame, 'Stop').click();
  } finally {
    await session.close();
    mic.remove();
  }
});
