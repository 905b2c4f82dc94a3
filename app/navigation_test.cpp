// Tests of the screen flow against scripted screens: which screen follows which result.
#include "app/navigation.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "setup/message_table.h"
#include "setup/screen_results.h"

namespace {

using app::StartMode;
using setup::RESULT_BACK;
using setup::RESULT_CLOSE;
using setup::RESULT_NEXT;

// Screens that answer from scripts and write down, in order, everything the flow asked for.
class ScriptedScreens : public app::Screens {
public:
    int ShowMessage(const std::string& device, uint32_t code) override {
        char text[64];
        std::snprintf(text, sizeof text, "message '%s' %08X", device.c_str(),
                      static_cast<unsigned>(code));
        calls.push_back(text);
        return Next(messageResults);
    }
    app::LocateOutcome ShowLocate() override {
        calls.push_back("locate");
        if (locateResults.empty()) {
            ADD_FAILURE() << "an unexpected Locate screen";
            return {RESULT_CLOSE, "", ""};
        }
        app::LocateOutcome outcome = locateResults.front();
        locateResults.pop_front();
        return outcome;
    }
    int ShowNote(const std::string& host, const std::string& ip) override {
        calls.push_back("note " + host + " " + ip);
        return Next(noteResults);
    }
    int ShowMainMenu(const std::string& host, const std::string& ip) override {
        return Screen("menu " + host + " " + ip);
    }
    int ShowDriveManagement(const std::string& host, const std::string& ip) override {
        return Screen("drives " + host + " " + ip);
    }
    int ShowSortSettings() override { return Screen("sort"); }
    int ShowFirstDragNotice() override { return Screen("first drag"); }
    int ShowStatusView(const std::string& heading) override { return Screen("status " + heading); }
    int ShowChooseAccount(const std::string& host, int* type) override {
        const int result = Screen("choose " + host + " " + std::to_string(*type));
        if (!chosenTypes.empty()) {
            *type = chosenTypes.front();
            chosenTypes.pop_front();
        }
        return result;
    }
    app::NamePasswordOutcome ShowNamePassword(const std::string& host, const std::string& ip,
                                              int type) override {
        const int result = Screen("name " + host + " " + ip + " " + std::to_string(type));
        return {result, "anne", "pw", 0xA0000001};
    }
    app::PurposeOutcome ShowAccountPurpose(const std::string& host, const std::string& ip, int type,
                                           const std::string& name,
                                           const std::string& password) override {
        const int result = Screen("purpose " + host + " " + ip + " " + std::to_string(type) + " " +
                                  name + " " + password);
        return {result, "Anne", 0xC0000001};
    }
    int ShowSetupComplete(const std::string& host, const std::string& name, int type) override {
        return Screen("complete " + host + " " + name + " " + std::to_string(type));
    }
    int ShowBackupMenu(const std::string& host, const std::string& share) override {
        return Screen("backup menu " + host + " " + share);
    }
    int ShowBackupProgress(const std::string& host, const std::string& share,
                           const std::string& drive) override {
        return Screen("progress " + host + " " + share + " " + drive);
    }
    int ShowCleanUp(const std::string& host) override { return Screen("clean up " + host); }
    int ShowRestoreType(const std::string& share) override {
        return Screen("restore type " + share);
    }
    int ShowRestoreFiles(const std::string& drive, const std::string& share) override {
        return Screen("restore files " + drive + " " + share);
    }
    int ShowWizardFolders(const std::string& share) override { return Screen("folders " + share); }
    int ShowWizardSchedule(const std::string& share, const std::string& dir) override {
        return Screen("schedule " + share + " " + dir);
    }
    int ShowWizardSummary(const std::string& share, const std::string& drive) override {
        return Screen("summary " + share + " " + drive);
    }
    int ShowAdvanced(const std::string& host) override { return Screen("advanced " + host); }
    void SendEngineCommand(const char* command) override {
        calls.push_back(std::string("engine ") + command);
    }
    bool SelectionHasShare(const std::string& share) override {
        calls.push_back("has selection " + share);
        return hasSelection;
    }
    void SnapshotSelection() override { calls.push_back("snapshot"); }
    std::string ReadInstallDirectory() override { return "C:\\Kelvox"; }
    int WindowsMajorVersion() override {
        calls.push_back("version");
        return windowsMajor;
    }
    std::string ReadSetting(const char* name) override {
        calls.push_back(std::string("read ") + name);
        return settings[name];
    }
    bool StartSockets() override {
        calls.push_back("sockets start");
        return socketsStart;
    }
    void StopSockets() override { calls.push_back("sockets stop"); }
    bool ProbeAnswers(const std::string& address) override {
        calls.push_back("probe " + address);
        return answers;
    }
    void Wait(unsigned ms) override { calls.push_back("wait " + std::to_string(ms)); }

