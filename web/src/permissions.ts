// The microphone permission. Outlook on the web (in Chromium browsers) and the new Outlook run
// the task pane in a frame that may not prompt for the microphone itself: there Office's own
// dialog asks, and a first grant takes effect only after the add-in reloads. Elsewhere the
// browser's own prompt appears when the capture starts.
import { officeCall } from './officeCall';

export type Permission = 'granted' | 'reloading' | 'browserPrompt';

export const DeniedText =
  'Kestova may not use the microphone. To allow it, press Record again and choose Allow; if Outlook ' +
  'no longer asks, remove and add the Kestova add-in again, or clear the browser cache for Outlook.';
export const ReloadedKey = 'kestova.permissionGranted';

export async function askForMicrophone(office: typeof Office): Promise<Permission> {
  // Not in every Office.js typing of Context yet.
  const devicePermission = (office.context as { devicePermission?: Office.DevicePermission }).devicePermission;
  const hostName = office.context.mailbox?.diagnostics?.hostName;
  // Office answers an error on other hosts.
  if (!devicePermission || !office.context.requirements.isSetSupported('DevicePermission', '1.1')) return 'browserPrompt';
  if (hostName !== 'OutlookWebApp' && hostName !== 'newOutlookWindows') return 'browserPrompt';
  let firstGrant: boolean;
  try {
    firstGrant = await officeCall<boolean>((cb) =>
      devicePermission.requestPermissionsAsync([office.DevicePermissionType.microphone], cb),
    );
  } catch {
    throw new Error(DeniedText);
  }
  if (!firstGrant) return 'granted';
  sessionStorage.setItem(ReloadedKey, '1');
  window.location.reload();
  return 'reloading';
}
