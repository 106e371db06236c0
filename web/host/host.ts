// The simulated Outlook on the web's compose page: the message on the left, the task pane in a
// frame on the right, as Outlook shows an add-in. The query string sets the host up:
// mailbox=1.8, devicePermission=firstGrant|granted|denied, roaming={json}, delay=ms, and
// paneWidth=px (320 by default, as Outlook's).
// Tests reach the host as window.kestovaHost.
import { DevicePermissionMode, OfficeHost } from './officeHost';

declare global {
  interface Window {
    kestovaHost: OfficeHost;
  }
}

const query = new URLSearchParams(location.search);
const host = new OfficeHost({
  mailbox: query.get('mailbox') ?? undefined,
  devicePermission: (query.get('devicePermission') as DevicePermissionMode | null) ?? undefined,
  roamingSettings: query.has('roaming') ? JSON.parse(query.get('roaming')!) : undefined,
  delayMs: query.has('delay') ? Number(query.get('delay')) : undefined,
});
window.kestovaHost = host;
if (query.has('paneWidth'))
  addEventListener('DOMContentLoaded', () => (document.getElementById('pane')!.style.width = `${Number(query.get('paneWidth'))}px`));

// The compose form shows what the mail carries, and the pane goes when the add-in closes it.
setInterval(() => {
  const list = document.getElementById('attachments');
  if (!list) return;
  const shown = host.attachments.map((a) => `${a.name} (${Math.round(a.size / 1000)} KB)`).join('\n');
  if (list.dataset.shown !== shown) {
    list.dataset.shown = shown;
    list.replaceChildren(...host.attachments.map((a) => Object.assign(document.createElement('li'), { textContent: `${a.name} (${Math.round(a.size / 1000)} KB)` })));
  }
  const pane = document.getElementById('pane');
  if (pane && host.paneClosed) pane.hidden = true;
}, 200);