    std::deque<int> messageResults;
    std::deque<app::LocateOutcome> locateResults;
    std::deque<int> noteResults;
    // The results of every other screen, in the order the flow shows them.
    std::deque<int> screenResults;
    std::deque<int> chosenTypes;
    bool hasSelection = false;
    int windowsMajor = 5;
    std::map<std::string, std::string> settings;
    bool socketsStart = true;
    bool answers = false;
    std::vector<std::string> calls;

private:
    int Screen(const std::string& call) {
        calls.push_back(call);
        return Next(screenResults);
    }
    int Next(std::deque<int>& results) {
        if (results.empty()) {
            ADD_FAILURE() << "an unexpected screen: " << calls.back();
            return RESULT_CLOSE;
        }
        const int result = results.front();
        results.pop_front();
        return result;
    }
};

using Calls = std::vector<std::string>;

// The five switches that choose the Main menu's first screen, in ManagerApp's order.
struct MenuFlags {
    bool shareSetup = false;
    bool backupMenu = false;
    bool manage = false;
    bool backupNow = false;
    bool dashBoard = false;
};

class Flow : public ::testing::Test {
protected:
    int Run(StartMode mode, bool alreadyRunning = false) {
        app::Navigator navigator({host, ip, share, drive, flags.shareSetup, flags.backupMenu,
                                  flags.manage, flags.backupNow, flags.dashBoard},
                                 screens);
        return navigator.RunStartMode(mode, alreadyRunning);
    }

    void Remember(const std::string& address, const std::string& name) {
        screens.settings["CurrentIP"] = address;
        screens.settings["CurrentHostName"] = name;
    }

    ScriptedScreens screens;
    std::string host = "OLD";
    std::string ip = "0.0.0.0";
    std::string share;
    std::string drive;
    MenuFlags flags;
};

const Calls SESSION_START = {"read CurrentIP", "read CurrentHostName", "sockets start"};

Calls Join(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Flow, ARememberedApplianceThatAnswersOpensAtTheNoteAndBackLeadsToLocate) {
    Remember(" \t198.51.100.20\r\n", " NAS1 ");
    screens.answers = true;
    screens.noteResults = {RESULT_BACK};
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"probe 198.51.100.20", "note NAS1 198.51.100.20",
                                                  "locate", "sockets stop"}));
}

TEST_F(Flow, NoRememberedAddressGoesToLocateWithoutAProbe) {
    Remember("   ", "NAS1");
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"locate", "sockets stop"}));
}

TEST_F(Flow, NoAnswerOrNoSocketsGoToLocate) {
    Remember("198.51.100.20", "NAS1");
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls,
              Join(SESSION_START, {"probe 198.51.100.20", "locate", "sockets stop"}));

    screens.calls.clear();
    screens.socketsStart = false;
    screens.answers = true;
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"locate"})) << "nothing to stop";
}

TEST_F(Flow, LocateChoosesTheApplianceForTheNoteAndOtherResultsScanAgain) {
    screens.locateResults = {{RESULT_BACK, "X", "1.1.1.1"},
                             {RESULT_NEXT, "NAS2", "198.51.100.30"},
                             {RESULT_CLOSE, "NAS2", "198.51.100.30"}};
    // Back on the Note leads to a new Locate screen.
    screens.noteResults = {RESULT_BACK};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"locate", "locate", "note NAS2 198.51.100.30",
                                                  "locate", "sockets stop"}));
    EXPECT_EQ(host, "NAS2");
    EXPECT_EQ(ip, "198.51.100.30");
}

