// The restore page in this process over a share laid out as the engine lays out its backups
// (\\TOVRST\share, with History\Level2 and Level3): versions, the replace question, a cancelled
// copy over an existing file, the read-only retry and the progress texts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backup/restore.h"
#include "backup/restore_files_win32.h"
#include "backup/restore_type_win32.h"
#include "backup/restore_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"
#include "setup/message_table.h"
#include "setup/screen_run_win32.h"
#include "skin/resources_win32.h"

namespace {

constexpr DWORD kDeadlineMs = 20000;
constexpr const char* kHoldEvent = "tovrestore-test-held";
const std::string kLocal = "C:\\tovrestore-test";
const std::string kShareRoot = "\\\\TOVRST\\share";
const std::string kComputer = kShareRoot + "\\My Backup\\OFFICE1";
const std::string kDir = kComputer + "\\C\\tovrestore-test\\Data";

std::string String(int id) { return skin::LoadString(static_cast<UINT>(id)); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const std::string& path, const std::string& bytes) {
    backup::CreateDirectoryTree(backup::DirectoryOf(path), backup::MakeDirectory);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// Distinct bytes for each version, so that a restore shows which one it took.
std::string Bytes(size_t n, char seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(seed + static_cast<char>(i % 251));
    return s;
}

std::string AtLevel(int level, const std::string& name) {
    if (level == 1)
        return kDir + "\\" + name;
    return kComputer + "\\History\\Level" + std::to_string(level) + "\\C\\tovrestore-test\\Data\\" +
           name;
}

// The page with its temporary folder in the test's folder and its moments made observable.
class TestPage : public backup::RestoreFilesScreen {
public:
    explicit TestPage(std::string temporary = kLocal + "\\docs\\TOVRestore")
        : RestoreFilesScreen("S", kShareRoot), temporary(std::move(temporary)) {
        for (HANDLE& e : events)
            e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    ~TestPage() override {
        for (HANDLE e : events)
            CloseHandle(e);
    }
    enum Moment { Listed, Versions, Checked, Progress, Ended, kMoments };
    bool Wait(Moment m) { return WaitForSingleObject(events[m], kDeadlineMs) == WAIT_OBJECT_0; }

    std::atomic<int> percent{-1};
    std::atomic<DWORD> error{0xFFFFFFFF};

protected:
    std::string TemporaryFolder() override { return temporary; }
    void FolderListed(HTREEITEM) override { SetEvent(events[Listed]); }
    void VersionsListed() override { SetEvent(events[Versions]); }
    void VersionChecked() override { SetEvent(events[Checked]); }
    void ProgressShown(int p) override {
        percent = p;
        SetEvent(events[Progress]);
    }
    void RestoreEnded(DWORD e) override {
        error = e;
        SetEvent(events[Ended]);
    }

private:
    std::string temporary;
    HANDLE events[kMoments];
};

class RestorePage : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA(backup::kHoldVariable, kHoldEvent);
        held = CreateEventA(nullptr, FALSE, FALSE, kHoldEvent);
        // the share: a folder where Wine looks for \\TOVRST\share
        char prefix[MAX_PATH] = "";
        ASSERT_GT(GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix), 0u);
        std::string unix = prefix;
        for (char& c : unix)
            c = c == '/' ? '\\' : c;
        shareFolder = "Z:" + unix + "\\dosdevices\\unc\\TOVRST\\share";
        RemoveTree(shareFolder);
        RemoveTree(kLocal);
        ASSERT_TRUE(backup::CreateDirectoryTree(shareFolder, backup::MakeDirectory));
        // a.pst: the current backup and the third version (the second was pruned)
        Put(AtLevel(1, "a.pst"), "current a");
        Put(AtLevel(3, "a.pst"), "third a");
        // b.bin: large enough for many chunks, in two versions
        Put(AtLevel(1, "b.bin"), Bytes(1 << 20, 'b'));
        Put(AtLevel(2, "b.bin"), Bytes(1 << 20, 'B'));
        ASSERT_EQ(ReadAll(kComputer + "\\C\\tovrestore-test\\Data\\a.pst"), "current a");
    }
    void TearDown() override {
        CloseHandle(held);
        RemoveTree(kLocal);
        RemoveTree(shareFolder);
    }

    HWND Tree(int id) const { return GetDlgItem(page, id); }

