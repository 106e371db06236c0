// CPU the task pane takes while it records, in Chromium on the simulated host: the CPU time of
// every Chromium process (renderer with the pane and its worker, audio service, browser) over
// 10 s of recording a 440 Hz fake microphone (from 2 s in, once the worker has compiled the
// audio core), beside 10 s of the same pane idle, in one run.
// Goal: the recording costs under 5 % of one core. Usage: node web/bench/cpu.mjs
import { button, launch, openPane, wav } from '../test/browser.mjs';

const Seconds = 10;
const mic = wav([[60, 440]]);
const session = await launch({ microphone: mic.file });
try {
  const cdp = await session.browser.newBrowserCDPSession();
  const cpu = async () => {
    const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
    return Object.fromEntries(processInfo.map((p) => [`${p.type} ${p.id}`, p.cpuTime]));
  };
  const spent = (from, to) => {
    const byType = {};
    for (const [key, seconds] of Object.entries(to)) {
      const type = key.split(' ')[0];
      byType[type] = (byType[type] ?? 0) + seconds - (from[key] ?? 0);
    }
    return byType;
  };
  const share = (byType) => Object.values(byType).reduce((a, b) => a + b, 0) / Seconds;
  const { page, frame } = await openPane(session);
  let start = await cpu();
  await page.waitForTimeout(Seconds * 1000);
  const idle = spent(start, await cpu());
  await button(frame, 'Record').click();
  await frame.getByText(/^Recording\.\.\./).waitFor({ timeout: 15000 });
  await page.waitForTimeout(2000);
  start = await cpu();
  await page.waitForTimeout(Seconds * 1000);
  const recording = spent(start, await cpu());
  await button(frame, 'Stop').click();
  const pct = (x) => `${(x * 100).toFixed(1)} %`;
  const detail = (byType) => Object.entries(byType).map(([t, s]) => `${t} ${pct(s / Seconds)}`).join(', ');
  console.log(`idle pane: ${pct(share(idle))} of a core (${detail(idle)})`);
  console.log(`recording: ${pct(share(recording))} of a core (${detail(recording)})`);
  console.log(`recording costs ${pct(share(recording) - share(idle))} of a core over the idle pane (goal: under 5 %)`);
} finally {
  await session.close();
  mic.remove();
}