TEST_F(Flow, TheNoteComesBackForResultsItDoesNotKnow) {
    screens.locateResults = {{RESULT_NEXT, "NAS1", "198.51.100.20"}};
    screens.noteResults = {103, 0, RESULT_CLOSE};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls,
              Join(SESSION_START, {"locate", "note NAS1 198.51.100.20", "note NAS1 198.51.100.20",
                                   "note NAS1 198.51.100.20", "sockets stop"}));
}

TEST_F(Flow, CloseAtAnyDepthEndsAtOnce) {
    // On the Locate screen.
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls.back(), "sockets stop");

    // On the Note screen reached through Locate.
    screens.calls.clear();
    screens.locateResults = {{RESULT_NEXT, "NAS1", "198.51.100.20"}};
    screens.noteResults = {RESULT_CLOSE};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls,
              Join(SESSION_START, {"locate", "note NAS1 198.51.100.20", "sockets stop"}));

    // On the Note screen reached through the probe.
    screens.calls.clear();
    Remember("198.51.100.20", "NAS1");
    screens.answers = true;
    screens.noteResults = {RESULT_CLOSE};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"probe 198.51.100.20", "note NAS1 198.51.100.20",
                                                  "sockets stop"}));
}

TEST_F(Flow, ALocateOrNoteThatCannotBeCreatedEndsTheFlow) {
    screens.locateResults = {{setup::RESULT_NOT_SHOWN, "", ""}};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"locate", "sockets stop"}));

    screens.calls.clear();
    Remember("198.51.100.20", "NAS1");
    screens.answers = true;
    screens.noteResults = {setup::RESULT_NOT_SHOWN};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"probe 198.51.100.20", "note NAS1 198.51.100.20",
                                                  "sockets stop"}));
}

TEST_F(Flow, MissedBackupYesPausesAndRunsTheSessionWithBackupNow) {
    screens.messageResults = {setup::RESULT_YES};
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::MissedBackup), RESULT_CLOSE);
    EXPECT_TRUE(flags.backupNow);
    EXPECT_EQ(screens.calls, Join({"message '' AA000013", "wait 300"},
                                  Join(SESSION_START, {"locate", "sockets stop"})));
}

TEST_F(Flow, MissedBackupAnythingButYesEnds) {
    for (int result : {setup::RESULT_NO, RESULT_CLOSE, setup::RESULT_SETUP_FAILED}) {
        screens.calls.clear();
        screens.messageResults = {result};
        EXPECT_EQ(Run(StartMode::MissedBackup), RESULT_CLOSE);
        EXPECT_FALSE(flags.backupNow);
        EXPECT_EQ(screens.calls, Calls{"message '' AA000013"}) << result;
    }
}

TEST_F(Flow, AlreadyRunningShowsOnlyTheMessage) {
    for (StartMode mode : {StartMode::Normal, StartMode::MissedBackup, StartMode::FirstDrag}) {
        screens.calls.clear();
        screens.messageResults = {setup::RESULT_YES};
        EXPECT_EQ(Run(mode, true), RESULT_CLOSE);
        EXPECT_EQ(screens.calls, Calls{"message '' AC000018"});
        EXPECT_FALSE(flags.backupNow);
    }
}

TEST_F(Flow, FirstDragShowsTheNoticeAndEnds) {
    screens.screenResults = {setup::RESULT_FINISHED};
    EXPECT_EQ(Run(StartMode::FirstDrag), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Calls{"first drag"});
}

// One flow past the Note: the switches, the settings and the screens' answers, and every screen
// and service the flow asks for after the Note, in order. "+share" stands for the two reads of
// the share settings.
struct MenuCase {
    const char* name;
    MenuFlags flags;
    std::vector<int> results;
    Calls expected;
    std::vector<int> messages = {};
    std::vector<int> chosenTypes = {};
    int windowsMajor = 5;
    const char* sortFolder = "\\\\NAS1\\anne";
    bool hasSelection = false;
};