    std::string Text(HWND tree, HTREEITEM item) const {
        char text[MAX_PATH] = "";
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return text;
    }
    std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent) const {
        std::vector<HTREEITEM> out;
        HTREEITEM at = TreeView_GetChild(tree, parent);
        for (; at; at = TreeView_GetNextSibling(tree, at))
            out.push_back(at);
        return out;
    }
    std::vector<std::string> ChildTexts(HWND tree, HTREEITEM parent) const {
        std::vector<std::string> out;
        for (HTREEITEM item : Children(tree, parent))
            out.push_back(Text(tree, item));
        return out;
    }
    HTREEITEM Child(HWND tree, HTREEITEM parent, const std::string& text) const {
        for (HTREEITEM item : Children(tree, parent))
            if (Text(tree, item) == text)
                return item;
        return nullptr;
    }

    // Opens the page and walks down to the folder of the test's files.
    void OpenData(setup_test::ScreenRun& run, TestPage& p) {
        ASSERT_TRUE(run.WaitShown(IDD_RESTORE_FILES));
        page = run.screen.hwnd;
        ASSERT_TRUE(p.Wait(TestPage::Listed));
        HWND folders = Tree(IDC_FOLDER_TREE);
        HTREEITEM at = TreeView_GetRoot(folders);
        ASSERT_EQ(Text(folders, at), kShareRoot);
        EXPECT_EQ(ChildTexts(folders, at), std::vector<std::string>{"OFFICE1"});
        for (const char* name : {"OFFICE1", "C", "tovrestore-test", "Data"}) {
            HTREEITEM next = Child(folders, at, name);
            ASSERT_NE(next, nullptr) << name;
            TreeView_SelectItem(folders, next);
            ASSERT_TRUE(p.Wait(TestPage::Listed)) << name;
            if (std::string(name) == "OFFICE1") {
                EXPECT_EQ(ChildTexts(folders, next), std::vector<std::string>{"C"})
                    << "the history folder is never listed";
            }
            at = next;
        }
        data = at;
    }

    void SelectFile(TestPage& p, const std::string& name) {
        HWND folders = Tree(IDC_FOLDER_TREE);
        HTREEITEM file = Child(folders, data, name);
        ASSERT_NE(file, nullptr);
        TreeView_SelectItem(folders, file);
        ASSERT_TRUE(p.Wait(TestPage::Versions));
    }

    std::vector<bool> Checks() const {
        HWND versions = Tree(IDC_VERSION_TREE);
        std::vector<bool> out;
        for (HTREEITEM item : Children(versions, TreeView_GetRoot(versions)))
            out.push_back(TreeView_GetCheckState(versions, item) == 1);
        return out;
    }

    // A click on a version's check box, as the mouse makes it.
    void ClickCheck(TestPage& p, int position) {
        HWND versions = Tree(IDC_VERSION_TREE);
        HTREEITEM item = Children(versions, TreeView_GetRoot(versions))[position];
        RECT r{};
        ASSERT_TRUE(TreeView_GetItemRect(versions, item, &r, TRUE));
        TVHITTESTINFO hit{};
        hit.pt.y = (r.top + r.bottom) / 2;
        for (hit.pt.x = 0; hit.pt.x < r.left; ++hit.pt.x) {
            SendMessageA(versions, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.flags & TVHT_ONITEMSTATEICON)
                break;
        }
        ASSERT_LT(hit.pt.x, r.left) << "no check box beside the version";
        const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
        PostMessageA(versions, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(versions, WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(p.Wait(TestPage::Checked));
    }

    // The dialog that comes over the page.
    uidriver::Screen Over() {
        uidriver::Screen s;
        EXPECT_TRUE(uidriver::WaitForScreen(GetCurrentProcessId(), kDeadlineMs, &s, page));
        return s;
    }

    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

    HANDLE held = nullptr;
    std::string shareFolder;
    HWND page = nullptr;
    HTREEITEM data = nullptr;
};

TEST_F(RestorePage, TheCheckedVersionOfANonContiguousHistoryIsTheOneRestored) {
    TestPage p;
    setup_test::ScreenRun run([&p] { return p.DoModal(); });
    ASSERT_NO_FATAL_FAILURE(OpenData(run, p));
    EXPECT_EQ(run.Text(IDC_RESTORING), "Restoring file: ");
    EXPECT_FALSE(run.Visible(IDC_RESTORE_TEMP_FOLDER));
    ASSERT_NO_FATAL_FAILURE(SelectFile(p, "a.pst"));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false})) << "levels 1 and 3 only";
    EXPECT_TRUE(Enabled(IDC_RESTORE));

    // the second entry shows level 3, not level 2
    ASSERT_NO_FATAL_FAILURE(ClickCheck(p, 1));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true}));
    EXPECT_TRUE(Enabled(IDC_RESTORE));
    ASSERT_NO_FATAL_FAILURE(ClickCheck(p, 1));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(Enabled(IDC_RESTORE)) << "Restore only while a version is checked";
    ASSERT_NO_FATAL_FAILURE(ClickCheck(p, 1));

    // no file there yet: its folders are made, and no question is asked
    run.Click(IDC_RESTORE);
    ASSERT_TRUE(p.Wait(TestPage::Ended));
    EXPECT_EQ(p.error.load(), 0u);
    EXPECT_EQ(ReadAll(kLocal + "\\Data\\a.pst"), "third a");
    EXPECT_EQ(p.percent.load(), 100);
    EXPECT_EQ(run.Text(IDC_RESTORING), "Restoring file: 100%");
    EXPECT_TRUE(Enabled(IDC_NEXT) && Enabled(IDC_BACK) && Enabled(IDC_RESTORE));
    EXPECT_FALSE(Enabled(IDC_CANCEL));

    // to the temporary folder: the path from the share root on below it
    SendMessageA(GetDlgItem(page, IDC_RESTORE_TEMPORARY), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.Visible(IDC_RESTORE_TEMP_FOLDER));
    EXPECT_EQ(run.Text(IDC_RESTORE_TEMP_FOLDER), kLocal + "\\docs\\TOVRestore");
    run.Click(IDC_RESTORE);
    ASSERT_TRUE(p.Wait(TestPage::Ended));
    EXPECT_EQ(p.error.load(), 0u);
    EXPECT_EQ(
        ReadAll(kLocal + "\\docs\\TOVRestore\\My Backup\\OFFICE1\\C\\tovrestore-test\\Data\\a.pst"),
        "third a");

    run.Click(IDC_NEXT);
    EXPECT_EQ(run.Result(), 102);
}

