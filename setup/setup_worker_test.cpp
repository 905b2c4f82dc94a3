// The set-up worker over a recorded system: the drive letter, the mapping and its retries, the
// disconnect walk, the appliance steps, the folders, the shortcuts and the stored values.
#include "setup/setup_worker.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

#include "setup/account_rules.h"
#include "setup/test_log.h"

namespace setup {
namespace {

constexpr uint32_t bit(char letter) { return 1u << (letter - 'A'); }

// A computer whose answers the test sets and whose every change it records as one line.
class FakeSystem : public SetupSystem {
public:
    uint32_t drives = bit('C');
    std::map<std::string, std::pair<uint32_t, std::string>> connections; // letter: answer, remote
    std::deque<uint32_t> addAnswers;                                     // then 0
    std::map<std::string, uint32_t> cancelAnswers;                       // else 0
    std::map<std::string, std::vector<NetResource>> below;               // "" is the top level
    int major = 5, minor = 1;
    bool stopped = false;
    std::set<std::string> files;
    std::vector<std::string> desktopLinks;
    int32_t linkResult = 0;
    std::map<std::string, std::string> settings;
    std::vector<std::string> did;

    class Walk : public NetEnumeration {
    public:
        Walk(FakeSystem& s, std::vector<NetResource> e) : system(s), entries(std::move(e)) {}
        bool Allocate(size_t bytes) override { return bytes == ENUM_BUFFER_BYTES; }
        uint32_t Next(std::vector<NetResource>* out) override {
            if (done)
                return 259;
            done = true;
            *out = entries;
            return 0;
        }
        uint32_t Close() override {
            system.did.push_back("close");
            return 0;
        }

    private:
        FakeSystem& system;
        std::vector<NetResource> entries;
        bool done = false;
    };

    uint32_t LogicalDrives() override { return drives; }
    uint32_t GetConnection(const std::string& local, std::string* remote) override {
        auto it = connections.find(local);
        if (it == connections.end())
            return WIN_ERROR_NOT_CONNECTED;
        *remote = it->second.second;
        return it->second.first;
    }
    uint32_t AddConnection(const NetResource& r, const std::string* password,
                           const std::string* user, uint32_t flags) override {
        did.push_back("add " + r.localName + " " + r.remoteName + " " + (user ? *user : "-") + " " +
                      (password ? *password : "-") + " " + std::to_string(flags));
        EXPECT_EQ(r.scope, NET_RESOURCE_GLOBALNET);
        EXPECT_EQ(r.usage, NET_USAGE_CONNECTABLE);
        EXPECT_TRUE(r.provider.empty());
        if (addAnswers.empty())
            return 0;
        const uint32_t answer = addAnswers.front();
        addAnswers.pop_front();
        return answer;
    }
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override {
        did.push_back("cancel " + name + " " + std::to_string(flags) + (force ? " force" : ""));
        auto it = cancelAnswers.find(name);
        return it == cancelAnswers.end() ? 0 : it->second;
    }
    std::unique_ptr<NetEnumeration> OpenConnectedDisks(const NetResource* container,
                                                       uint32_t*) override {
        return std::make_unique<Walk>(*this, below[container ? container->remoteName : ""]);
    }
    std::string ErrorText(uint32_t code) override { return "text " + std::to_string(code); }
    void WindowsVersion(int* ma, int* mi) override {
        *ma = major;
        *mi = minor;
    }
    bool Wait(unsigned milliseconds) override {
        did.push_back("wait " + std::to_string(milliseconds));
        return !stopped;
    }
    std::string String(int id) override { return "\\F" + std::to_string(id); }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    void CreateFolder(const std::string& path) override { did.push_back("folder " + path); }
    void CreateHiddenFile(const std::string& path) override { did.push_back("hidden " + path); }
    bool DesktopFolder(std::string* folder) override {
        *folder = "C:\\Desktop";
        return true;
    }
    std::vector<std::string> LinkFiles(const std::string& folder) override {
        EXPECT_EQ(folder, "C:\\Desktop\\");
        return desktopLinks;
    }
    void RemoveFile(const std::string& path) override { did.push_back("delete " + path); }
    void BeginShellLinks() override { did.push_back("com"); }
    void EndShellLinks() override { did.push_back("uncom"); }
    int32_t CreateShellLink(const std::string& target, const std::string& link,
                            bool withIcon) override {
        did.push_back("link " + link + " -> " + target + (withIcon ? " icon" : ""));
        return linkResult;
    }
    void RefreshDesktop() override { did.push_back("refresh"); }
    void WriteShareValues(const std::string& sortFolder, const std::string& backupFolder,
                          const std::string& letter) override {
        settings["sortFolder"] = sortFolder;
        settings["backupFolder"] = backupFolder;
        settings["shareDriveLetter"] = letter;
    }
    void WriteString(const char* name, const std::string& value) override {
        settings[name] = value;
    }
    void WriteDword(const char* name, uint32_t value) override {
        settings[name] = std::to_string(value);
    }
    std::string ReadTrimmed(const char* name) override { return settings[name]; }

