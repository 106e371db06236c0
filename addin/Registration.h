#pragma once
// Registration of the library as a COM server and as an Outlook add-in, and its removal.
namespace kestova {

class TComServer;

// Raises an exception when the type library or a class key cannot be written.
void RegisterServer(TComServer& server);
// Goes on past missing keys and failures; raises only when the server cannot describe itself.
void UnregisterServer(TComServer& server);

}  // namespace kestova