TEST_F(RestorePage, ACancelledReplaceLeavesTheExistingFileAndNoPartialFile) {
    const std::string target = kLocal + "\\Data\\b.bin";
    const std::string existing = Bytes(300000, 'x');
    Put(target, existing);
    TestPage p;
    setup_test::ScreenRun run([&p] { return p.DoModal(); });
    ASSERT_NO_FATAL_FAILURE(OpenData(run, p));
    ASSERT_NO_FATAL_FAILURE(SelectFile(p, "b.bin"));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false}));
    ASSERT_NO_FATAL_FAILURE(ClickCheck(p, 1));

    run.Click(IDC_RESTORE);
    uidriver::Screen question = Over();
    ASSERT_EQ(question.dialogId, IDD_REPLACE_FILE);
    EXPECT_EQ(uidriver::ControlText(question.hwnd, IDC_REPLACE_EXISTS),
              "A file named \"b.bin\" already exists in this location.");
    const std::string old = uidriver::ControlText(question.hwnd, IDC_REPLACE_OLD);
    const std::string chosen = uidriver::ControlText(question.hwnd, IDC_REPLACE_NEW);
    EXPECT_EQ(old.substr(0, old.find('\n')), "Size: 293 KB");
    EXPECT_EQ(chosen.substr(0, chosen.find('\n')), "Size: 1 MB");
    EXPECT_EQ(chosen.substr(chosen.find('\n') + 1, 10), "Modified: ");
    EXPECT_EQ(uidriver::ControlText(question.hwnd, IDC_HEADING),
              setup::DeviceHeading(String(9), "TOVRST"));
    uidriver::Click(question.hwnd, IDC_RIGHT_BUTTON);

    // the copy holds after its first chunk: 65,536 of 1,048,576 bytes
    ASSERT_EQ(WaitForSingleObject(held, kDeadlineMs), WAIT_OBJECT_0);
    ASSERT_TRUE(p.Wait(TestPage::Progress));
    EXPECT_EQ(p.percent.load(), 6);
    EXPECT_EQ(run.Text(IDC_RESTORING), "Restoring file: 006%");
    EXPECT_TRUE(Enabled(IDC_CANCEL));
    EXPECT_FALSE(Enabled(IDC_NEXT) || Enabled(IDC_BACK) || Enabled(IDC_RESTORE));
    EXPECT_TRUE(Exists(target + backup::kPartSuffix));

    run.Click(IDC_CANCEL);
    uidriver::Screen confirm = Over();
    ASSERT_EQ(confirm.dialogId, IDD_MESSAGE);
    EXPECT_EQ(uidriver::ControlText(confirm.hwnd, IDC_HEADING), String(190));
    uidriver::Click(confirm.hwnd, IDC_RIGHT_BUTTON);
    ASSERT_TRUE(uidriver::WaitGone(confirm.hwnd, kDeadlineMs));
    ASSERT_TRUE(p.Wait(TestPage::Ended));
    EXPECT_EQ(p.error.load(), static_cast<DWORD>(ERROR_REQUEST_ABORTED));

    uidriver::Screen failed = Over();
    ASSERT_EQ(failed.dialogId, IDD_MESSAGE);
    EXPECT_EQ(uidriver::ControlText(failed.hwnd, IDC_HEADING), String(210));
    EXPECT_EQ(uidriver::ControlText(failed.hwnd, IDC_MESSAGE_TEXT), String(211));
    uidriver::Click(failed.hwnd, IDC_RIGHT_BUTTON);
    ASSERT_TRUE(uidriver::WaitGone(failed.hwnd, kDeadlineMs));

    EXPECT_TRUE(ReadAll(target) == existing) << "the existing file, byte for byte";
    EXPECT_FALSE(Exists(target + backup::kPartSuffix));
    EXPECT_TRUE(Enabled(IDC_RESTORE) && Enabled(IDC_BACK) && !Enabled(IDC_CANCEL));
    run.Click(IDC_BACK);
    EXPECT_EQ(run.Result(), 101);
}

