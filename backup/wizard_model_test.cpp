// Tests of the backup wizard's decisions: the folder tree's states and selection, the lists of
// drives and folders, the schedule and destination lines and the picker's format.
#include "backup/folder_tree.h"
#include "backup/memory_platform.h"
#include "backup/wizard_texts.h"

#include <gtest/gtest.h>

#include <sstream>

namespace backup {
namespace {

using S = CheckState;

// A tree over C:\ with Data (Mail, Work), Music and Temp loaded, as the page shows it once the
// user has opened C:\ and C:\Data. Steps are clicks ("+C:\Data" toggles C:\Data).
struct Built {
    FolderTree tree;
    int c, data, mail, work, music, temp;
};

void Build(Built* b) {
    b->c = b->tree.AddDrive("C:\\");
    b->data = b->tree.AddFolder(b->c, "Data");
    b->music = b->tree.AddFolder(b->c, "Music");
    b->temp = b->tree.AddFolder(b->c, "Temp");
    b->mail = b->tree.AddFolder(b->data, "Mail");
    b->work = b->tree.AddFolder(b->data, "Work");
}

std::string Written(const std::vector<ConfiguredSource>& sel) {
    std::ostringstream out;
    for (const ConfiguredSource& s : sel)
        out << s.source << '=' << s.flag << ';';
    return out.str();
}

struct ClickCase {
    const char* name;
    std::vector<const char*> configured; // "source=flag"
    std::vector<const char*> clicks;     // item names: C, Data, Mail, Work, Music, Temp
    std::vector<S> states;               // C, Data, Mail, Work, Music, Temp afterwards
    const char* written;
};

int Id(const Built& b, const std::string& name) {
    if (name == "C")
        return b.c;
    if (name == "Data")
        return b.data;
    if (name == "Mail")
        return b.mail;
    if (name == "Work")
        return b.work;
    if (name == "Music")
        return b.music;
    return b.temp;
}

std::vector<ConfiguredSource> Parse(const std::vector<const char*>& lines) {
    std::vector<ConfiguredSource> out;
    for (const std::string l : lines) {
        const size_t eq = l.find('=');
        out.push_back({l.substr(0, eq), std::stoi(l.substr(eq + 1))});
    }
    return out;
}

class ClickTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ClickTest, StatesAndSelection) {
    const ClickCase& k = GetParam();
    Built b{FolderTree(Parse(k.configured)), 0, 0, 0, 0, 0, 0};
    Build(&b);
    for (const std::string click : k.clicks)
        b.tree.Toggle(Id(b, click));
    const int order[] = {b.c, b.data, b.mail, b.work, b.music, b.temp};
    for (size_t i = 0; i < k.states.size(); ++i)
        EXPECT_EQ(b.tree.At(order[i]).state, k.states[i]) << b.tree.At(order[i]).path;
    EXPECT_EQ(Written(b.tree.Selection()), k.written);
}

const ClickCase kClicks[] = {
    {"NothingChosen", {}, {}, {S::Unchecked, S::Unchecked, S::Unchecked, S::Unchecked}, ""},
    {"CheckTheDrive",
     {},
     {"C"},
     {S::Checked, S::Checked, S::Checked, S::Checked, S::Checked},
     "C:\\=0;"},
    {"CheckTheDriveUncheckAFolder",
     {},
     {"C", "Music"},
     {S::Partly, S::Checked, S::Checked, S::Checked, S::Unchecked, S::Checked},
     "C:\\=0;C:\\Music=1;"},
    {"UncheckDeeperBelowACheckedDrive",
     {},
     {"C", "Mail"},
     {S::Partly, S::Partly, S::Unchecked, S::Checked, S::Checked},
     "C:\\=0;C:\\Data\\Mail=1;"},
    {"CheckAFolderMakesItsAncestorsPartly",
     {},
     {"Mail"},
     {S::Partly, S::Partly, S::Checked, S::Unchecked, S::Unchecked},
     "C:\\Data\\Mail=0;"},
    {"UncheckWithACheckedSibling",
     {},
     {"Mail", "Work", "Mail"},
     {S::Partly, S::Partly, S::Unchecked, S::Checked},
     "C:\\Data\\Work=0;"},
    {"UncheckTheLast",
     {},
     {"Mail", "Mail"},
     {S::Unchecked, S::Unchecked, S::Unchecked, S::Unchecked},
     ""},
    {"APartlySelectedItemBecomesUnchecked",
     {},
     {"Mail", "Data"},
     {S::Unchecked, S::Unchecked, S::Unchecked, S::Unchecked},
     ""},
    {"ReCheckingAnExcludedFolder",
     {},
     {"C", "Music", "Music"},
     {S::Partly, S::Checked, S::Checked, S::Checked, S::Checked},
     "C:\\=0;"},
    {"AConfiguredExclusionShowsAndIsWrittenAgain",
     {"C:\\=0", "C:\\Temp=1"},
     {},
     {S::Partly, S::Checked, S::Checked, S::Checked, S::Checked, S::Unchecked},
     "C:\\=0;C:\\Temp=1;"},
    {"AConfiguredFolderBelowAnUncheckedDrive",
     {"C:\\Data\\Work=0"},
     {},
     {S::Partly, S::Partly, S::Unchecked, S::Checked, S::Unchecked},
     "C:\\Data\\Work=0;"},
    {"AnotherFolderChecked",
     {"C:\\Data\\Work=0"},
     {"Music"},
     {S::Partly, S::Partly, S::Unchecked, S::Checked, S::Checked},
     "C:\\Data\\Work=0;C:\\Music=0;"},
    // C:\Musical is no folder of the tree: it is not below Music, and it goes
    {"ConfiguredSourcesBelowANeverOpenedPartlyFolder",
     {"C:\\Music\\Live=0", "C:\\Music\\Live\\Bad=1", "C:\\Musical=0"},
     {},
     {S::Partly, S::Unchecked, S::Unchecked, S::Unchecked, S::Partly},
     "C:\\Music\\Live=0;C:\\Music\\Live\\Bad=1;"},
    {"AClickDecidesWhatLayBelowUnseen",
     {"C:\\Music\\Live=0"},
     {"Music", "Music"},
     {S::Partly, S::Unchecked, S::Unchecked, S::Unchecked, S::Checked},
     "C:\\Music=0;"},
};

INSTANTIATE_TEST_SUITE_P(FolderTree, ClickTest, ::testing::ValuesIn(kClicks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FolderTreeTest, ChildrenLoadedLaterFollowTheirParent) {
    FolderTree tree(Parse({"C:\\Data=0", "C:\\Data\\Old=1"}));
    const int c = tree.AddDrive("C:\\");
    const int data = tree.AddFolder(c, "Data");
    EXPECT_EQ(tree.At(data).state, S::Partly) << "included, with an exclusion below";
    EXPECT_TRUE(tree.NeverExpanded(data));
    EXPECT_EQ(tree.At(c).state, S::Partly);
    EXPECT_FALSE(tree.At(c).included);
    const int fresh = tree.AddFolder(data, "New");
    const int old = tree.AddFolder(data, "Old");
    EXPECT_FALSE(tree.NeverExpanded(data));
    EXPECT_EQ(tree.At(fresh).state, S::Checked) << "a checked parent's new child";
    EXPECT_EQ(tree.At(old).state, S::Unchecked) << "an excluded child under a checked parent";
    EXPECT_EQ(Written(tree.Selection()), "C:\\Data=0;C:\\Data\\Old=1;");

    // the user's click on Data decides its later children as well
    tree.Toggle(data);
    tree.Toggle(data);
    const int later = tree.AddFolder(fresh, "Later");
    EXPECT_EQ(tree.At(later).state, S::Checked);
    EXPECT_EQ(tree.At(old).state, S::Checked);
    EXPECT_EQ(Written(tree.Selection()), "C:\\Data=0;");
}

TEST(FolderTreeTest, ToggleReportsTheChangedItems) {
    FolderTree tree;
    const int c = tree.AddDrive("C:\\");
    const int a = tree.AddFolder(c, "A");
    const int b = tree.AddFolder(c, "B");
    EXPECT_EQ(tree.Toggle(c), (std::vector<int>{c, a, b}));
    EXPECT_EQ(tree.Toggle(a), (std::vector<int>{a, c}));
    EXPECT_EQ(tree.Toggle(a), (std::vector<int>{a})) << "C:\\ was partly already";
}

TEST(FolderTreeTest, PathsOfDrivesDocumentsAndFolders) {
    FolderTree tree(Parse({"C:\\Users\\Anne\\My Documents\\Mail=0"}));
    const int docs = tree.AddDocuments("C:\\Users\\Anne\\My Documents");
    const int c = tree.AddDrive("C:\\");
    EXPECT_EQ(tree.At(docs).text, "My Documents");
    EXPECT_EQ(tree.At(docs).state, S::Partly);
    const int mail = tree.AddFolder(docs, "Mail");
    const int deep = tree.AddFolder(tree.AddFolder(c, "Data"), "x y");
    EXPECT_EQ(tree.ItemPath(mail), "C:\\Users\\Anne\\My Documents\\Mail");
    EXPECT_EQ(tree.ItemPath(deep), "C:\\Data\\x y");
    EXPECT_EQ(tree.ItemPath(c), "C:\\");
    EXPECT_EQ(tree.At(mail).state, S::Checked);
    EXPECT_EQ(tree.Child(FolderTree::kRoot, "C:\\"), c);
    EXPECT_EQ(tree.Child(c, "Nothing"), -1);

    FolderTree checked(Parse({"C:\\Users\\Anne\\My Documents=0"}));
    EXPECT_EQ(checked.At(checked.AddDocuments("C:\\Users\\Anne\\My Documents")).state, S::Checked);
}

TEST(FolderTreeTest, ListedDrivesAndFolders) {
    struct {
        const char* root;
        unsigned type;
        bool listed;
    } drives[] = {
        {"C:\\", kDriveFixed, true},      {"E:\\", kDriveRemovable, true},
        {"A:\\", kDriveRemovable, false}, {"B:\\", kDriveFixed, false},
        {"D:\\", kDriveCdRom, false},     {"N:\\", kDriveRemote, false},
        {"R:\\", kDriveRamDisk, false},   {"Z:\\", 0, true},
    };
    for (const auto& d : drives)
        EXPECT_EQ(ListsDrive(d.root, d.type), d.listed) << d.root;

    struct {
        const char* name;
        uint32_t attributes;
        bool listed;
    } folders[] = {
        {"Data", 0x10, true}, {"Hidden", 0x12, true}, {"RECYCLER", 0x16, false},
        {"Sys", 0x14, true},  {"Arch", 0x30, true},   {"file.txt", 0x20, false},
        {".", 0x10, false},   {"..", 0x10, false},    {".git", 0x10, false},
    };
    for (const auto& f : folders)
        EXPECT_EQ(ListsFolder(f.name, f.attributes), f.listed) << f.name;

    const char strings[] = "C:\\\0D:\\\0Z:\\\0";
    EXPECT_EQ(SplitDriveStrings(strings, sizeof strings),
              (std::vector<std::string>{"C:\\", "D:\\", "Z:\\"}));
    EXPECT_EQ(LastComponent("C:\\Users\\Anne\\My Documents\\"), "My Documents");
}

TEST(FolderTreeTest, NextKeepsOtherSharesByteForByte) {
    MemoryPlatform p;
    p.settings["backupFolder"] = "\\My Backup";
    const std::string path = p.folder + kBackupConfigName;
    const std::string other = "D:\\Keep\t\\\\T\\Q\\My Backup\\OFFICE1\\D\\Keep\t1\r\n";
    p.files[path].bytes = other + "C:\\Old\t\\\\S\\P\\My Backup\\OFFICE1\\C\\Old\r\n";
    ShareBackupConfig config("\\\\S\\P", &p);
    FolderTree tree(ConfiguredSourcesOf(config));
    const int c = tree.AddDrive("C:\\");
    const int old = tree.AddFolder(c, "Old");
    tree.AddFolder(c, "New");
    EXPECT_EQ(tree.At(old).state, S::Checked);
    tree.Toggle(c); // partly: unchecked, then checked
    tree.Toggle(c);
    tree.Toggle(old);
    ASSERT_TRUE(WriteSelection(config, tree));
    EXPECT_EQ(p.Content(path), other + "C:\\\t\\\\S\\P\\My Backup\\OFFICE1\\C\\\r\n"
                                       "C:\\Old\t\\\\S\\P\\My Backup\\OFFICE1\\C\\Old\t1\r\n");

    p.failReplace = true;
    ShareBackupConfig again("\\\\S\\P", &p);
    const std::string before = p.Content(path);
    EXPECT_FALSE(WriteSelection(again, tree));
    EXPECT_EQ(p.Content(path), before);
}

TEST(WizardTextsTest, ScheduleLines) {
    DayNames names{{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}};
    struct {
        int32_t days, hour, minute;
        const char* line;
    } cases[] = {
        {34, 22, 0, "Monday, Friday at 10:00 PM"},
        {127, 22, 0, "Daily at 10:00 PM"},
        {0, 22, 0, "Never"},
        {1, 0, 5, "Sunday at 12:05 AM"},
        {65, 12, 30, "Saturday, Sunday at 12:30 PM"},
        {2, 11, 59, "Monday at 11:59 AM"},
        {126, 23, 7, "Monday, Tuesday, Wednesday, Thursday, Friday, Saturday at 11:07 PM"},
        {128, 1, 0, "Never"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(ScheduleLine(k.days, k.hour, k.minute, names, "Daily", "at", "Never"), k.line)
            << k.days;
    EXPECT_EQ(DayBit(0) | DayBit(4), 34) << "Monday and Friday";
    EXPECT_EQ(DayBit(6), 1) << "Sunday is bit 0";
    EXPECT_EQ(ScheduleLineBeforeFill("Daily", "at"), "Daily at 10:00 PM");
    EXPECT_EQ(DestinationLine("Z:", "\\\\NAS1\\anne", "\\My Backup"),
              "(Z:) \\\\NAS1\\anne\\My Backup");
}

TEST(WizardTextsTest, PickerFormatByLocale) {
    struct {
        uint32_t locale;
        const char* format;
    } cases[] = {{1033, "h:mm tt"}, {2057, "h:mm tt"}, {13321, "h:mm tt"}, {7177, "h:mm tt"},
                 {1031, "HH:mm"},   {1036, "HH:mm"},   {14345, "HH:mm"},   {1041, "HH:mm"},
                 {0, "HH:mm"},      {1032, "HH:mm"},   {12298, "HH:mm"}};
    for (const auto& k : cases)
        EXPECT_STREQ(PickerFormat(k.locale), k.format) << k.locale;
}

} // namespace
} // namespace backup
