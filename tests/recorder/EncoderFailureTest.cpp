// The recorder window with the stand-in encoder library of this program's folder, made to fail
// at one entry point: the failure is shown, the window returns to Stopped, and only a finished
// recording is ever offered.
#include "audio/lame.h"
#include "recorder/MainForm.h"
#include "recorder/RecordingFile.h"
#include "tests/recorder/RecorderFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestova;
using kestova::test::RecorderWindow;

namespace {

class EncoderFailure : public RecorderWindow, public ::testing::WithParamInterface<const char*> {
protected:
    // The stand-in is bound while a window holds the encoder.
    static void FailAt(const char* entry) {
        using TFail = void (*)(const char*);
        const auto fail = reinterpret_cast<TFail>(LameModule().Symbol("kestova_stand_in_fail"));
        ASSERT_NE(fail, nullptr) << "not the stand-in encoder: " << LameModule().FileName();
        fail(entry);
    }
    bool ErrorShown(const std::string& entry) {
        if (!WaitFor([&] { return !host.Boxes().empty(); })) return false;
        const std::string text = host.Boxes().back().Text;
        return text.find(entry) != std::string::npos;
    }
    void RecordUntilFailure(TformMain& form, const std::string& entry) {
        if (entry == "lame_encode_flush") {
            Record(form, 1);
            H::Execute(form, "actStop");
        } else {
            ASSERT_TRUE(H::Execute(form, "actRecord"));
        }
        ASSERT_TRUE(ErrorShown(entry)) << (host.Boxes().empty() ? "no box" : host.Boxes().back().Text);
    }
};

}  // namespace

TEST_P(EncoderFailure, IsShownAndNoFileIsOffered) {
    TformMain form;
    FailAt(GetParam());
    RecordUntilFailure(form, GetParam());
    EXPECT_EQ(Buttons(form), "Rpaso");
    EXPECT_EQ(Status(form), "Stopped");
    EXPECT_FALSE(std::filesystem::exists(form.RecordFileName));
    EXPECT_FALSE(std::filesystem::exists(NewRecordingFile(form.RecordFileName)));
    H::Click(form, "btOK");
    EXPECT_EQ(form.ModalResult(), mrNone);
}

TEST_P(EncoderFailure, LeavesTheEarlierRecordingForOk) {
    TformMain form;
    RecordAndFinish(form, 1);
    const std::string earlier = FileText(form.RecordFileName);
    FailAt(GetParam());
    RecordUntilFailure(form, GetParam());
    EXPECT_EQ(FileText(form.RecordFileName), earlier);
    EXPECT_EQ(Status(form), "Recording failed; the earlier one is kept");
    EXPECT_EQ(Buttons(form), "RPasO");
    H::Click(form, "btOK");
    EXPECT_EQ(form.ModalResult(), mrOk);
}

INSTANTIATE_TEST_SUITE_P(AtEachStep, EncoderFailure,
                         ::testing::Values("lame_init", "lame_init_params", "lame_encode", "lame_encode_flush"));
