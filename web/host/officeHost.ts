// The simulated Office host: a stand-in for the part of Office.js that the task pane uses, as
// strict as Outlook on the web. It keeps the message being composed (its attachments), the
// add-in's roaming settings and the host's faults, and hands each task pane frame an `Office`
// object that talks to it. Rules taken from Microsoft's Office.js reference:
// - at most 3 asynchronous calls in flight at once (Outlook on the web's limit);
// - addFileAttachmentFromBase64Async: at most 34,865,152 Base64 characters (25 MB), a name of
//   at most 255 characters; removeAttachmentAsync: an id of at most 100 characters;
// - roaming settings of at most 32 KB;
// - Mailbox 1.8 methods exist only where Mailbox 1.8 is reported, devicePermission only with
//   DevicePermission 1.1, closeContainer with Mailbox 1.5;
// - a call with a wrong argument throws before it goes asynchronous; a failure answers through
//   the callback with status "failed" and an error with Office's code, name and message.
// Every attachment and every breach of a rule is recorded for tests.

export const MaxInFlight = 3;
export const MaxBase64Length = 34_865_152;
export const MaxNameLength = 255;
export const MaxAttachmentIdLength = 100;
export const MaxRoamingSettingsChars = 32 * 1024;

export interface OfficeErrorShape {
  code: number;
  name: string;
  message: string;
}

// Office's own codes and texts.
export const Errors = {
  internal: { code: 5001, name: 'Internal Error', message: 'An internal error has occurred.' },
  attachmentSizeExceeded: {
    code: 9000,
    name: 'AttachmentSizeExceeded',
    message: 'The attachment cannot be added because it is too big.',
  },
  invalidAttachmentId: { code: 9003, name: 'InvalidAttachmentId', message: 'The attachment identifier does not exist.' },
  attachmentUploadGeneralFailure: {
    code: 9007,
    name: 'AttachmentUploadGeneralFailure',
    message: 'The attachment cannot be added to the item.',
  },
  attachmentDeleteGeneralFailure: {
    code: 9009,
    name: 'AttachmentDeleteGeneralFailure',
    message: 'The attachment cannot be deleted from the item.',
  },
  genericSettingsError: { code: 9019, name: 'GenericSettingsError', message: 'An internal error has occurred.' },
  itemChanged: { code: 9030, name: 'APICallFailedDueToItemChange', message: 'The selected item has been changed.' },
  permissionDenied: { code: 7000, name: 'Permission Denied', message: 'The user denied the permission request.' },
} satisfies Record<string, OfficeErrorShape>;

export interface StoredAttachment {
  id: string;
  name: string;
  base64: string;
  size: number;
  isInline: boolean;
}

export type DevicePermissionMode = 'none' | 'firstGrant' | 'granted' | 'denied';

export interface HostOptions {
  mailbox?: string; // the Mailbox requirement set reported, e.g. "1.8"
  devicePermission?: DevicePermissionMode; // 'none': the API is absent
  hostName?: string;
  roamingSettings?: Record<string, unknown>;
  delayMs?: number; // how long each asynchronous call takes
}

type Method =
  | 'getAttachmentsAsync'
  | 'addFileAttachmentFromBase64Async'
  | 'removeAttachmentAsync'
  | 'saveAsync'
  | 'requestPermissionsAsync';

export class OfficeHost {
  readonly attachments: StoredAttachment[] = [];
  readonly added: StoredAttachment[] = []; // every attachment ever received, in order
  readonly violations: string[] = []; // every rule the add-in broke
  composeOpen = true;
  paneClosed = false;
  devicePermission: DevicePermissionMode;
  private readonly failures = new Map<Method, OfficeErrorShape>();
  private readonly roaming: Record<string, unknown>;
  private readonly mailbox: string;
  private readonly hostName: string;
  private readonly delayMs: number;
  private inFlight = 0;
  private nextId = 1;
  maxInFlightSeen = 0;

  constructor(options: HostOptions = {}) {
    this.mailbox = options.mailbox ?? '1.13';
    this.devicePermission = options.devicePermission ?? 'none';
    this.hostName = options.hostName ?? 'OutlookWebApp';
    this.roaming = { ...(options.roamingSettings ?? {}) };
    this.delayMs = options.delayMs ?? 20;
  }

  // The next call of `method` fails with `error` (once).
  failNext(method: Method, error: OfficeErrorShape): void {
    this.failures.set(method, error);
  }

  // The user closed the message: every item call fails from now on.
  closeCompose(): void {
    this.composeOpen = false;
  }

