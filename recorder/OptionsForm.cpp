#include "recorder/OptionsForm.h"

#include "recorder/Microphones.h"
#include "recorder/Links.h"
#include "recorder/Settings.h"

#include <string>
#include <vector>

namespace kestova {

TformOptions::TformOptions(TForm* owner) : TForm(owner) {
    BuildLayout();
    btOK.OnClick = [this](TComponent* sender) { btOKClick(sender); };
    OnHelp = [](TComponent*) { OpenHelpFile(); };
    FormCreate();
}

void TformOptions::BuildLayout() {
    SetCaption("Options");
    SetBorderStyle(TBorderStyle::bsSingle);
    SetClientSize(247, 169);
    SetPosition(TPosition::poOwnerFormCenter);
    gbCompress.SetBounds(11, 8, 225, 105);
    gbCompress.SetCaption("Compress");
    lbBitRate.SetBounds(16, 44, 92, 16);  // room for the text at 150 %, whose glyphs round wider
    lbBitRate.SetCaption("Bit Rate (kbps):");
    cbBitRate.SetBounds(112, 40, 97, 21);
    std::vector<std::string> rates;
    for (const int kbps : BitRateChoices) rates.push_back(std::to_string(kbps));
    cbBitRate.SetItems(std::move(rates));
    lbMicrophone.SetBounds(16, 76, 72, 16);
    lbMicrophone.SetCaption("Microphone:");
    cbMicrophone.SetBounds(88, 72, 121, 21);
    cbMicrophone.SetItems(MicrophoneChoices());
    SetActiveControl(&cbBitRate);
    btOK.SetBounds(81, 128, 75, 25);
    btOK.SetCaption("OK");
    btOK.SetDefault(true);
    btOK.SetModalResult(mrOk);
    btCancel.SetBounds(161, 128, 75, 25);
    btCancel.SetCaption("Cancel");
    btCancel.SetCancel(true);
    btCancel.SetModalResult(mrCancel);
}

void TformOptions::FormCreate() { LoadOptions(); }

void TformOptions::btOKClick(TComponent*) { SaveOptions(); }

namespace {
// A value a policy sets is shown as it is in force, and cannot be changed.
void ShowOrigin(TControl& control, const TSetting& setting) {
    control.SetEnabled(!setting.FromPolicy());
    control.SetHint(setting.FromPolicy() ? std::string(SetByPolicyText) + " (" + OriginText(setting.Origin) + ")" : "");
}
}  // namespace

void TformOptions::LoadOptions() {
    const TStoredSettings stored;
    const TSetting rate = stored.BitRateSetting();
    cbBitRate.SetItemIndex(cbBitRate.IndexOf(rate.TextOr(std::to_string(kDefaultBitRateKbps))));
    ShowOrigin(cbBitRate, rate);
    const TSetting microphone = stored.MicrophoneSetting();
    // Item 0 is Windows' default (device -1), item n + 1 is device n.
    const int item = MicrophoneFor(microphone.Text, cbMicrophone.Items()).Device + 1;
    shownMicrophone_ = item < static_cast<int>(cbMicrophone.Items().size()) ? item : -1;
    cbMicrophone.SetItemIndex(shownMicrophone_);
    ShowOrigin(cbMicrophone, microphone);
}

// A microphone is stored only when the user picked one, so a window without a choice goes on
// recording from the first device. What a policy sets is not the user's to store.
void TformOptions::SaveOptions() {
    const TStoredSettings stored;
    if (cbBitRate.Enabled()) stored.StoreBitRateText(cbBitRate.Text());
    if (cbMicrophone.Enabled() && cbMicrophone.ItemIndex() != shownMicrophone_) stored.StoreMicrophone(cbMicrophone.Text());
}

}  // namespace kestova
