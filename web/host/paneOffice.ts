// In the task pane's frame, in place of Office.js: the host page's stand-in `Office`.
(window as unknown as { Office: typeof Office }).Office = (
  window.parent as unknown as { kestovaHost: { officeFor(): typeof Office } }
).kestovaHost.officeFor();