const MenuCase MENU_CASES[] = {
    {"a set-up that finishes lands on the Main menu",
     {},
     {110, 102, 102, 120, 120, 100},
     {"menu NAS1 198.51.100.20", "choose NAS1 2", "name NAS1 198.51.100.20 2",
      "purpose NAS1 198.51.100.20 2 anne pw", "complete NAS1 Anne 2", "menu NAS1 198.51.100.20"}},
    {"an error returns to Choose account with the type kept",
     {},
     {110, 102, 125, 101, 100},
     {"menu NAS1 198.51.100.20", "choose NAS1 2", "name NAS1 198.51.100.20 3",
      "message 'NAS1' A0000001", "choose NAS1 3", "menu NAS1 198.51.100.20"},
     {125},
     {3}},
    {"Back on the purpose shows the name again; an existing account completes from there",
     {},
     {110, 102, 102, 101, 120, 100},
     {"menu NAS1 198.51.100.20", "choose NAS1 2", "name NAS1 198.51.100.20 1",
      "purpose NAS1 198.51.100.20 1 anne pw", "name NAS1 198.51.100.20 1", "complete NAS1 anne 1"},
     {},
     {1}},
    {"a failed set-up on the purpose shows its code and closes from Choose account",
     {},
     {110, 102, 102, 125, 100},
     {"menu NAS1 198.51.100.20", "choose NAS1 2", "name NAS1 198.51.100.20 2",
      "purpose NAS1 198.51.100.20 2 anne pw", "message 'NAS1' C0000001", "choose NAS1 2"},
     {125}},
    // A screen that cannot be created (-1) ends the flow as X would, at any depth.
    {"a Main menu that cannot be created ends the flow", {}, {-1}, {"menu NAS1 198.51.100.20"}},
    {"a set-up screen that cannot be created ends the flow",
     {},
     {110, -1},
     {"menu NAS1 198.51.100.20", "choose NAS1 2"}},
    {"an error message that cannot be created ends the flow",
     {},
     {110, 102, 125},
     {"menu NAS1 198.51.100.20", "choose NAS1 2", "name NAS1 198.51.100.20 2",
      "message 'NAS1' A0000001"},
     {-1}},
    {"Drive management or its screens that cannot be created end the flow",
     {},
     {112, 140, -1},
     {"menu NAS1 198.51.100.20", "drives NAS1 198.51.100.20", "sort"}},
    {"a backup gate message that cannot be created ends the flow",
     {},
     {111},
     {"menu NAS1 198.51.100.20", "version", "message 'NAS1' AC000016"},
     {-1},
     {},
     4},
    {"a restore screen that cannot be created ends the flow",
     {},
     {111, 131, -1},
     {"menu NAS1 198.51.100.20", "version", "+share", "+share", "backup menu NAS1 \\\\NAS1\\anne",
      "restore type \\\\NAS1\\anne"}},
    {"-manage with -backupNow opens Drive management and starts no backup",
     {false, false, true, true, false},
     {101, 100},
     {"drives NAS1 198.51.100.20", "menu NAS1 198.51.100.20"}},
    {"-shareSetup loses to a later backup switch; Windows 4 shows the version message",
     {true, true, false, false, false},
     {100},
     {"version", "message 'NAS1' AC000016", "menu NAS1 198.51.100.20"},
     {129},
     {},
     4},
    {"a share of another appliance shows the not-accessible message",
     {},
     {111, 100},
     {"menu NAS1 198.51.100.20", "version", "+share", "message 'NAS1' AC000015",
      "menu NAS1 198.51.100.20"},
     {128},
     {},
     5,
     "\\\\NAS2\\anne"},
    {"no share at all shows the not-accessible message",
     {},
     {111, 100},
     {"menu NAS1 198.51.100.20", "version", "+share", "message 'NAS1' AC000015",
      "menu NAS1 198.51.100.20"},
     {125},
     {},
     5,
     ""},
    {"-dashBoard opens the status view, and Back from it the backup menu",
     {false, false, false, false, true},
     {101, 101, 100},
     {"version", "+share", "+share", "status NAS1 (198.51.100.20)", "+share",
      "backup menu NAS1 \\\\NAS1\\anne", "menu NAS1 198.51.100.20"}},
    {"-dashBoard with -backupNow starts the backup and shows its progress, not the status",
     {false, false, false, true, true},
     {103, 100},
     {"version", "+share", "engine backup", "+share", "progress NAS1 \\\\NAS1\\anne Y:", "+share",
      "backup menu NAS1 \\\\NAS1\\anne"}},
    {"Drive management reaches the status view and the Drag and Sort settings",
     {},
     {112, 132, 101, 140, 101, 101, 100},
     {"menu NAS1 198.51.100.20", "drives NAS1 198.51.100.20", "status NAS1 (198.51.100.20)",
      "drives NAS1 198.51.100.20", "sort", "drives NAS1 198.51.100.20", "menu NAS1 198.51.100.20"}},
    {"a share without selection goes to the folders; Back on the schedule keeps the edits",
     {},
     {111, 130, 102, 101, 102, 102, 155, 101, 103, 100},
     {"menu NAS1 198.51.100.20", "version", "+share", "+share", "backup menu NAS1 \\\\NAS1\\anne",
      "has selection \\\\NAS1\\anne", "snapshot", "folders \\\\NAS1\\anne",
      "schedule \\\\NAS1\\anne C:\\Kelvox", "has selection \\\\NAS1\\anne",
      "folders \\\\NAS1\\anne", "schedule \\\\NAS1\\anne C:\\Kelvox", "summary \\\\NAS1\\anne Y:",
      "advanced NAS1", "summary \\\\NAS1\\anne Y:", "+share", "backup menu NAS1 \\\\NAS1\\anne"}},
    {"a share with a selection opens at the summary, and Edit leads to the folders",
     {},
     {111, 130, 150, 103, 131, 102, 101, 101, 133, 101, 141, 100},
     {"menu NAS1 198.51.100.20",
      "version",
      "+share",
      "+share",
      "backup menu NAS1 \\\\NAS1\\anne",
      "has selection \\\\NAS1\\anne",
      "summary \\\\NAS1\\anne Y:",
      "has selection \\\\NAS1\\anne",
      "snapshot",
      "folders \\\\NAS1\\anne",
      "+share",
      "backup menu NAS1 \\\\NAS1\\anne",
      "restore type \\\\NAS1\\anne",
      "restore files Y: \\\\NAS1\\anne",
      "restore type \\\\NAS1\\anne",
      "+share",
      "backup menu NAS1 \\\\NAS1\\anne",
      "clean up NAS1",
      "+share",
      "backup menu NAS1 \\\\NAS1\\anne",
      "progress NAS1 \\\\NAS1\\anne Y:"},
     {},
     {},
     5,
     "\\\\NAS1\\anne",
     true},
};

