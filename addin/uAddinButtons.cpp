// The windows' toolbar buttons. They open the recorder and About windows, which this library
// does not carry yet; until then an adopted window simply has no button of ours.
#include "addin/uAddin.h"

namespace kestova {

void TzelAddin::InstallVoiceButton(TAddinInspector&) {}

void TzelAddin::AddAboutButton(TAddinExplorer&) {}

}  // namespace kestova