    size_t Count(const std::string& prefix) const {
        size_t n = 0;
        for (const std::string& d : did)
            n += d.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

class FakeCommands : public SetupCommands {
public:
    uint32_t cratTransport = 0, cratStatus = 0, shareStatus = 0, gps1 = 0;
    std::string publicName = "Shared";
    std::vector<std::string> sent;

    uint32_t SendCrat(const std::string& name, const std::string& password,
                      uint32_t& status) override {
        sent.push_back("crat " + name + "/" + password);
        status = cratStatus;
        return cratTransport;
    }
    uint32_t SendShar(const std::string& a, const std::string& b, const std::string& c,
                      uint32_t& status) override {
        sent.push_back("shar " + a + "/" + b + "/" + c);
        status = shareStatus;
        return 0;
    }
    uint32_t SendPshr(const std::string& a, const std::string& b, const std::string& c,
                      uint32_t& status) override {
        sent.push_back("pshr " + a + "/" + b + "/" + c);
        status = shareStatus;
        return 0;
    }
    uint32_t SendGps1(std::string& name) override {
        name = publicName;
        return gps1;
    }
};

struct Bench {
    FakeSystem system;
    FakeCommands commands;
    CtovDlgCreate create{system, commands};
    explicit Bench(int function, bool noPassword = false, int business = 0) {
        create.SetParameters(function, "STORAGE", "198.51.100.20", "Anne", "pw", noPassword,
                             business);
    }
};

TEST(SetupWorker, DriveLetterIsTheHighestFreeOneFromZDownToC) {
    {
        Bench run(CREATE_PUBLIC);
        EXPECT_EQ(run.create.MapShareToDrive(), 0u);
        EXPECT_EQ(run.create.DriveLetter(), "Z:");
    }
    {
        // Z taken by a disk, Y remembered but unavailable, X live: W
        setup_test::LogCapture log;
        Bench run(CREATE_PUBLIC);
        run.system.drives |= bit('Z');
        run.system.connections["Y:"] = {WIN_ERROR_CONNECTION_UNAVAIL, "\\\\OLD\\x"};
        run.system.connections["X:"] = {0, "\\\\OLD\\y"};
        EXPECT_EQ(run.create.MapShareToDrive(), 0u);
        EXPECT_EQ(run.create.DriveLetter(), "W:");
        EXPECT_TRUE(log.Has("   Y: mapped \\\\OLD\\x"));
        EXPECT_FALSE(log.Has("   Getting available driver letters Z:"));
    }
    {
        // everything from C to Z taken: A and B, though free, are never chosen
        Bench run(CREATE_PUBLIC);
        run.system.drives = 0x03FFFFFC & ~bit('D');
        run.system.connections["D:"] = {0, "\\\\OLD\\z"};
        EXPECT_EQ(run.create.MapShareToDrive(), ERR_NO_DRIVE_LETTER);
        EXPECT_EQ(run.create.DriveLetter(), "NONE");
        EXPECT_TRUE(run.system.did.empty());
        EXPECT_TRUE(run.system.settings.empty());
    }
}

TEST(SetupWorker, CredentialsAndFlagsByFunctionAndWindowsVersion) {
    struct Case {
        int function;
        bool noPassword;
        int major, minor;
        bool withAccount;
        uint32_t flags;
    };
    const Case cases[] = {
        {CREATE_PUBLIC, false, 5, 1, false, 0x1},  {CREATE_EXIST, true, 5, 1, false, 0x1},
        {CREATE_EXIST, false, 5, 1, true, 0x1809}, {CREATE_PRIVATE, false, 5, 0, true, 0x1},
        {CREATE_PRIVATE, false, 4, 0, false, 0x1}, {CREATE_PRIVATE, false, 6, 0, true, 0x1809},
    };
    for (const Case& c : cases) {
        const MapCredentials m = CredentialsFor(c.function, c.noPassword, c.major, c.minor);
        EXPECT_EQ(m.withAccount, c.withAccount) << c.function << " " << c.major << "." << c.minor;
        EXPECT_EQ(m.flags, c.flags) << c.function << " " << c.major << "." << c.minor;
    }
    Bench run(CREATE_PRIVATE);
    run.system.minor = 0;
    ASSERT_EQ(run.create.MapShareToDrive(), 0u);
    EXPECT_EQ(run.system.did.back(), "add Z: \\\\STORAGE\\Anne Anne pw 1");
}

TEST(SetupWorker, MappingWaitsBeforeEachAttemptAndRetriesOnlyAMissingShare) {
    setup_test::LogCapture log;
    {
        Bench run(CREATE_PUBLIC);
        run.create.GetPublicShareName();
        run.system.addAnswers = {WIN_ERROR_BAD_NET_NAME, WIN_ERROR_BAD_NETPATH};
        EXPECT_EQ(run.create.MapShareToDrive(), 0u);
        const std::vector<std::string> expected = {
            "cancel \\\\STORAGE\\Shared 0 force", "wait 4000",
            "add Z: \\\\STORAGE\\Anne - - 1",     "wait 4000",
            "add Z: \\\\STORAGE\\Anne - - 1",     "wait 4000",
            "add Z: \\\\STORAGE\\Anne - - 1"};
        EXPECT_EQ(run.system.did, expected);
        EXPECT_EQ(log.Count("--- ERROR: Can't map <\\\\STORAGE\\Anne> to <Z:> Error Code: 67"), 1u);
        EXPECT_EQ(run.system.settings["sortFolder"], "\\\\STORAGE\\Anne");
        EXPECT_EQ(run.system.settings["backupFolder"], "\\F62");
        EXPECT_EQ(run.system.settings["shareDriveLetter"], "Z:");
    }
    {
        Bench run(CREATE_PUBLIC);
        run.system.addAnswers.assign(MAP_ATTEMPTS, WIN_ERROR_BAD_NETPATH);
        EXPECT_EQ(run.create.MapShareToDrive(), WIN_ERROR_BAD_NETPATH);
        EXPECT_EQ(run.system.Count("add "), static_cast<size_t>(MAP_ATTEMPTS));
        EXPECT_TRUE(run.system.settings.empty());
    }
    {
        Bench run(CREATE_PRIVATE);
        run.system.addAnswers = {1326};
        EXPECT_EQ(run.create.MapShareToDrive(), 1326u);
        EXPECT_EQ(run.system.Count("add "), 1u);
        EXPECT_TRUE(run.system.settings.empty());
    }
    {
        // the screen has gone: the set-up stops at the next wait
        Bench run(CREATE_PUBLIC);
        run.system.stopped = true;
        EXPECT_EQ(run.create.MapShareToDrive(), WIN_ERROR_CANCELLED);
        EXPECT_EQ(run.system.Count("add "), 0u);
    }
}

TEST(SetupWorker, ShareAlreadyMappedOnlyOnAnExactMatch) {
    setup_test::LogCapture log;
    Bench run(CREATE_PUBLIC);
    run.system.drives |= bit('Z');
    run.system.connections["Y:"] = {0, "\\\\STORAGE\\anne"};
    run.system.cancelAnswers["\\\\STORAGE\\Shared"] = WIN_ERROR_NOT_CONNECTED;
    run.create.GetPublicShareName();
    EXPECT_EQ(run.create.PublicShareName(), "\\Shared");
    ASSERT_EQ(run.create.MapShareToDrive(), 0u);
    EXPECT_TRUE(log.Has("    Y: mapped to '\\\\STORAGE\\anne' 0"));
    EXPECT_EQ(run.create.DriveLetter(), "X:");

    Bench again(CREATE_PUBLIC);
    again.system.connections["Y:"] = {0, "\\\\STORAGE\\Anne"};
    again.commands.gps1 = CMD_BAD_REPLY;
    again.create.GetPublicShareName();
    again.system.cancelAnswers["\\\\STORAGE\\Public"] = 5;
    EXPECT_EQ(again.create.MapShareToDrive(), ERR_ALREADY_MAPPED);
    EXPECT_TRUE(log.Has("--- ERROR: Can't unmap public share <\\\\STORAGE\\Public> Error Code: 5"));
    EXPECT_TRUE(log.Has("--- ERROR: Shared Already Mapped!!"));
    EXPECT_EQ(again.system.Count("add "), 0u);
}

TEST(SetupWorker, DisconnectWalksContainersDepthFirstAndCancelsTheAppliancesConnections) {
    setup_test::LogCapture log;
    Bench run(CREATE_PUBLIC);
    NetResource host;
    host.usage = NET_USAGE_CONTAINER;
    host.remoteName = "\\\\STORAGE";
    auto connection = [](const char* local, const char* remote) {
        NetResource r;
        r.usage = NET_USAGE_CONNECTABLE;
        r.localName = local;
        r.remoteName = remote;
        return r;
    };
    NetResource loop = host;
    loop.remoteName = "\\\\LOOP";
    run.system.below[""] = {host, connection("M:", "\\\\OTHER\\x"), loop};
    run.system.below["\\\\STORAGE"] = {connection("Y:", "\\\\STORAGE\\Anne"),
                                       connection("", "\\\\STORAGE\\Public"),
                                       connection("X:", "\\\\STORAGE\\bob")};
    run.system.below["\\\\LOOP"] = {loop};
    run.system.cancelAnswers["X:"] = 2401;
    EXPECT_EQ(run.create.Disconnect(nullptr), 0u);
    const std::vector<std::string> cancels = {"cancel Y: 1", "cancel \\\\STORAGE\\Public 1",
                                              "cancel X: 1"};
    std::vector<std::string> seen;
    for (const std::string& d : run.system.did)
        if (d.compare(0, 7, "cancel ") == 0)
            seen.push_back(d);
    EXPECT_EQ(seen, cancels);
    // every level is closed: the top, the host, and the container inside itself as deep as walked
    EXPECT_EQ(run.system.Count("close"), static_cast<size_t>(2 + MAX_CONTAINER_DEPTH));
    EXPECT_TRUE(log.Has("CtovDlgCreate::Disconnected (Y:)"));
    EXPECT_TRUE(log.Has("CtovDlgCreate::Disconnected (\\\\STORAGE\\Public)"));
    EXPECT_TRUE(log.Has("CtovDlgCreate::Disconnect - text 2401 (X:)"));
    EXPECT_TRUE(log.Has("CtovDlgCreate::Disconnect - Device not disconnected (X:)"));
}

TEST(SetupWorker, NewAccountOnTheAppliance) {
    setup_test::LogCapture log;
    {
        Bench run(CREATE_PUBLIC);
        EXPECT_EQ(run.create.NewSetup(), 0u);
        EXPECT_EQ(run.commands.sent, (std::vector<std::string>{"pshr guest/Anne/"}));
        EXPECT_TRUE(log.Has("A. Skipping ... Create New User account for 'Anne' on "
                            "'STORAGE'-(198.51.100.20)"));
    }
    {
        Bench run(CREATE_PRIVATE);
        run.commands.shareStatus = 0x20000002;
        EXPECT_EQ(run.create.NewSetup(), 0u);
        EXPECT_EQ(run.commands.sent, (std::vector<std::string>{"crat Anne/pw", "shar Anne/Anne/"}));
        EXPECT_TRUE(log.Has("Symbolic link already exists, so we continue..."));
    }
    {
        Bench run(CREATE_PRIVATE);
        run.commands.cratStatus = 0x10000001;
        EXPECT_EQ(run.create.NewSetup(), 0x10000001u);
        EXPECT_EQ(run.commands.sent.size(), 1u);
        run.commands.cratTransport = CMD_TIMEOUT;
        EXPECT_EQ(run.create.NewSetup(), CMD_TIMEOUT);
    }
    Bench bad(CREATE_EXIST);
    EXPECT_EQ(bad.create.NewSetup(), ERR_BAD_FUNCTION);
    EXPECT_TRUE(log.Has("Bad Function in NewSetup"));
}

TEST(SetupWorker, CategoryFoldersAndTheBusinessMarker) {
    struct Case {
        int function;
        int business;
        bool marker;
        int stored;
        const char* firstOfGroup;
        bool markerMade;
    };
    const Case cases[] = {
        {CREATE_PRIVATE, 1, false, 1, "folder \\\\STORAGE\\Anne\\F70", true},
        {CREATE_PUBLIC, 0, false, 0, "folder \\\\STORAGE\\Anne\\F64", false},
        // an existing account takes the marker's word over the screen's
        {CREATE_EXIST, 0, true, 1, "folder \\\\STORAGE\\Anne\\F70", false},
        {CREATE_EXIST, 1, false, 0, "folder \\\\STORAGE\\Anne\\F64", false},
    };
    for (const Case& c : cases) {
        Bench run(c.function, false, c.business);
        setup_test::LogCapture log;
        ASSERT_EQ(run.create.MapShareToDrive(), 0u);
        run.system.did.clear();
        if (c.marker)
            run.system.files.insert("\\\\STORAGE\\Anne\\_business.tov");
        EXPECT_EQ(run.create.CreateFolders(), 0u);
        const std::vector<std::string>& did = run.system.did;
        ASSERT_GE(did.size(), 8u);
        EXPECT_EQ(did[0], "folder \\\\STORAGE\\Anne\\F62");
        EXPECT_EQ(did[4], "folder \\\\STORAGE\\Anne\\F67");
        EXPECT_EQ(did[5] == "hidden \\\\STORAGE\\Anne\\_business.tov", c.markerMade);
        EXPECT_EQ(did[c.markerMade ? 6 : 5], c.firstOfGroup);
        EXPECT_EQ(did.size(), c.stored ? (c.markerMade ? 10u : 9u) : 8u);
        EXPECT_EQ(run.system.settings["businessSort"], std::to_string(c.stored));
    }
}

TEST(SetupWorker, ShortcutsToTheDriveAndThePublicShare) {
    setup_test::LogCapture log;
    Bench run(CREATE_PUBLIC);
    run.system.settings["ShortCut"] = "C:\\Desktop\\Anne on (OLD).lnk";
    run.system.desktopLinks = {"anne on (OLD).lnk", "Anne on (OLD).lnk", "Anne on (OLD).lnk"};
    run.system.linkResult = -2147467259;
    run.create.GetPublicShareName();
    ASSERT_EQ(run.create.MapShareToDrive(), 0u);
    run.system.did.clear();
    EXPECT_EQ(run.create.CreateShortcuts(), 0u);
    const std::vector<std::string> expected = {
        "delete C:\\Desktop\\Anne on (OLD).lnk",
        "com",
        "link C:\\Desktop\\Anne on (STORAGE).lnk -> Z:\\ icon",
        "link \\\\STORAGE\\Anne\\Shared.lnk -> \\\\STORAGE\\Shared",
        "refresh",
        "uncom"};
    EXPECT_EQ(run.system.did, expected);
    EXPECT_EQ(run.system.settings["ShortCut"], "C:\\Desktop\\Anne on (STORAGE).lnk");
    EXPECT_EQ(run.system.settings["PublicSortFolder"], "\\\\STORAGE\\Shared");
    EXPECT_TRUE(log.Has("--- ERROR: Failed to create shortcut <C:\\Desktop\\Anne on (STORAGE).lnk> "
                        "to <Z:\\>"));

    // a stored path that names no desktop file deletes nothing
    run.system.settings["ShortCut"] = "D:\\Elsewhere\\Anne on (OLD).lnk";
    run.system.did.clear();
    run.create.CreateShortcuts();
    EXPECT_EQ(run.system.Count("delete"), 0u);
    EXPECT_EQ(DriveShortcutPath("C:\\D\\", "\\\\STORAGE\\Anne", "STORAGE"),
              "C:\\D\\Anne on (STORAGE).lnk");
}

TEST(SetupWorker, RunLogsItsStartAndEndAndStopsAtTheFirstFailure) {
    setup_test::LogCapture log;
    SetupRequest request;
    request.function = CREATE_PRIVATE;
    request.deviceName = "STORAGE";
    request.accountName = "Anne";
    request.newAccount = true;
    FakeSystem system;
    FakeCommands commands;
    commands.cratStatus = 0x10000001;
    EXPECT_EQ(RunSetup(request, system, commands), 0x10000001u);
    EXPECT_TRUE(system.did.empty());
    EXPECT_TRUE(log.Has("Create Setup Thread Ended...(0x10000001)"));

    commands.cratStatus = 0;
    EXPECT_EQ(RunSetup(request, system, commands), 0u);
    const std::vector<std::string> lines = log.Lines();
    const std::vector<std::string> steps = {"Setup Thread Started...",
                                            "A. Create New User account for 'Anne' on 'STORAGE'-()",
                                            "B. Create Share 'Anne'",
                                            "1. Get Localized Public Share Name for 'STORAGE'-()",
                                            "2. Disconnect Connections",
                                            "3. Map Share to Local Drive Letter",
                                            "4. Create Folders",
                                            "5. Create Shorcuts",
                                            "Create Setup Thread Ended...(0x0)"};
    size_t at = 0;
    for (const std::string& line : lines)
        if (at < steps.size() && line == steps[at])
            ++at;
    EXPECT_EQ(at, steps.size());
}

} // namespace
} // namespace setup
