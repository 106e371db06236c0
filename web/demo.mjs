// ./kestova demo web: one voice message through the task pane in Chromium on the simulated
// Outlook on the web: 5 s recorded from the default PulseAudio source, Stop, a short playback,
// OK; the mail is saved as out/demo-web.eml. --interactive shows the page in a window and saves
// the mail whenever its attachments change, until the window is closed.
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { attachments, button, launch, openPane, root } from './test/browser.mjs';

const interactive = process.argv.includes('--interactive');
const eml = join(root, 'out', 'demo-web.eml');
const say = (text) => console.log(`[demo] ${text}`);

function saveMail(files) {
  const boundary = 'kestova-demo-boundary';
  const parts = files.map((a) =>
    [
      `--${boundary}`,
      `Content-Type: audio/mpeg; name="${a.name}"`,
      'Content-Transfer-Encoding: base64',
      `Content-Disposition: attachment; filename="${a.name}"`,
      '',
      ...(a.base64.match(/.{1,76}/g) ?? []),
    ].join('\r\n'),
  );
  const mail = [
    'From: demo@example.com',
    'To: someone@example.com',
    'Subject: A voice message',
    'MIME-Version: 1.0',
    `Content-Type: multipart/mixed; boundary="${boundary}"`,
    '',
    `--${boundary}`,
    'Content-Type: text/plain; charset=utf-8',
    '',
    'A voice message from Kestova for Outlook on the web.',
    ...parts,
    `--${boundary}--`,
    '',
  ].join('\r\n');
  mkdirSync(join(root, 'out'), { recursive: true });
  writeFileSync(eml, mail);
}

const session = await launch({ microphone: 'system', headless: !interactive });
try {
  const { page, frame } = await openPane(session);
  say('the simulated Outlook on the web: a new message, the Kestova task pane open');
  if (interactive) {
    say('record, stop, play and press OK in the window; close it when done');
    let shown = '';
    while (!page.isClosed()) {
      const files = await attachments(page).catch(() => null);
      if (files === null) break;
      const ids = files.map((a) => a.id).join();
      if (ids !== shown) {
        shown = ids;
        saveMail(files);
        say(`saved ${files.length} attachment(s) to out/demo-web.eml`);
      }
      await new Promise((r) => setTimeout(r, 500));
    }
  } else {
    await button(frame, 'Record').click();
    await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 20000 });
    say('Record: recording');
    await page.waitForTimeout(5000);
    say(`after 5 s: ${await frame.locator('#state').textContent()}`);
    await button(frame, 'Stop').click();
    await frame.getByText(/^Stopped\. Size: \d+ k$/).waitFor({ timeout: 20000 });
    say(`Stop: ${await frame.locator('#state').textContent()}`);
    await button(frame, 'Play').click();
    await frame.getByText(/^Playing\.\.\.   0:1$/).waitFor({ timeout: 20000 });
    say(`Play: ${await frame.locator('#state').textContent()}`);
    await button(frame, 'Stop').click();
    await button(frame, 'OK').click();
    await frame.getByText(/is attached to the mail|replaces the earlier/).waitFor({ timeout: 20000 });
    say(`OK: ${await frame.locator('#notice').textContent()}`);
    const files = await attachments(page);
    saveMail(files);
    const violations = await page.evaluate(() => window.kestovaHost.violations);
    if (violations.length) throw new Error(`the add-in broke the host's rules: ${violations.join('; ')}`);
  }
} finally {
  await session.close();
}
