// Every Office.js call goes through here: its asyncResult.status is checked, and a failure
// becomes an OfficeCallError that carries Office's own code, name and message.

export class OfficeCallError extends Error {
  constructor(
    readonly code: number,
    readonly officeName: string,
    message: string,
  ) {
    super(message);
    this.name = 'OfficeCallError';
  }
}

type Callback<T> = (result: Office.AsyncResult<T>) => void;

export function officeCall<T>(start: (callback: Callback<T>) => void): Promise<T> {
  return new Promise<T>((resolve, reject) => {
    try {
      start((result) => {
        if (result.status === Office.AsyncResultStatus.Succeeded) resolve(result.value);
        else reject(new OfficeCallError(result.error?.code ?? 0, result.error?.name ?? '', result.error?.message ?? ''));
      });
    } catch (e) {
      // Office.js checks its arguments before it goes asynchronous, and throws.
      reject(e);
    }
  });
}
