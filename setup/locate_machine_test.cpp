// Tests of the Locate screen's scan machine against a fake screen, timer, channel and threads.
#include "setup/locate_machine.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "setup/screen_results.h"
#include "setup/test_log.h"

namespace {

using setup::ScanKind;
using setup::ScanState;

struct Message {
    int id = 0;
    int x = 0;
    int y = 0;
    bool shown = false;
};

class FakeScreen;

class FakeChannel : public setup::ReconfigureChannel {
public:
    explicit FakeChannel(FakeScreen& screen) : screen(screen) {}
    bool IsOnLocalSubnet(const std::string& address) override;
    uint32_t Reconfigure(const std::string& address) override;

private:
    FakeScreen& screen;
};

class FakeScreen : public setup::LocateScreen {
public:
    void ClearList() override { list.clear(); }
    int AddListEntry(const std::string& text) override {
        if (refuseEntries)
            return -1;
        list.push_back(text);
        return static_cast<int>(list.size()) - 1;
    }
    void SelectEntry(int index) override { selectedEntry = index; }
    void ShowList(bool shown) override { listShown = shown; }
    void ShowDrivesLabel(bool shown) override { labelShown = shown; }
    void ShowMessage(int id, int x, int y) override {
        message = {id, x, y, true};
        messagesShown.push_back(id);
    }
    void HideMessage() override { message.shown = false; }
    void HideProgressBar() override { progressHidden = true; }
    void SetProgress(int position) override { progress = position; }
    void EnableStart(bool on) override { startEnabled = on; }
    void EnableNext(bool on) override { nextEnabled = on; }
    void FocusStart() override { focus = "start"; }
    void FocusList() override { focus = "list"; }
    void Redraw() override { ++redraws; }
    void RestoreWindow() override { restored = true; }
    void EndScreen(int result) override { ended = result; }
    bool StartTimer() override {
        ++timerStarts;
        if (failTimer)
            return false;
        timerRunning = true;
        return true;
    }
    void StopTimer() override { timerRunning = false; }
    void Wait(unsigned ms) override {
        waits.push_back(ms);
        // Nothing else runs on the screen's thread while it waits.
        EXPECT_FALSE(timerRunning);
    }
    void StartScanThread(ScanKind kind) override { threads.push_back(kind); }
    void StartReconfigureFailedThread(const std::string& device) override {
        failureThreads.push_back(device);
    }
    std::unique_ptr<setup::ReconfigureChannel> OpenChannel() override {
        ++channels;
        return std::make_unique<FakeChannel>(*this);
    }
    void SaveCurrentAppliance(const std::string& ip, const std::string& host) override {
        saved.push_back({ip, host});
    }
    void OpenSupportPage() override { ++supportOpened; }

    // Behaviour.
    bool refuseEntries = false;
    bool failTimer = false;
    std::map<std::string, bool> onSubnet;     // missing: on the subnet
    std::map<std::string, uint32_t> failures; // missing: reconfigured

    // What was done.
    std::vector<std::string> list;
    int selectedEntry = -1;
    bool listShown = false;
    bool labelShown = false;
    Message message;
    std::vector<int> messagesShown;
    bool progressHidden = false;
    int progress = -1;
    bool startEnabled = true;
    bool nextEnabled = true;
    std::string focus;
    int redraws = 0;
    bool restored = false;
    int ended = 0;
    int timerStarts = 0;
    bool timerRunning = false;
    std::vector<unsigned> waits;
    std::vector<ScanKind> threads;
    std::vector<std::string> failureThreads;
    int channels = 0;
    std::vector<std::string> subnetAsked;
    std::vector<std::string> reconfigured;
    std::vector<std::pair<std::string, std::string>> saved;
    int supportOpened = 0;
};

bool FakeChannel::IsOnLocalSubnet(const std::string& address) {
    screen.subnetAsked.push_back(address);
    auto it = screen.onSubnet.find(address);
    return it == screen.onSubnet.end() || it->second;
}

uint32_t FakeChannel::Reconfigure(const std::string& address) {
    screen.reconfigured.push_back(address);
    auto it = screen.failures.find(address);
    return it == screen.failures.end() ? 0 : it->second;
}

ApplianceRecord Record(const std::string& host, const std::string& ip,
                       const std::string& detail = "v2") {
    return ApplianceRecord{host, ip, detail};
}

class Locate : public ::testing::Test {
protected:
    // The scan thread the machine started last, run to its end: it resets the counter, posts
    // what it finds and leaves 60 behind.
    void FinishScan(const std::vector<ApplianceRecord>& records) {
        ASSERT_FALSE(screen.threads.empty());
        setup::RunScanThread(screen.threads.back(), counter, [&] {
            for (const ApplianceRecord& r : records)
                machine.OnApplianceFound(std::make_unique<ApplianceRecord>(r));
        });
    }

