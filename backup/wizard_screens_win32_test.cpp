// Screen tests of the backup wizard's pages: each page runs in tovwizardhost.exe, a process of its
// own, and the UI driver acts on it as a user would; the files it writes are checked byte for
// byte, and the selection is read back by the engine's planner.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backup/backup_config.h"
#include "engine/engine_core.h"
#include "lab/uidriver/gallery_run_win32.h"
#include "lab/uidriver/tree_driver_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"

namespace {

using uidriver_test::BinDir;
using uidriver_test::kWait;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ComputerName() {
    char name[17] = "";
    DWORD n = sizeof name;
    GetComputerNameA(name, &n);
    return name;
}

// A folder of the test's own below the temporary folder, removed afterwards.
class Scratch {
public:
    Scratch() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "tovwz" + std::to_string(GetCurrentProcessId()) + "\\";
        Remove(root);
        CreateDirectoryA(root.c_str(), nullptr);
    }
    ~Scratch() { Remove(root); }
    std::string Make(const std::string& relative) {
        std::string path = root;
        size_t start = 0;
        while (start < relative.size()) {
            const size_t slash = relative.find('\\', start);
            path = root + relative.substr(0, slash);
            CreateDirectoryA(path.c_str(), nullptr);
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        return path + "\\";
    }
    std::string root;

private:
    static void Remove(const std::string& folder) {
        WIN32_FIND_DATAA f;
        HANDLE h = FindFirstFileA((folder + "*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = f.cFileName;
                if (name == "." || name == "..")
                    continue;
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(folder + name + "\\");
                else
                    DeleteFileA((folder + name).c_str());
            } while (FindNextFileA(h, &f));
            FindClose(h);
        }
        RemoveDirectoryA(folder.c_str());
    }
};

// One run of tovwizardhost.exe; its output goes to a file.
class Host : public uidriver_test::Gallery {
public:
    explicit Host(const std::string& args) : Gallery(args, "tovwizardhost.exe") {}
    uidriver::Screen Screen() { return NextScreen(); }
    // The page's output with its line ends as on Linux.
    std::string Output() const {
        std::string lf;
        for (char c : Gallery::Output())
            if (c != '\r')
                lf += c;
        return lf;
    }
};

std::string Quote(const std::string& s) {
    // a trailing backslash would escape the closing quote
    return "\"" + s + (s.empty() || s.back() != '\\' ? "" : "\\") + "\"";
}

std::string Listing(const std::vector<uidriver::TreeItem>& items) {
    std::ostringstream out;
    // a placeholder (no text) has whatever state image the control gives new items
    for (const uidriver::TreeItem& t : items)
        out << t.depth << ' ' << (t.text.empty() ? std::string("-") : std::to_string(t.state))
            << ' ' << t.text << '\n';
    return out.str();
}

bool Checked(HWND page, int id) {
    for (const uidriver::Control& c : uidriver::ListControls(page))
        if (c.id == id)
            return c.checked;
    return false;
}

const char kShare[] = "\\\\NAS1\\anne";

TEST(WizardScreensTest, FolderPageWritesTheDriveAndItsExcludedFolder) {
    Scratch scratch;
    const std::string data = scratch.Make("data");
    const std::string drive = scratch.Make("drive");
    const std::string documents = scratch.Make("docs\\My Documents");
    scratch.Make("drive\\Alpha");
    scratch.Make("drive\\Beta\\Inner");
    scratch.Make("drive\\Gamma");
    scratch.Make("docs\\My Documents\\Letters");
    const std::string prefix = std::string(kShare) + "\\My Backup\\" + ComputerName() + "\\";
    // another appliance's entries stay byte for byte; this share's old one goes
    const std::string other = "D:\\Keep\t\\\\T\\Q\\My Backup\\PC2\\D\\Keep\t1\r\n"
                              "D:\\\t\\\\T\\Q\\My Backup\\PC2\\D\\\r\n";
    const std::string path = data + "KelBackConfig.txt";
    WriteFile(path, other + "E:\\Old\t" + prefix + "E\\Old\r\n");

    const std::string semaphore = "tovwz-loaded-" + std::to_string(GetCurrentProcessId());
    HANDLE loaded = CreateSemaphoreA(nullptr, 0, 100, semaphore.c_str());
    ASSERT_TRUE(loaded);
    // a folder stands in for a drive root
    const std::string root = drive.substr(0, drive.size() - 1);
    Host host("folders " + semaphore + " " + Quote(data) + " " + Quote(kShare) + " " +
              Quote(documents.substr(0, documents.size() - 1)) + " " + Quote(root));
    ASSERT_TRUE(host.Started());
    const uidriver::Screen page = host.Screen();
    ASSERT_EQ(page.dialogId, IDD_WIZARD_FOLDERS);

    std::vector<uidriver::TreeItem> items;
    ASSERT_TRUE(uidriver::ListTreeItems(page.hwnd, IDC_BACKUP_TREE, &items));
    // the documents item first (the drive's path holds "C:"), each folder with a placeholder
    EXPECT_EQ(Listing(items), "0 1 My Documents\n1 - \n0 1 " + root +
                                  "\n1 1 Alpha\n2 - \n1 1 Beta\n2 - \n1 1 Gamma\n2 - \n");

    ASSERT_TRUE(uidriver::ToggleTreeCheck(page.hwnd, IDC_BACKUP_TREE, {root}));
    ASSERT_TRUE(uidriver::ExpandTreeItem(page.hwnd, IDC_BACKUP_TREE, {root}));
    // Beta's folders are read by the loader once the user opens it
    ASSERT_TRUE(uidriver::ExpandTreeItem(page.hwnd, IDC_BACKUP_TREE, {root, "Beta"}));
    ASSERT_EQ(WaitForSingleObject(loaded, kWait), WAIT_OBJECT_0) << "Beta's folders never came";
    ASSERT_TRUE(uidriver::ToggleTreeCheck(page.hwnd, IDC_BACKUP_TREE, {root, "Gamma"}));
    ASSERT_TRUE(uidriver::ListTreeItems(page.hwnd, IDC_BACKUP_TREE, &items));
    EXPECT_EQ(Listing(items),
              "0 1 My Documents\n1 - \n0 3 " + root +
                  "\n1 2 Alpha\n2 - \n1 2 Beta\n2 2 Inner\n3 - \n1 1 Gamma\n2 - \n");
    for (const uidriver::TreeItem& t : items) {
        if (t.text == "Beta") {
            EXPECT_TRUE(t.expanded);
        }
    }

    ASSERT_TRUE(uidriver::Click(page.hwnd, IDC_NEXT));
    EXPECT_EQ(host.Finish(), 102);
    CloseHandle(loaded);

    const std::string local = root.substr(0, 1) + root.substr(2); // without the ":"
    EXPECT_EQ(ReadFile(path), other + root + "\t" + prefix + local + "\r\n" + root + "\\Gamma\t" +
                                  prefix + local + "\\Gamma\t1\r\n");

    // the engine's planner reads the same selection back
    backup::BackupConfig written(path);
    ASSERT_EQ(written.Entries().size(), 4u);
    std::vector<std::string> problems;
    const std::vector<engine::ShareSelection> shares = engine::BuildSelections(
        written.Entries(), [&](const std::string& line) { problems.push_back(line); });
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[1].prefix, prefix);
    EXPECT_EQ(shares[1].included, std::vector<std::string>{root});
    EXPECT_EQ(shares[1].excluded, std::vector<std::string>{root + "\\Gamma"});
    EXPECT_EQ(shares[0].excluded, std::vector<std::string>{"D:\\Keep"});
}