  addExisting(name: string, base64: string): string {
    return this.store(name, base64).id;
  }

  storedRoamingSettings(): Record<string, unknown> {
    return { ...this.roaming };
  }

  isSetSupported(name: string, version?: string): boolean {
    const sets: Record<string, string> = { Mailbox: this.mailbox, DialogApi: '1.2', IdentityAPI: '1.3' };
    if (this.devicePermission !== 'none') sets.DevicePermission = '1.1';
    const have = sets[name];
    return have !== undefined && compareVersions(have, version ?? '1.1') >= 0;
  }

  // The `Office` object one task pane frame sees.
  officeFor(): typeof Office {
    return createOffice(this) as unknown as typeof Office;
  }

  // ---- used by the stand-in ----

  // A wrong callback throws here, before the call goes asynchronous, as Office.js does. An
  // error in `work` other than a HostFailure stays unhandled, so that it surfaces.
  run<T>(method: Method, needsItem: boolean, work: () => T, callback: unknown): void {
    if (callback !== undefined && typeof callback !== 'function') throw argumentError('callback');
    void this.settle(method, needsItem, work, callback as ((r: Office.AsyncResult<T>) => void) | undefined);
  }

  private async settle<T>(
    method: Method,
    needsItem: boolean,
    work: () => T,
    callback: ((r: Office.AsyncResult<T>) => void) | undefined,
  ): Promise<void> {
    this.inFlight++;
    this.maxInFlightSeen = Math.max(this.maxInFlightSeen, this.inFlight);
    const tooMany = this.inFlight > MaxInFlight;
    if (tooMany) this.violations.push(`${method}: more than ${MaxInFlight} asynchronous calls in flight`);
    await new Promise((r) => setTimeout(r, this.delayMs));
    let result: Office.AsyncResult<T>;
    const failure = this.failures.get(method);
    this.failures.delete(method);
    try {
      if (tooMany) throw new HostFailure(Errors.internal);
      if (needsItem && !this.composeOpen) throw new HostFailure(Errors.itemChanged);
      if (failure) throw new HostFailure(failure);
      result = succeeded(work());
    } catch (e) {
      if (!(e instanceof HostFailure)) throw e;
      result = failed<T>(e.shape);
    } finally {
      this.inFlight--;
    }
    callback?.(result);
  }

  store(name: string, base64: string): StoredAttachment {
    const attachment = {
      id: `AAMkAGI${String(this.nextId++).padStart(4, '0')}=`,
      name,
      base64,
      size: Math.floor((base64.length * 3) / 4) - (base64.endsWith('==') ? 2 : base64.endsWith('=') ? 1 : 0),
      isInline: false,
    };
    this.attachments.push(attachment);
    this.added.push(attachment);
    return attachment;
  }

  remove(id: string): void {
    const at = this.attachments.findIndex((a) => a.id === id);
    if (at < 0) throw new HostFailure(Errors.invalidAttachmentId);
    this.attachments.splice(at, 1);
  }

  roamingGet(name: string): unknown {
    return this.roaming[name];
  }

  roamingSave(values: Record<string, unknown>): void {
    if (JSON.stringify(values).length > MaxRoamingSettingsChars) throw new HostFailure(Errors.genericSettingsError);
    for (const key of Object.keys(this.roaming)) delete this.roaming[key];
    Object.assign(this.roaming, values);
  }

  get hostNameReported(): string {
    return this.hostName;
  }
}

export class HostFailure extends Error {
  constructor(readonly shape: OfficeErrorShape) {
    super(shape.message);
  }
}

function succeeded<T>(value: T): Office.AsyncResult<T> {
  return { status: 'succeeded', value, error: undefined, asyncContext: undefined, diagnostics: undefined } as unknown as Office.AsyncResult<T>;
}

function failed<T>(shape: OfficeErrorShape): Office.AsyncResult<T> {
  const error = { ...shape };
  return { status: 'failed', value: undefined, error, asyncContext: undefined, diagnostics: undefined } as unknown as Office.AsyncResult<T>;
}

// What Office.js throws for an argument it refuses.
function argumentError(parameter: string): Error {
  const e = new Error(`Sys.ArgumentException: Value does not fall within the expected range. Parameter name: ${parameter}`);
  e.name = 'Sys.ArgumentException';
  return e;
}

function compareVersions(a: string, b: string): number {
  const [am, an] = a.split('.').map(Number);
  const [bm, bn] = b.split('.').map(Number);
  return am !== bm ? am - bm : (an ?? 0) - (bn ?? 0);
}

