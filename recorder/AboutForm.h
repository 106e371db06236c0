#pragma once
// The About window: the product's name and version, the maker's notice and two links. OK,
// Enter and Esc close it with 1, the close box with 2; callers ignore the result. "Copy
// diagnostics" puts the helpdesk's report on the clipboard.
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace kestova {

class TformAbout : public TForm {
public:
    explicit TformAbout(TForm* owner = nullptr);

    TImage imgIcon{this, "imgIcon"};
    TLabel lbProduct{this, "lbProduct"};
    TLabel lbNotice{this, "lbNotice"};
    TLabel lbHomePage{this, "lbHomePage"};
    TFlatButton btHomePage{this, "btHomePage"};
    TLabel lbSupport{this, "lbSupport"};
    TFlatButton btSupport{this, "btSupport"};
    TFlatButton btDiagnostics{this, "btDiagnostics"};
    TFlatButton btOK{this, "btOK"};

    void btHomePageClick(TComponent* Sender);
    void btSupportClick(TComponent* Sender);
    void btDiagnosticsClick(TComponent* Sender);

private:
    void BuildLayout();
};

}  // namespace kestova
