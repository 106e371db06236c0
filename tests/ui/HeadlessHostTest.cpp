#include "ui/headless/HeadlessHost.h"

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

using namespace kestova;
using namespace std::chrono_literals;
using H = THeadlessHost;

namespace {

struct TDialog : TForm {
    TAction actWork{this, "actWork", "Work"};
    TAction actFail{this, "actFail", "Fail"};
    TLabel lbState{this, "lbState"};
    TProgressBar pbPlay{this, "pbPlay"};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};
    TPopupMenu pmMain{this, "pmMain"};
    bool closing = false;

    explicit TDialog(TForm* owner = nullptr) : TForm(owner) {
        SetCaption("Dialog");
        lbState.SetCaption("Ready");
        pbPlay.SetMax(300);
        btOK.SetModalResult(mrOk);
        btCancel.OnClick = [this](TComponent*) {
            if (ConfirmDlg("Sure?") == idYes) SetModalResult(mrCancel);
        };
        actFail.OnExecute = [](TComponent*) { throw Exception("Component is buisy"); };
        OnClose = [this](TComponent*) { closing = true; };
        pmMain.AddItem(&actWork);
        SetPopupMenu(&pmMain);
    }
};

class HeadlessHost : public ::testing::Test {
protected:
    void SetUp() override { SetMainThread(CreateOsMainThread()); }
    void TearDown() override { SetMainThread(nullptr); }

    H host;
    THostScope scope{host};
};

}  // namespace

TEST_F(HeadlessHost, ButtonWithResultEndsTheModalRun) {
    TDialog form;
    host.WhenModal([](TForm& shown) { H::Click(shown, "btOK"); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(host.ModalForms().empty());
}

TEST_F(HeadlessHost, ShowModalStartsFromNoResult) {
    TDialog form;
    form.SetModalResult(mrOk);  // left over from an earlier run
    host.WhenModal([](TForm& shown) { H::CloseBox(shown); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(HeadlessHost, CloseBoxRunsOnCloseThenCancels) {
    TDialog form;
    H::CloseBox(form);
    EXPECT_TRUE(form.closing);
    EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST_F(HeadlessHost, ConfirmAnswersComeFromTheQueueThenTheFirstButton) {
    TDialog form;
    host.AnswerNext(idNo);
    H::Click(form, "btCancel");
    EXPECT_EQ(form.ModalResult(), mrNone);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].Caption, "Confirm");
    EXPECT_EQ(host.Boxes()[0].Text, "Sure?");
    EXPECT_EQ(host.Boxes()[0].Flags, unsigned(mbYesNo | mbIconQuestion));
    H::Click(form, "btCancel");  // nothing queued: Yes
    EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST_F(HeadlessHost, UncaughtErrorOfAnActionGoesToTheErrorBox) {
    TDialog form;
    EXPECT_TRUE(H::Execute(form, "actFail"));
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].Text, "Component is buisy");
    EXPECT_EQ(host.Boxes()[0].Flags, unsigned(mbIconStop));
}

TEST_F(HeadlessHost, DisabledActionIsNotExecutedAndReadsBack) {
    TDialog form;
    form.actWork.SetEnabled(false);
    EXPECT_FALSE(H::Execute(form, "actWork"));
    EXPECT_FALSE(H::ClickMenu(form, "Work"));
    EXPECT_FALSE(H::Enabled(form, "actWork"));
    EXPECT_THROW(H::Click(form, "btNone"), Exception);
}

TEST_F(HeadlessHost, WorkerPostsReachTheFormDuringTheModalRun) {
    TDialog form;
    std::thread worker;
    host.WhenModal([&](TForm&) {
        worker = std::thread([&] {
            for (int i = 1; i <= 300; ++i)
                PostToWindowThread([&form, i] { form.pbPlay.SetPosition(i); });
            PostToWindowThread([&form] { form.lbState.SetCaption("Stopped"); });
            PostToWindowThread([&form] { form.SetModalResult(mrOk); });
        });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    worker.join();
    EXPECT_EQ(H::Position(form, "pbPlay"), 300);
    EXPECT_EQ(H::Caption(form, "lbState"), "Stopped");
}

TEST_F(HeadlessHost, PostedErrorsAreShownAndTheLoopGoesOn) {
    TDialog form;
    host.WhenModal([&](TForm&) {
        MainThread()->Post([] { throw Exception("Disk full"); });  // not guarded by its poster
        PostToWindowThread([] { throw Exception("Device lost"); });
        PostToWindowThread([&form] { form.SetModalResult(mrCancel); });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    // The port keeps an unguarded error until its pump ends, so the order of the two boxes is its own.
    std::multiset<std::string> shown;
    for (const auto& box : host.Boxes()) shown.insert(box.Text);
    EXPECT_EQ(shown, (std::multiset<std::string>{"Device lost", "Disk full"}));
}

TEST_F(HeadlessHost, NestedModalFormsCloseInnermostFirst) {
    TDialog outer;
    TDialog inner(&outer);
    outer.actWork.OnExecute = [&](TComponent*) {
        host.WhenModal([](TForm& shown) { H::Click(shown, "btOK"); });
        EXPECT_EQ(inner.ShowModal(), mrOk);
        EXPECT_EQ(host.ModalForms().size(), 1u);
    };
    host.WhenModal([](TForm& shown) {
        H::Execute(shown, "actWork");
        H::CloseBox(shown);
    });
    EXPECT_EQ(outer.ShowModal(), mrCancel);
}

TEST_F(HeadlessHost, FormLeftOpenRaisesInsteadOfHanging) {
    TDialog form;
    host.SetModalTimeout(50ms);
    EXPECT_THROW(form.ShowModal(), Exception);
    EXPECT_TRUE(host.ModalForms().empty());
}

TEST_F(HeadlessHost, PumpUntilWaitsForAConditionSetByAWorker) {
    std::atomic<bool> done{false};
    std::thread worker([&] { PostToWindowThread([&] { done = true; }); });
    EXPECT_TRUE(host.PumpUntil([&] { return done.load(); }, 10s));
    worker.join();
}