    // Ticks while the timer runs until the state handler has run; returns the ticks taken.
    int TickUntilHandled() {
        const size_t threadsBefore = screen.threads.size();
        const ScanState before = machine.State();
        for (int tick = 1; tick <= 200; ++tick) {
            if (!screen.timerRunning)
                return -1;
            machine.OnScanTimer();
            if (machine.State() != before || screen.threads.size() != threadsBefore || screen.ended)
                return tick;
        }
        return -1;
    }

    FakeScreen screen;
    std::atomic<int> counter{0};
    setup::LocateMachine machine{screen, counter};
};

TEST_F(Locate, StartScanPreparesTheScreenAndStartsTheUnicastThread) {
    counter = 42;
    machine.StartScan();
    EXPECT_EQ(machine.State(), ScanState::Unicast);
    EXPECT_EQ(counter, 0);
    EXPECT_FALSE(screen.startEnabled);
    EXPECT_FALSE(screen.nextEnabled);
    EXPECT_FALSE(screen.listShown);
    EXPECT_FALSE(screen.labelShown);
    EXPECT_FALSE(screen.message.shown);
    EXPECT_TRUE(screen.timerRunning);
    EXPECT_EQ(screen.threads, std::vector<ScanKind>{ScanKind::Unicast});
}

TEST_F(Locate, OneApplianceInTheSubnetIsListedSavedAndEndsTheScreen) {
    setup_test::LogCapture log;
    machine.StartScan();
    FinishScan({Record("nas1", "192.168.1.20", "fw 1.2")});
    EXPECT_EQ(screen.list, std::vector<std::string>{"NAS1 (192.168.1.20)"});
    EXPECT_EQ(screen.selectedEntry, 0);
    EXPECT_TRUE(screen.listShown);
    EXPECT_TRUE(screen.labelShown);
    EXPECT_EQ(TickUntilHandled(), 2) << "two ticks after the thread's end";

    EXPECT_EQ(screen.subnetAsked, std::vector<std::string>{"192.168.1.20"});
    EXPECT_TRUE(screen.reconfigured.empty());
    EXPECT_EQ(machine.State(), ScanState::Idle);
    EXPECT_TRUE(screen.restored);
    EXPECT_EQ(screen.focus, "list");
    EXPECT_TRUE(screen.nextEnabled);
    EXPECT_TRUE(screen.startEnabled);
    ASSERT_EQ(screen.saved.size(), 1u);
    EXPECT_EQ(screen.saved[0].first, "192.168.1.20");
    EXPECT_EQ(screen.saved[0].second, "NAS1");
    EXPECT_EQ(screen.ended, setup::RESULT_NEXT);
    EXPECT_EQ(machine.SelectedHostName(), "NAS1");
    EXPECT_EQ(machine.SelectedIpAddress(), "192.168.1.20");
    EXPECT_FALSE(screen.timerRunning);

    EXPECT_TRUE(log.Has("Scan Unicast Thread Started..."));
    EXPECT_TRUE(log.Has("  [0] 'NAS1' - 192.168.1.20 - [fw 1.2]"));
    EXPECT_TRUE(log.Has("Scan Unicast Thread Ended..."));
    EXPECT_TRUE(log.Has("   OnTimer Function 60"));
    EXPECT_TRUE(log.Has("   OnTimer Function 61"));
}

TEST_F(Locate, TwoAppliancesWaitForTheUsersChoice) {
    machine.StartScan();
    FinishScan({Record("nas1", "192.168.1.20"), Record("Nas2", "192.168.1.21")});
    EXPECT_EQ(screen.list,
              (std::vector<std::string>{"NAS1 (192.168.1.20)", "NAS2 (192.168.1.21)"}));
    TickUntilHandled();
    EXPECT_EQ(screen.ended, 0);
    EXPECT_TRUE(screen.saved.empty());
    EXPECT_TRUE(screen.nextEnabled);
    EXPECT_EQ(machine.State(), ScanState::Idle);

    machine.OnSelectionChange(1);
    EXPECT_EQ(machine.SelectedHostName(), "NAS2");
    machine.OnSelectionChange(7); // no such entry: the choice stays
    EXPECT_EQ(machine.SelectedIpAddress(), "192.168.1.21");
    EXPECT_TRUE(machine.OnKey(setup::LocateKey::Enter, setup::LocateFocus::Other));
    ASSERT_EQ(screen.saved.size(), 1u);
    EXPECT_EQ(screen.saved[0], (std::pair<std::string, std::string>{"192.168.1.21", "NAS2"}));
    EXPECT_EQ(screen.ended, setup::RESULT_NEXT);
}

TEST_F(Locate, NothingFoundByEitherScanShowsTheHintAndFocusesStart) {
    setup_test::LogCapture log;
    machine.StartScan();
    FinishScan({});
    EXPECT_EQ(TickUntilHandled(), 2);
    EXPECT_EQ(machine.State(), ScanState::Broadcast);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(screen.threads, (std::vector<ScanKind>{ScanKind::Unicast, ScanKind::Broadcast}));
    EXPECT_TRUE(screen.timerRunning);

    FinishScan({});
    TickUntilHandled();
    EXPECT_EQ(machine.State(), ScanState::Idle);
    EXPECT_TRUE(screen.message.shown);
    EXPECT_EQ(screen.message.id, setup::STR_NONE_FOUND);
    EXPECT_EQ(screen.message.x, 130);
    EXPECT_EQ(screen.message.y, 170);
    EXPECT_TRUE(screen.startEnabled);
    EXPECT_FALSE(screen.nextEnabled);
    EXPECT_EQ(screen.focus, "start");
    EXPECT_FALSE(screen.listShown);
    EXPECT_FALSE(screen.timerRunning);
    EXPECT_EQ(screen.ended, 0);
    EXPECT_EQ(screen.channels, 0);
    EXPECT_TRUE(log.Has("Scan Broadcast Thread Started..."));
    EXPECT_TRUE(log.Has("Scan BroadCast Thread Ended..."));

    // Start (the button, or Enter on it) scans again from the unicast state.
    EXPECT_TRUE(machine.OnKey(setup::LocateKey::Enter, setup::LocateFocus::Start));
    EXPECT_EQ(machine.State(), ScanState::Unicast);
    EXPECT_FALSE(screen.message.shown);
    EXPECT_FALSE(screen.startEnabled);
    EXPECT_EQ(screen.threads.back(), ScanKind::Unicast);
    EXPECT_EQ(screen.threads.size(), 3u);
}

TEST_F(Locate, BroadcastFindsAreAllReconfiguredThenRescanned) {
    screen.onSubnet["203.0.113.20"] = false;
    machine.StartScan();
    FinishScan({});
    TickUntilHandled();
    FinishScan({Record("nas1", "203.0.113.20"), Record("nas2", "198.51.100.30")});
    EXPECT_EQ(TickUntilHandled(), 2);

    // Every one of them, whatever its address; no subnet test.
    EXPECT_TRUE(screen.subnetAsked.empty());
    EXPECT_EQ(screen.reconfigured, (std::vector<std::string>{"203.0.113.20", "198.51.100.30"}));
    EXPECT_EQ(screen.channels, 1);
    EXPECT_EQ(screen.messagesShown.back(), setup::STR_RECONFIGURING);
    EXPECT_EQ(screen.message.x, 130);
    EXPECT_EQ(screen.message.y, 220);
    EXPECT_EQ(screen.waits, std::vector<unsigned>{5000});
    EXPECT_EQ(machine.State(), ScanState::Rescan);
    EXPECT_TRUE(screen.list.empty());
    EXPECT_EQ(machine.EntryCount(), 0u);
    EXPECT_FALSE(screen.listShown);
    EXPECT_FALSE(screen.labelShown);
    EXPECT_TRUE(screen.message.shown) << "string 55 stays until the rescan lists an appliance";
    EXPECT_FALSE(screen.startEnabled);
    EXPECT_FALSE(screen.nextEnabled);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(screen.threads.back(), ScanKind::Unicast);
    EXPECT_TRUE(screen.failureThreads.empty());

    // The rescan lists the appliance at its new address and settles.
    FinishScan({Record("nas1", "198.51.100.250")});
    EXPECT_FALSE(screen.message.shown);
    TickUntilHandled();
    EXPECT_EQ(machine.State(), ScanState::Idle);
    EXPECT_EQ(screen.list, std::vector<std::string>{"NAS1 (198.51.100.250)"});
    EXPECT_EQ(screen.ended, setup::RESULT_NEXT);
    EXPECT_EQ(screen.saved.back().first, "198.51.100.250");
    EXPECT_EQ(screen.reconfigured.size(), 2u) << "the rescan reconfigures nothing";
}

TEST_F(Locate, AnOffSubnetUnicastFindIsReconfiguredAndTheListRebuilt) {
    screen.onSubnet["10.1.1.5"] = false;
    machine.StartScan();
    FinishScan({Record("local", "192.168.1.20"), Record("far", "10.1.1.5")});
    TickUntilHandled();
    EXPECT_EQ(screen.subnetAsked, (std::vector<std::string>{"192.168.1.20", "10.1.1.5"}));
    EXPECT_EQ(screen.reconfigured, std::vector<std::string>{"10.1.1.5"});
    EXPECT_EQ(screen.waits, std::vector<unsigned>{5000});
    EXPECT_EQ(machine.State(), ScanState::Rescan);
    EXPECT_TRUE(screen.list.empty());

    FinishScan({Record("local", "192.168.1.20"), Record("far", "192.168.1.250")});
    TickUntilHandled();
    EXPECT_EQ(machine.State(), ScanState::Idle);
    EXPECT_EQ(screen.list,
              (std::vector<std::string>{"LOCAL (192.168.1.20)", "FAR (192.168.1.250)"}));
    EXPECT_EQ(screen.reconfigured.size(), 1u);
    EXPECT_EQ(screen.ended, 0);
    EXPECT_TRUE(screen.nextEnabled);
}

TEST_F(Locate, AFailedReconfigurationStartsItsFailureThreadAndTheRescanGoesOn) {
    screen.onSubnet["10.1.1.5"] = false;
    screen.onSubnet["10.1.1.6"] = false;
    screen.failures["10.1.1.5"] = 1;
    machine.StartScan();
    FinishScan({Record("far", "10.1.1.5"), Record("Other", "10.1.1.6")});
    TickUntilHandled();
    EXPECT_EQ(screen.failureThreads, std::vector<std::string>{"FAR(10.1.1.5)"});
    EXPECT_EQ(screen.reconfigured, (std::vector<std::string>{"10.1.1.5", "10.1.1.6"}));
    EXPECT_EQ(machine.State(), ScanState::Rescan);
    EXPECT_EQ(setup::ReconfigureFailedDevice(Record("nas1", "1.2.3.4")), "NAS1(1.2.3.4)");
}

TEST_F(Locate, ATimerThatCannotStartIsLoggedAndHidesTheProgressBar) {
    setup_test::LogCapture log;
    screen.failTimer = true;
    machine.StartScan();
    EXPECT_TRUE(log.Has("--- FAILED: Scan for TOV Device Timer FAILED....Disabling Progress Bar"));
    EXPECT_TRUE(screen.progressHidden);
    EXPECT_EQ(screen.threads, std::vector<ScanKind>{ScanKind::Unicast}) << "the scan starts";
    EXPECT_FALSE(screen.timerRunning);
}

TEST_F(Locate, TheHandlerRunsOnTheFirstTickThatFindsTheCounterAbove60) {
    machine.StartScan();
    // A scan still running after 61 ticks: the 62nd runs the handler.
    EXPECT_EQ(TickUntilHandled(), 62);
    EXPECT_EQ(screen.progress, 61);
    EXPECT_EQ(machine.State(), ScanState::Broadcast);

    // A late record of the first scan still lands in the list.
    machine.OnApplianceFound(std::make_unique<ApplianceRecord>(Record("late", "192.168.1.9")));
    EXPECT_EQ(screen.list, std::vector<std::string>{"LATE (192.168.1.9)"});
}

TEST_F(Locate, TheCounterIsSharedWithARealScanThread) {
    machine.StartScan();
    for (int i = 0; i < 10; ++i)
        machine.OnScanTimer();
    std::thread scan([this] { setup::RunScanThread(ScanKind::Unicast, counter, [] {}); });
    scan.join();
    EXPECT_EQ(counter, 60);
    EXPECT_EQ(TickUntilHandled(), 2);
}

TEST_F(Locate, AnEntryTheListRefusedIsNotAttachedAndCannotBeSaved) {
    setup_test::LogCapture log;
    machine.StartScan();
    screen.refuseEntries = true;
    FinishScan({Record("nas1", "192.168.1.20")});
    EXPECT_TRUE(log.Has("  [-1] 'NAS1' - 192.168.1.20 - [v2]"));
    EXPECT_TRUE(screen.message.shown);
    EXPECT_EQ(screen.message.id, setup::STR_NONE_FOUND);
    machine.SaveSelection();
    EXPECT_TRUE(screen.saved.empty());
    EXPECT_EQ(screen.ended, 0);
}

TEST_F(Locate, Keys) {
    using setup::LocateFocus;
    using setup::LocateKey;
    machine.StartScan();
    EXPECT_TRUE(machine.OnKey(LocateKey::Escape, LocateFocus::Other));
    EXPECT_EQ(screen.ended, 0);
    // Next is disabled during the scan: Enter is swallowed and saves nothing.
    EXPECT_TRUE(machine.OnKey(LocateKey::Enter, LocateFocus::Other));
    EXPECT_TRUE(screen.saved.empty());
    EXPECT_TRUE(machine.OnKey(LocateKey::Enter, LocateFocus::Web));
    EXPECT_EQ(screen.supportOpened, 1);
    EXPECT_FALSE(machine.OnKey(LocateKey::Other, LocateFocus::Other));
    EXPECT_EQ(screen.ended, 0);
    EXPECT_TRUE(machine.OnKey(LocateKey::AltF4, LocateFocus::Other));
    EXPECT_EQ(screen.ended, setup::RESULT_CLOSE);
}

} // namespace
