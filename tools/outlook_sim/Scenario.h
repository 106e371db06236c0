#pragma once
// Drives the simulated Outlook from a scenario: one step a line, '#' starts a comment.
//   connect [after-startup] | disconnect [<progid>]   load / unload the registered add-ins (one: as
//                                             the user); after-startup: ext_cm_AfterStartup, no
//                                             OnStartupComplete. Each start is timed; resiliency
//                                             disables an add-in whose 5-start median passes 1 s
//   quit [slow]                               Outlook 2010's fast shutdown: Application.Quit, the
//                                             add-ins released; slow: OnBeginShutdown, OnDisconnection
//   check|uncheck <progid>                    the COM Add-ins dialog ticks or unticks it (COMAddIn.Connect)
//   open mail|contact <win> [late-bars] | open explorer <win> [nostandard]
//                                             late-bars: CommandBars fails until the first Activate;
//                                             NewInspector and Activate are timed, 500 ms disables
//   renew <win>                               NewInspector (NewExplorer) again for the same window
//   close|activate|deactivate|select <win>    window events (select: SelectionChange)
//   add-standard <explorer>                   the built-in "Standard" toolbar appears
//   click <win> "<caption>"                   Click on the window's button of that caption,
//                                             raised on every button of its tag
//   add-button <win> "<caption>" "<tag>"      a button of the scenario's own, on its own bar
//   attach <win> <file> ["<name>"]            <file> relative to the scenario's folder
//   set <win> Subject|To|Body "<text>"         a field of the window's item
//   save <win> <file.eml> | send <win>         <file.eml> relative to the working folder
//   expect addins <n> | expect windows inspectors|explorers <n> | expect loadbehavior <progid> <n>
//   expect sinks application|inspectors|explorers|<win> <n>
//   expect toolbar <win> "<name>" yes|no | expect buttons <win> "<caption>" <n>
//   expect attachments <win> <n> | expect attachment <win> "<name>" yes|no
//   count threads | expect threads counted    the process's threads, then the same number
//   expect released                           no simulated object is held beyond the host's own references
//   expect startup under <ms>                 the add-ins' last start (OnConnection, OnStartupComplete)
//   expect tag <win> "<caption>" "<tag>" | expect size <win> "<attachment>" <min> <max>
//   expect property <win> "<caption>"|toolbar "<bar>" <name> <value>   true|false, number, text
//                                             (Temporary is read from the host's own record)
// The ribbon (Outlook 2007 on):
//   version 16.0|15.0|14.0|12.0|11.0          the Outlook played, before connect (default 16.0)
//   ribbon off                                a policy: add-ins are not asked for their ribbon
//   open inline <explorer> <name>             a reply in the explorer's reading pane, item <name>
//   close inline <explorer>
//   click ribbon <win> "<label>"              onAction of the window's ribbon control
//   expect ribbon <win> "<label>" enabled yes|no
//   expect ribbon-errors <n>                  Outlook's custom UI errors so far
//   save ribbon <RibbonID> <file.xml> | save image <win> "<label>" <file.png>
// The steps of TWindowDriver (record, stop, play, ok, cancel, dismiss) that follow a step run
// beside it, while it shows the add-in's windows modally; so do indented steps among them
// (close, open, send, click, quit, expect...), which Outlook runs inside the modal loop.
// Each step prints one line: "ok" or "FAIL", the step, and what happened. A program that runs
// scenarios in-process may add verbs of its own.
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "tools/outlook_sim/AddinHost.h"
#include "tools/outlook_sim/Application.h"

namespace kestova::sim {

class TScenario {
public:
    // `folder`: where files named by attach steps are found.
    TScenario(TSimApplication& application, std::ostream& out, std::wstring folder = L"");
    // A step of the caller's own under that verb, e.g. a measure taken between Outlook's steps;
    // it answers what the step prints or raises kestova::Exception.
    using TOwnStep = std::function<std::string(const std::vector<std::string>& words)>;
    void Define(const std::string& verb, TOwnStep step) { ownSteps_[verb] = std::move(step); }
    // Answers whether the step succeeded.
    bool Step(const std::string& line);
    // Runs every step; answers the number of failed steps.
    int Run(std::istream& in);

private:
    using TWords = std::vector<std::string>;
    struct TWindow {
        com::ComPtr<TSimInspector> inspector;  // one of these two is set
        com::ComPtr<TSimExplorer> explorer;  // with an inline reply: the explorer that shows it
        com::ComPtr<TSimItem> inlineResponse;
        com::ComPtr<TSimWindow> AsWindow() const {
            return inspector ? com::ComPtr<TSimWindow>(inspector) : com::ComPtr<TSimWindow>(explorer);
        }
    };

    int StepDriving(const std::string& line, const std::vector<std::string>& windowSteps);
    std::string Execute(const TWords& words);
    std::string Expect(const TWords& words);
    std::string Open(const TWords& words);
    std::string WindowEvent(const TWords& words);
    std::string Click(const TWords& words);
    std::string Connect(com::ext_ConnectMode mode);
    using TStep = std::string (TScenario::*)(const TWords& words);
    static TStep RibbonStep(const TWords& words);
    void BeforeConnect(const std::string& verb) const;
    std::string Version(const TWords& words);
    std::string RibbonOff(const TWords& words);
    com::ComPtr<TSimExplorer> InlinePane(const TWords& words);
    std::string OpenInline(const TWords& words);
    std::string CloseInline(const TWords& words);
    std::string ClickRibbon(const TWords& words);
    std::string ExpectRibbon(const TWords& words);
    std::string ExpectRibbonErrors(const TWords& words);
    std::string SaveRibbon(const TWords& words);
    std::string SaveImage(const TWords& words);
    std::string Quit();
    std::string Renew(const TWindow& window);
    std::string ExpectReleased();
    std::string Disconnect();
    IDispatch* PropertyOwner(const TWords& words);
    std::string TemporaryText(const TWords& words);
    TWindow& Window(const std::string& name);
    std::vector<com::ComPtr<TSimButton>> Buttons(const std::string& window, const std::string& caption);
    TSimItem& Item(const std::string& name);
    size_t SinkCount(const std::string& target);

    TSimApplication& application_;
    std::ostream& out_;
    TAddinHost host_;
    std::wstring folder_;
    std::map<std::string, TWindow> windows_;
    std::map<std::string, TOwnStep> ownSteps_;
    size_t countedThreads_ = 0;
    ULONG applicationOwnRefs_;  // the references the host itself keeps on the application
};

}  // namespace kestova::sim