TEST_F(RestorePage, NoKeepsTheFileAndReplaceOfAReadOnlyFileKeepsItReadOnly) {
    const std::string target = kLocal + "\\Data\\a.pst";
    Put(target, "mine");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    TestPage p;
    setup_test::ScreenRun run([&p] { return p.DoModal(); });
    ASSERT_NO_FATAL_FAILURE(OpenData(run, p));
    ASSERT_NO_FATAL_FAILURE(SelectFile(p, "a.pst"));

    run.Click(IDC_RESTORE);
    uidriver::Screen question = Over();
    ASSERT_EQ(question.dialogId, IDD_REPLACE_FILE);
    EXPECT_EQ(uidriver::ControlText(question.hwnd, IDC_REPLACE_OLD).substr(0, 13), "Size: 4 Bytes");
    uidriver::Click(question.hwnd, IDC_LEFT_BUTTON);
    ASSERT_TRUE(uidriver::WaitGone(question.hwnd, kDeadlineMs));
    EXPECT_EQ(ReadAll(target), "mine");
    EXPECT_TRUE(Enabled(IDC_RESTORE) && !Enabled(IDC_CANCEL)) << "nothing started";

    run.Click(IDC_RESTORE);
    question = Over();
    ASSERT_EQ(question.dialogId, IDD_REPLACE_FILE);
    uidriver::Click(question.hwnd, IDC_RIGHT_BUTTON);
    ASSERT_TRUE(p.Wait(TestPage::Ended));
    EXPECT_EQ(p.error.load(), 0u);
    EXPECT_EQ(ReadAll(target), "current a");
    EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Exists(target + backup::kPartSuffix));
    run.Key("Alt+F4");
    EXPECT_EQ(run.Result(), 100);
}

TEST_F(RestorePage, AFolderThatCannotBeMadeFailsTheRestore) {
    // there is no drive Q: in the prefix, so the target's folder cannot be made
    const std::string dir = kComputer + "\\Q\\x";
    Put(dir + "\\a.pst", "q");
    ASSERT_TRUE(Exists(dir + "\\a.pst"));
    std::atomic<bool> cancel{false};
    const DWORD error = backup::RestoreFile(dir, "a.pst", 1, nullptr, &cancel, "", true);
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(Exists("Q:\\x\\a.pst.tovpart"));
}

TEST_F(RestorePage, WithoutADocumentsFolderTheTemporaryChoiceIsOff) {
    TestPage p("");
    setup_test::ScreenRun run([&p] { return p.DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_RESTORE_FILES));
    page = run.screen.hwnd;
    EXPECT_TRUE(run.Checked(IDC_RESTORE_ORIGINAL));
    EXPECT_FALSE(Enabled(IDC_RESTORE_TEMPORARY));
    EXPECT_FALSE(run.Visible(IDC_RESTORE_TEMP_FOLDER));
    ASSERT_TRUE(p.Wait(TestPage::Listed));
    run.Key("Alt+F4");
    EXPECT_EQ(run.Result(), 100);
}

TEST(RestoreType, TheSecondChoiceTurnsNextIntoOpenAndTheFirstGoesOn) {
    struct Case {
        std::vector<int> clicks;
        const char* label;
        int press;
        int result;
    };
    const Case cases[] = {
        {{}, "Next", IDC_NEXT, 102},
        {{IDC_RESTORE_RECENT}, "Open", IDC_BACK, 101},
        {{IDC_RESTORE_RECENT, IDC_RESTORE_VERSION}, "Next", IDC_NEXT, 102},
    };
    for (const Case& c : cases) {
        backup::RestoreTypeScreen type(kShareRoot);
        setup_test::ScreenRun run([&type] { return type.DoModal(); });
        ASSERT_TRUE(run.WaitShown(IDD_RESTORE_TYPE));
        EXPECT_TRUE(run.Checked(IDC_RESTORE_VERSION));
        for (int id : c.clicks)
            SendMessageA(GetDlgItem(run.screen.hwnd, id), BM_CLICK, 0, 0);
        EXPECT_EQ(run.Text(IDC_NEXT_LABEL), c.label);
        run.Click(c.press);
        EXPECT_EQ(run.Result(), c.result);
    }
}

} // namespace
