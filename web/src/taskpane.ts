// The task pane's start: Fluent's look, then the recorder once Office is ready and offers what
// it needs (a message being composed, Mailbox 1.8 for the attachment calls).
import '@fluentui/web-components/button.js';
import { setTheme } from '@fluentui/web-components/theme/set-theme.js';
import { webLightTheme } from '@fluentui/tokens';
import { Recorder } from './recorder';

setTheme(webLightTheme);

void Office.onReady(() => {
  const state = document.getElementById('state')!;
  const item = Office.context.mailbox?.item as Office.MessageCompose | undefined;
  if (!Office.context.requirements.isSetSupported('Mailbox', '1.8') || !item?.addFileAttachmentFromBase64Async) {
    state.textContent = 'Kestova needs a newer Outlook (Mailbox 1.8) and a message being written.';
    for (const b of document.querySelectorAll<HTMLElement & { disabled: boolean }>('fluent-button')) b.disabled = true;
    return;
  }
  new Recorder(Office);
});