// Office.js's optional `options` before the callback.
function callbackOf(options: unknown, callback: unknown): unknown {
  return typeof options === 'function' ? options : callback;
}

function createOffice(host: OfficeHost) {
  let ready = false;
  const roamingDraft: Record<string, unknown> = host.storedRoamingSettings();

  const item: Record<string, unknown> = {
    itemType: 'message',
    removeAttachmentAsync(id: unknown, options?: unknown, callback?: unknown) {
      if (typeof id !== 'string' || id.length === 0 || id.length > MaxAttachmentIdLength) throw argumentError('attachmentId');
      host.run('removeAttachmentAsync', true, () => host.remove(id), callbackOf(options, callback));
    },
  };
  if (host.isSetSupported('Mailbox', '1.8')) {
    item.getAttachmentsAsync = (options?: unknown, callback?: unknown) =>
      host.run(
        'getAttachmentsAsync',
        true,
        () =>
          host.attachments.map((a) => ({
            id: a.id,
            name: a.name,
            size: a.size,
            attachmentType: 'file',
            isInline: a.isInline,
            contentType: a.name.endsWith('.mp3') ? 'audio/mpeg' : 'application/octet-stream',
          })),
        callbackOf(options, callback),
      );
    item.addFileAttachmentFromBase64Async = (base64: unknown, name: unknown, options?: unknown, callback?: unknown) => {
      if (typeof base64 !== 'string' || base64.length === 0) throw argumentError('base64File');
      if (typeof name !== 'string' || name.length === 0 || name.length > MaxNameLength) throw argumentError('attachmentName');
      host.run(
        'addFileAttachmentFromBase64Async',
        true,
        () => {
          if (base64.length > MaxBase64Length) throw new HostFailure(Errors.attachmentSizeExceeded);
          if (!/^[A-Za-z0-9+/]*={0,2}$/.test(base64) || base64.length % 4 !== 0)
            throw new HostFailure(Errors.attachmentUploadGeneralFailure);
          return host.store(name, base64).id;
        },
        callbackOf(options, callback),
      );
    };
  }

  const context: Record<string, unknown> = {
    requirements: { isSetSupported: (name: string, version?: string) => host.isSetSupported(name, version) },
    roamingSettings: {
      get: (name: string) => roamingDraft[name],
      set(name: string, value: unknown) {
        if (typeof name !== 'string' || name === '') throw argumentError('name');
        roamingDraft[name] = value;
      },
      remove: (name: string) => void delete roamingDraft[name],
      saveAsync: (callback?: unknown) =>
        host.run('saveAsync', false, () => host.roamingSave({ ...roamingDraft }), callback),
    },
    ui: {
      closeContainer() {
        if (!host.isSetSupported('Mailbox', '1.5')) throw new Error('closeContainer is not supported');
        host.paneClosed = true;
      },
    },
  };
  if (host.devicePermission !== 'none') {
    context.devicePermission = {
      requestPermissionsAsync(permissions: unknown, options?: unknown, callback?: unknown) {
        if (!Array.isArray(permissions) || permissions.length === 0) throw argumentError('permissions');
        host.run(
          'requestPermissionsAsync',
          false,
          () => {
            if (host.devicePermission === 'denied') throw new HostFailure(Errors.permissionDenied);
            const first = host.devicePermission === 'firstGrant';
            host.devicePermission = 'granted';
            return first;
          },
          callbackOf(options, callback),
        );
      },
    };
  }
  const mailbox = {
    item,
    diagnostics: { hostName: host.hostNameReported, hostVersion: '20261201001.08', OWAView: 'ThreeColumns' },
  };

  const office = {
    AsyncResultStatus: { Succeeded: 'succeeded', Failed: 'failed' },
    HostType: { Outlook: 'Outlook' },
    PlatformType: { OfficeOnline: 'OfficeOnline' },
    DevicePermissionType: { camera: 'camera', geolocation: 'geolocation', microphone: 'microphone' },
    MailboxEnums: { AttachmentType: { File: 'file', Item: 'item', Cloud: 'cloud' }, ItemType: { Message: 'message' } },
    context: new Proxy(context, {
      // Office.context.mailbox is there only once Office has initialised.
      get: (target, key) => (key === 'mailbox' ? (ready ? mailbox : undefined) : target[key as string]),
    }),
    onReady(callback?: (info: { host: string; platform: string }) => void) {
      return new Promise((resolve) =>
        setTimeout(() => {
          ready = true;
          const info = { host: 'Outlook', platform: 'OfficeOnline' };
          callback?.(info);
          resolve(info);
        }, 10),
      );
    },
  };
  return office;
}