TEST_F(Flow, PastTheNoteEachResultLeadsToItsScreen) {
    for (const MenuCase& c : MENU_CASES) {
        SCOPED_TRACE(c.name);
        screens.calls.clear();
        Remember("198.51.100.20", "NAS1");
        screens.settings["sortFolder"] = c.sortFolder;
        screens.settings["shareDriveLetter"] = " Y: ";
        screens.answers = true;
        screens.noteResults = {RESULT_NEXT};
        screens.screenResults.assign(c.results.begin(), c.results.end());
        screens.messageResults.assign(c.messages.begin(), c.messages.end());
        screens.chosenTypes.assign(c.chosenTypes.begin(), c.chosenTypes.end());
        screens.windowsMajor = c.windowsMajor;
        screens.hasSelection = c.hasSelection;
        flags = c.flags;

        EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);

        Calls expected = Join(SESSION_START, {"probe 198.51.100.20", "note NAS1 198.51.100.20"});
        for (const std::string& call : c.expected) {
            if (call == "+share")
                expected = Join(expected, {"read sortFolder", "read shareDriveLetter"});
            else
                expected.push_back(call);
        }
        expected.push_back("sockets stop");
        EXPECT_EQ(screens.calls, expected);
        EXPECT_TRUE(screens.screenResults.empty()) << "results left over";
        EXPECT_TRUE(screens.messageResults.empty()) << "messages left over";
        EXPECT_FALSE(flags.shareSetup || flags.backupMenu || flags.manage || flags.backupNow ||
                     flags.dashBoard)
            << "the switches count once";
    }
}

TEST_F(Flow, BackOnTheMainMenuLeadsToLocate) {
    screens.locateResults = {{RESULT_NEXT, "NAS1", "198.51.100.20"}, {RESULT_CLOSE, "", ""}};
    screens.noteResults = {RESULT_NEXT};
    screens.screenResults = {RESULT_BACK};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls,
              Join(SESSION_START, {"locate", "note NAS1 198.51.100.20", "menu NAS1 198.51.100.20",
                                   "locate", "sockets stop"}));
}

} // namespace