TEST(WizardScreensTest, SchedulePageSavesTheDaysAndReschedules) {
    Scratch scratch;
    const std::string data = scratch.Make("data");
    const std::string path = data + "schedConfig.txt";
    WriteFile(path, "on\r\n30\r\n7\r\n34\r\n\r\n"); // Monday and Friday at 7:30
    {
        Host host("schedule " + Quote(data) + " " + Quote(kShare));
        ASSERT_TRUE(host.Started());
        const uidriver::Screen page = host.Screen();
        ASSERT_EQ(page.dialogId, IDD_WIZARD_SCHEDULE);
        EXPECT_TRUE(Checked(page.hwnd, IDC_DAY_MONDAY));
        EXPECT_TRUE(Checked(page.hwnd, IDC_DAY_FRIDAY));
        EXPECT_FALSE(Checked(page.hwnd, IDC_DAY_SUNDAY));
        EXPECT_FALSE(Checked(page.hwnd, IDC_DAY_TUESDAY));
        ASSERT_TRUE(uidriver::SetCheck(page.hwnd, IDC_DAY_SUNDAY, true));
        ASSERT_TRUE(uidriver::SetCheck(page.hwnd, IDC_DAY_FRIDAY, false));
        ASSERT_TRUE(uidriver::Click(page.hwnd, IDC_NEXT));
        EXPECT_EQ(host.Finish(), 102);
        EXPECT_EQ(host.Output(), "engine reschedule\nresult 102\n");
    }
    EXPECT_EQ(ReadFile(path), "on\r\n30\r\n7\r\n3\r\n\r\n");

    // Back saves nothing and tells the engine nothing
    Host back("schedule " + Quote(data) + " " + Quote(kShare));
    ASSERT_TRUE(back.Started());
    const uidriver::Screen page = back.Screen();
    ASSERT_TRUE(uidriver::SetCheck(page.hwnd, IDC_DAY_SATURDAY, true));
    ASSERT_TRUE(uidriver::Click(page.hwnd, IDC_BACK));
    EXPECT_EQ(back.Finish(), 101);
    EXPECT_EQ(back.Output(), "result 101\n");
    EXPECT_EQ(ReadFile(path), "on\r\n30\r\n7\r\n3\r\n\r\n");
}

