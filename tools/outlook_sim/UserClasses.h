#pragma once
// Creating a COM class registered for the current user only (HKCU\Software\Classes). Windows
// merges those classes into HKEY_CLASSES_ROOT; Wine's COM reads only the machine's, so the
// simulated Outlook looks there itself when COM does not know the ProgID.
#include <windows.h>
#include <unknwn.h>

#include <string>

namespace kestova::sim {

// CLSIDFromProgID and CoCreateInstance, then the per-user class's DllGetClassObject.
HRESULT CreateAddinObject(const std::wstring& progID, IUnknown** addin);

}  // namespace kestova::sim
