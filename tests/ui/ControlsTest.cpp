#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace kestova;

namespace {

struct TSample : TForm {
    TAction actGo{this, "actGo", "Go", 0};
    TFlatButton btGo{this, "btGo"};
    TFlatButton btOK{this, "btOK"};
    TGroupBox gbBox{this, "gbBox"};
    TLabel lbInner{this, "lbInner", &gbBox};
    TProgressBar pbBar{this, "pbBar"};
    TActionToolBar tbBar{this, "tbBar"};
    TComboBox cbList{this, "cbList"};
    int runs = 0;
    int resultSeenByHandler = -1;

    TSample() {
        SetClientSize(400, 196);
        actGo.OnExecute = [this](TComponent*) { ++runs; };
        btGo.SetAction(&actGo);
        btOK.SetModalResult(mrOk);
        btOK.OnClick = [this](TComponent*) { resultSeenByHandler = ModalResult(); };
    }
};

}  // namespace

TEST(Controls, DisabledActionAndItsButtonsDoNothing) {
    TSample form;
    EXPECT_TRUE(form.btGo.Click());
    form.actGo.SetEnabled(false);
    EXPECT_FALSE(form.btGo.Enabled());  // a linked control shows the action's state
    EXPECT_FALSE(form.btGo.Click());
    EXPECT_FALSE(form.actGo.Execute());
    EXPECT_EQ(form.runs, 1);
}

TEST(Controls, ViewHookHearsOnlyRealChanges) {
    TSample form;
    int changes = 0;
    form.actGo.SetViewHook([&] { ++changes; });
    form.actGo.SetEnabled(true);
    form.actGo.SetEnabled(false);
    form.actGo.SetEnabled(false);
    EXPECT_EQ(changes, 1);
}

TEST(Controls, ButtonSetsModalResultBeforeItsHandler) {
    TSample form;
    form.btOK.Click();
    EXPECT_EQ(form.resultSeenByHandler, mrOk);
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(Controls, ProgressBarClampsToItsRange) {
    TSample form;
    form.pbBar.SetMax(300);
    form.pbBar.SetPosition(301);
    EXPECT_EQ(form.pbBar.Position(), 300);
    form.pbBar.SetPosition(-5);
    EXPECT_EQ(form.pbBar.Position(), 0);
    form.pbBar.SetPosition(250);
    form.pbBar.SetMax(100);  // a smaller range pulls the position in
    EXPECT_EQ(form.pbBar.Position(), 100);
}

TEST(Controls, ComboBoxFindsTextIgnoringCase) {
    TSample form;
    form.cbList.SetItems({"8", "64", "Kbps"});
    EXPECT_EQ(form.cbList.IndexOf("KBPS"), 2);
    EXPECT_EQ(form.cbList.IndexOf("6"), -1);
    EXPECT_EQ(form.cbList.Text(), "");
    form.cbList.SetItemIndex(1);
    EXPECT_EQ(form.cbList.Text(), "64");
    form.cbList.SetItemIndex(7);
    EXPECT_EQ(form.cbList.ItemIndex(), -1);
}

TEST(Controls, ToolbarDocksAtTheBottomAndChildrenSitInTheirParent) {
    TSample form;
    const auto bar = form.ClientBounds(form.tbBar);
    EXPECT_EQ(bar.Top, 196 - 59);
    EXPECT_EQ(bar.Width, 400);
    EXPECT_EQ(bar.Height, 59);
    form.gbBox.SetBounds(10, 20, 200, 100);
    form.lbInner.SetBounds(5, 7, 50, 13);
    const auto inner = form.ClientBounds(form.lbInner);
    EXPECT_EQ(inner.Left, 15);
    EXPECT_EQ(inner.Top, 27);
}

TEST(Controls, FormFindsWhatItOwnsAndForgetsWhatIsGone) {
    TSample form;
    EXPECT_EQ(form.FindControl("btOK"), &form.btOK);
    EXPECT_EQ(form.FindAction("actGo"), &form.actGo);
    const size_t before = form.Controls().size();
    {
        TLabel temporary(&form, "lbTemp");
        EXPECT_EQ(form.Controls().size(), before + 1);
    }
    EXPECT_EQ(form.FindControl("lbTemp"), nullptr);
}

TEST(Controls, MenuFindsItemsWithoutAccelerators) {
    TSample form;
    TAction about(&form, "actAbout", "About...");
    TPopupMenu menu(&form, "pmMain");
    menu.AddItem(&form.actGo);
    menu.AddSeparator();
    menu.AddItem(&about);
    EXPECT_EQ(menu.Find("&Go"), &form.actGo);
    EXPECT_EQ(menu.Find("About..."), &about);
    EXPECT_EQ(menu.Find("Help"), nullptr);
    EXPECT_EQ(StripHotkey("P&ause"), "Pause");
    EXPECT_EQ(StripHotkey("A&&B"), "A&B");
}

TEST(Controls, ToolbarItemsAreNamedWithoutMarksOrEllipsis) {
    TSample form;
    TAction about(&form, "actAbout", "About...");
    form.tbBar.AddItem(&form.actGo, "&Go");
    form.tbBar.AddItem(&about);
    EXPECT_EQ(form.tbBar.Items()[0].Name(), "Go");
    EXPECT_EQ(form.tbBar.Items()[1].Name(), "About");
}