TEST(WizardScreensTest, SummaryPageShowsTheScheduleAndSavesOff) {
    Scratch scratch;
    const std::string data = scratch.Make("data");
    const std::string path = data + "schedConfig.txt";
    WriteFile(path, "on\r\n30\r\n7\r\n34\r\n\r\n");
    {
        Host host("summary " + Quote(data) + " " + Quote(kShare) + " S:");
        ASSERT_TRUE(host.Started());
        const uidriver::Screen page = host.Screen();
        ASSERT_EQ(page.dialogId, IDD_WIZARD_SUMMARY);
        EXPECT_EQ(uidriver::ControlText(page.hwnd, IDC_SUMMARY_SCHED), "Monday, Friday at 7:30 AM");
        EXPECT_EQ(uidriver::ControlText(page.hwnd, IDC_SUMMARY_DEST),
                  "(S:) \\\\NAS1\\anne\\My Backup");
        EXPECT_TRUE(Checked(page.hwnd, IDC_SUMMARY_ON));
        ASSERT_TRUE(uidriver::SetCheck(page.hwnd, IDC_SUMMARY_OFF, true));
        ASSERT_TRUE(uidriver::Click(page.hwnd, IDC_NEXT));
        EXPECT_EQ(host.Finish(), 103);
    }
    EXPECT_EQ(ReadFile(path), "off\r\n30\r\n7\r\n34\r\n\r\n");

    // no schedule file: every day at 22:00; Edit leaves it as it is
    DeleteFileA(path.c_str());
    Host edit("summary " + Quote(data) + " " + Quote(kShare) + " S:");
    ASSERT_TRUE(edit.Started());
    const uidriver::Screen page = edit.Screen();
    EXPECT_EQ(uidriver::ControlText(page.hwnd, IDC_SUMMARY_SCHED), "Daily at 10:00 PM");
    ASSERT_TRUE(uidriver::Click(page.hwnd, IDC_EDIT));
    EXPECT_EQ(edit.Finish(), 150);
    EXPECT_EQ(ReadFile(path), "<missing>");
}

} // namespace
