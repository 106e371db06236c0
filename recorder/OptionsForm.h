#pragma once
// The Options dialog: picks the bit rate recordings are encoded at and the microphone they are
// recorded from. OK (1) stores the choices in the settings file; Cancel, Esc and the close box
// (2) store nothing.
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace kestova {

class TformOptions : public TForm {
public:
    explicit TformOptions(TForm* owner);

    TGroupBox gbCompress{this, "gbCompress"};
    TLabel lbBitRate{this, "lbBitRate", &gbCompress};
    TComboBox cbBitRate{this, "cbBitRate", &gbCompress};
    TLabel lbMicrophone{this, "lbMicrophone", &gbCompress};
    TComboBox cbMicrophone{this, "cbMicrophone", &gbCompress};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};

    void btOKClick(TComponent* Sender);

    // Selects the stored rate's item (letter case ignored); no selection when none equals it.
    // Selects the microphone recordings use now: the stored one, else the first device.
    // A control whose value a policy sets is disabled, and its tooltip says so.
    void LoadOptions();
    // Writes the selected rate's text, empty when nothing is selected, and the microphone's name
    // when the user picked another one; neither when a policy sets it. Raises "Unable to write
    // to <path>" when the file cannot be written; the dialog's result is 1 all the same.
    void SaveOptions();

private:
    int shownMicrophone_ = -1;  // the microphone item selected when the dialog opened

    void BuildLayout();
    void FormCreate();
};

}  // namespace kestova
