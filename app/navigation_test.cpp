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
    std::map<std::string, std::string> settings;
    bool socketsStart = true;
    bool answers = false;
    std::vector<std::string> calls;

private:
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

class Flow : public ::testing::Test {
protected:
    int Run(StartMode mode, bool alreadyRunning = false) {
        app::Navigator navigator({host, ip, backupNow}, screens);
        return navigator.RunStartMode(mode, alreadyRunning);
    }

    void Remember(const std::string& address, const std::string& name) {
        screens.settings["CurrentIP"] = address;
        screens.settings["CurrentHostName"] = name;
    }

    ScriptedScreens screens;
    std::string host = "OLD";
    std::string ip = "0.0.0.0";
    bool backupNow = false;
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

TEST_F(Flow, NextOnTheNoteEndsTheSessionUntilTheMainMenuExists) {
    Remember("198.51.100.20", "NAS1");
    screens.answers = true;
    screens.noteResults = {RESULT_NEXT};
    EXPECT_EQ(Run(StartMode::Normal), RESULT_CLOSE);
    EXPECT_EQ(screens.calls, Join(SESSION_START, {"probe 198.51.100.20", "note NAS1 198.51.100.20",
                                                  "sockets stop"}));
}

TEST_F(Flow, MissedBackupYesPausesAndRunsTheSessionWithBackupNow) {
    screens.messageResults = {setup::RESULT_YES};
    screens.locateResults = {{RESULT_CLOSE, "", ""}};
    EXPECT_EQ(Run(StartMode::MissedBackup), RESULT_CLOSE);
    EXPECT_TRUE(backupNow);
    EXPECT_EQ(screens.calls, Join({"message '' AA000013", "wait 300"},
                                  Join(SESSION_START, {"locate", "sockets stop"})));
}

TEST_F(Flow, MissedBackupAnythingButYesEnds) {
    for (int result : {setup::RESULT_NO, RESULT_CLOSE, setup::RESULT_SETUP_FAILED}) {
        screens.calls.clear();
        screens.messageResults = {result};
        EXPECT_EQ(Run(StartMode::MissedBackup), RESULT_CLOSE);
        EXPECT_FALSE(backupNow);
        EXPECT_EQ(screens.calls, Calls{"message '' AA000013"}) << result;
    }
}

TEST_F(Flow, AlreadyRunningShowsOnlyTheMessage) {
    for (StartMode mode : {StartMode::Normal, StartMode::MissedBackup, StartMode::FirstDrag}) {
        screens.calls.clear();
        screens.messageResults = {setup::RESULT_YES};
        EXPECT_EQ(Run(mode, true), RESULT_CLOSE);
        EXPECT_EQ(screens.calls, Calls{"message '' AC000018"});
        EXPECT_FALSE(backupNow);
    }
}

TEST_F(Flow, FirstDragShowsNothingYet) {
    EXPECT_EQ(Run(StartMode::FirstDrag), RESULT_CLOSE);
    EXPECT_TRUE(screens.calls.empty());
}

} // namespace
