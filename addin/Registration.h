#pragma once
// Registration of the library as a COM server and as an Outlook add-in, and its removal.
#include <windows.h>

namespace kestova {

class TComServer;

// The call that writes each registry value: RegSetValueExW, unless a test puts one that fails
// in its place. Answers the writer it replaces.
using TRegistryValueWriter = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
TRegistryValueWriter SetRegistryValueWriter(TRegistryValueWriter writer);

// Raises an exception when the type library, a class key or the add-in entry cannot be written.
void RegisterServer(TComServer& server);
// Goes on past missing keys and failures; raises only when the server cannot describe itself.
void UnregisterServer(TComServer& server);

// The same for the current user only, under HKEY_CURRENT_USER: no administrator needed. The
// Outlook add-in key must open as well: per user it is what was asked for.
void RegisterServerForUser(TComServer& server);
void UnregisterServerForUser(TComServer& server);

}  // namespace kestova
