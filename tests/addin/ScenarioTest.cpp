// The scenario language of the simulated Outlook, run in-process without add-ins: quoting,
// comments, failing steps and what each step prints.
#include <regex>
#include <sstream>

#include "ComTestSupport.h"
#include "tools/outlook_sim/Scenario.h"

namespace kestova::test {
namespace {

class ScenarioTest : public ComTest {
protected:
    int Run(const std::string& steps) {
        std::istringstream in(steps);
        return sim::TScenario(*outlook_.Get(), out_).Run(in);
    }
    std::ostringstream out_;
};

TEST_F(ScenarioTest, QuotedCaptionsCommentsAndBlankLines) {
    std::istringstream in("# a comment\n\nopen explorer main\r\nexpect buttons main \"&New\" 1  # trailing\n"
                          "click main \"&New\"\nown \"a b\"\n");
    sim::TScenario scenario(*outlook_.Get(), out_);
    scenario.Define("own", [](const std::vector<std::string>& words) { return words.at(1); });
    EXPECT_EQ(scenario.Run(in), 0);
    // What a window's handlers took varies from run to run.
    EXPECT_EQ(std::regex_replace(out_.str(), std::regex("  -> NewExplorer .* ms, Activate .* ms"), ""),
              "ok   open explorer main\n"
              "ok   expect buttons main \"&New\" 1  # trailing\n"
              "ok   click main \"&New\"  -> clicked\n"
              "ok   own \"a b\"  -> a b\n");
}

TEST_F(ScenarioTest, EveryFailedStepCountsAndTheRunGoesOn) {
    EXPECT_EQ(Run("open mail m\n"
                  "expect attachments m 1\n"
                  "frobnicate m\n"
                  "click m \"Kestova\"\n"
                  "close nowhere\n"
                  "expect windows inspectors 1\n"),
              4);
    const std::string text = out_.str();
    EXPECT_NE(text.find("FAIL expect attachments m 1  -> attachments: expected 1, found 0"), std::string::npos);
    EXPECT_NE(text.find("FAIL click m \"Kestova\"  -> no button \"Kestova\""), std::string::npos);
    EXPECT_NE(text.find("ok   expect windows inspectors 1"), std::string::npos);
}

TEST_F(ScenarioTest, ClosedWindowsLeaveTheirCollection) {
    EXPECT_EQ(Run("open mail a\nopen contact b\nopen explorer e nostandard\nclose a\n"
                  "expect windows inspectors 1\nexpect toolbar e \"Standard\" no\n"
                  "add-standard e\nexpect toolbar e \"Standard\" yes\nclose e\nexpect windows explorers 0\n"),
              0)
        << out_.str();
}

TEST_F(ScenarioTest, ReusedWindowNameIsRefused) {
    EXPECT_EQ(Run("open mail a\nopen mail a\n"), 1);
    EXPECT_EQ(outlook_->Inspectors().Items().size(), 1u);
}

}  // namespace
}  // namespace kestova::test
