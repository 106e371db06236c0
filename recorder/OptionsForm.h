#pragma once
// The Options dialog: picks the bit rate recordings are encoded at. OK (1) stores the choice in
// the settings file; Cancel, Esc and the close box (2) store nothing.
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace kestova {

class TformOptions : public TForm {
public:
    explicit TformOptions(TForm* owner);

    TGroupBox gbCompress{this, "gbCompress"};
    TLabel lbBitRate{this, "lbBitRate", &gbCompress};
    TComboBox cbBitRate{this, "cbBitRate", &gbCompress};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};

    void btOKClick(TComponent* Sender);

    // Selects the stored rate's item (letter case ignored); no selection when none equals it.
    void LoadOptions();
    // Writes the selected item's text, empty when nothing is selected. Raises "Unable to write
    // to <path>" when the file cannot be written; the dialog's result is 1 all the same.
    void SaveOptions();

private:
    void BuildLayout();
    void FormCreate();
};

}  // namespace kestova
