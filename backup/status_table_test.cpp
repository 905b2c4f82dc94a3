// The status table on blocks as the appliance sends them: walk, order, pages, totals and texts.
#include "backup/status_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace backup {
namespace {

struct Rec {
    uint16_t used;
    char unit;
    std::string date;
    char state;
    std::string name;
    std::string end = "\n";
};

std::string Record(const Rec& r) {
    std::string date = r.date;
    date.resize(8, '\0');
    std::string s;
    s += static_cast<char>(r.used & 0xFF);
    s += static_cast<char>(r.used >> 8);
    s += r.unit;
    s += date;
    s += r.state;
    return s + r.name + r.end;
}

std::string Block(uint16_t capacity, const std::vector<Rec>& records, int count = -1) {
    const uint16_t n = static_cast<uint16_t>(count < 0 ? records.size() : count);
    std::string b;
    b += static_cast<char>(n & 0xFF);
    b += static_cast<char>(n >> 8);
    b += static_cast<char>(capacity & 0xFF);
    b += static_cast<char>(capacity >> 8);
    b += '\n';
    for (const Rec& r : records)
        b += Record(r);
    return b;
}

StatusList Read(const std::string& block) {
    StatusList list;
    EXPECT_TRUE(
        ReadStatusBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(), &list));
    return list;
}

std::vector<std::string> Names(const StatusList& list) {
    std::vector<std::string> names;
    for (const UserStatus& u : list.users)
        names.push_back(u.name);
    return names;
}

TEST(StatusTable, SixUsersGivePagesOfFiveAndAScrollRangeOfOne) {
    std::vector<Rec> recs;
    for (const char* n : {"u6", "u2", "u4", "u1", "u5", "u3"})
        recs.push_back({1, 'M', "03142025", '0', n});
    StatusList list = Read(Block(250, recs));
    SortByName(list.users);

    StatusPage page = LayOutPage(&list, 0, false);
    EXPECT_EQ(page.kind, PageKind::Users);
    EXPECT_TRUE(page.scrollShown);
    EXPECT_EQ(page.scrollMax, 1);
    EXPECT_EQ(page.rows[0].name, "u1");
    EXPECT_EQ(page.rows[4].name, "u5");

    // the scroll bar at its end: users two to six; a position past the last page is held there
    for (int position : {1, 3}) {
        page = LayOutPage(&list, position, true);
        EXPECT_EQ(page.first, 1);
        EXPECT_EQ(page.rows[0].name, "u2");
        EXPECT_EQ(page.rows[4].name, "u6");
    }
    // a new page without keep, or past the users, starts again at the first
    EXPECT_EQ(LayOutPage(&list, 1, false).first, 0);
    EXPECT_EQ(LayOutPage(&list, 6, true).first, 0);

    // five users or fewer: no scroll bar, and rows after the last stay empty
    list.users.resize(3);
    page = LayOutPage(&list, 0, false);
    EXPECT_FALSE(page.scrollShown);
    EXPECT_EQ(page.scrollMax, 0);
    EXPECT_TRUE(page.rows[2].filled);
    EXPECT_FALSE(page.rows[3].filled);
}

TEST(StatusTable, NamesSortByteByByteWithCapitalsFirst) {
    StatusList list = Read(Block(1, {{1, 'M', "", '0', "bob"},
                                     {1, 'M', "", '0', "Anne"},
                                     {1, 'M', "", '0', "carl"},
                                     {1, 'M', "", '0', "Bo"}}));
    SortByName(list.users);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Anne", "Bo", "bob", "carl"}));
}

TEST(StatusTable, RowTextsAndStateIcons) {
    struct Case {
        Rec rec;
        const char* space;
        const char* date;
        int icon;
    } cases[] = {
        {{0, 'M', "03142025", '0', "a"}, "0 MB", "03/14/2025", ICON_STATE_COMPLETE},
        {{0, 'G', "03142025", '1', "a"}, "0 MB", "03/14/2025", ICON_STATE_FAILED},
        {{3, 'G', "01022006", '2', "a"}, "3 GB", "01/02/2006", ICON_STATE_INCOMPLETE},
        {{12, 'M', "01022006", '3', "a"}, "12 MB", "01/02/2006", ICON_STATE_FAILED},
        {{512, 'K', "01022006", '7', "a"}, "512 KB", "01/02/2006", 0},
        // a date cut short by a zero byte: no date and no icon
        {{65535, 'G', "0314", '0', "a"}, "65535 GB", "", 0},
    };
    for (const Case& c : cases) {
        StatusList list = Read(Block(100, {c.rec}));
        const StatusRow& row = LayOutPage(&list, 0, false).rows[0];
        EXPECT_EQ(row.space, c.space) << c.rec.used << c.rec.unit;
        EXPECT_EQ(row.date, c.date) << c.rec.date;
        EXPECT_EQ(row.icon, c.icon) << c.rec.state;
    }
    EXPECT_EQ(StateStringId('3'), STR_STATUS_FAILED);
    EXPECT_EQ(StateStringId('2'), STR_STATUS_INCOMPLETE);
}

TEST(StatusTable, TotalsAndFreeSpace) {
    struct Case {
        uint16_t capacity;
        std::vector<Rec> recs;
        bool shown;
        const char* used;
        bool freeShown;
        const char* free;
        bool low;
    } cases[] = {
        {250, {{2048, 'M', "", '0', "a"}}, true, "2 GB", true, "248.00", false},
        {250, {{500, 'M', "", '0', "a"}}, true, "500 MB", true, "249.50", false},
        // 3 "G" counts 3072 MB, the kilobytes their whole megabytes
        {250,
         {{3, 'G', "", '0', "a"}, {2048, 'K', "", '0', "b"}},
         true,
         "3 GB",
         true,
         "247.00",
         false},
        {250, {{1024, 'M', "", '0', "a"}}, true, "1 GB", true, "249.00", false},
        {250, {{512, 'K', "", '0', "a"}}, true, "512 KB", true, "250.00", false},
        // 96 % used leaves 4 %: red; 94.8 % leaves 6 %: grey
        {250, {{240, 'G', "", '0', "a"}}, true, "240 GB", true, "10.00", true},
        {250, {{237, 'G', "", '0', "a"}}, true, "237 GB", true, "13.00", false},
        {1, {{1000, 'M', "", '0', "a"}}, true, "1000 MB", true, "0.00", true},
        // no capacity: the used text alone
        {0, {{500, 'M', "", '0', "a"}}, true, "500 MB", false, "", false},
        {250, {{0, 'M', "", '0', "a"}, {7, 'X', "", '0', "b"}}, false, "", false, "", false},
    };
    for (const Case& c : cases) {
        const StatusTotals t = ComputeTotals(Read(Block(c.capacity, c.recs)));
        EXPECT_EQ(t.shown, c.shown) << c.used;
        EXPECT_EQ(t.used, c.used);
        EXPECT_EQ(t.freeShown, c.freeShown) << c.used;
        EXPECT_EQ(t.freeNumber, c.free) << c.used;
        EXPECT_EQ(t.low, c.low) << c.used;
    }
    EXPECT_EQ(FillPercentOne("%1 GBs free space", "12.50"), "12.50 GBs free space");
}

TEST(StatusTable, BlocksWithoutUsersAndWithout) {
    StatusList list = Read(Block(250, {}));
    EXPECT_EQ(LayOutPage(&list, 0, false).kind, PageKind::NoUsers);
    EXPECT_EQ(LayOutPage(nullptr, 0, false).kind, PageKind::NoBlock);
    EXPECT_FALSE(ReadStatusBlock(nullptr, 0, &list));
    EXPECT_FALSE(ReadStatusBlock(reinterpret_cast<const uint8_t*>("\1\0\1\0"), 4, &list));
}

TEST(StatusTable, NamesOfThirtyTwoCharactersAndRecordsCutShort) {
    const std::string n32(32, 'n');
    // without a newline the next record starts right after the 32nd character; a newline
    // right after them belongs to the record
    StatusList list = Read(
        Block(9, {{1, 'M', "", '0', n32, ""}, {2, 'M', "", '0', n32}, {3, 'M', "", '0', "last"}}));
    ASSERT_EQ(list.users.size(), 3u);
    EXPECT_EQ(list.users[0].name, n32);
    EXPECT_EQ(list.users[1].used, 2);
    EXPECT_EQ(list.users[1].name, n32);
    EXPECT_EQ(list.users[2].used, 3);
    EXPECT_EQ(list.users[2].name, "last");
    EXPECT_EQ(list.capacity, 9);

    // more records counted than the block holds: a name cut by the end of the block ends
    // there, a record without its 12 fixed bytes is not read
    std::string block = Block(9, {{1, 'M', "03142025", '0', "anne"}, {2, 'M', "", '0', "bo"}}, 3);
    list = Read(block.substr(0, block.size() - 2));
    ASSERT_EQ(list.users.size(), 2u);
    EXPECT_EQ(list.users[1].name, "b");
    list = Read(block.substr(0, 5 + 17 + 11));
    EXPECT_EQ(Names(list), std::vector<std::string>{"anne"});
}

TEST(StatusTable, DoubleClickHitsTheDateColumnWithinTenPixels) {
    CellBox cells[kStatusPageRows];
    for (int r = 0; r < kStatusPageRows; ++r)
        cells[r] = {390, 146 + 22 * r, 500, 164 + 22 * r};
    EXPECT_EQ(DateRowAt(445, 150, cells), 1);
    EXPECT_EQ(DateRowAt(435, 236, cells), 5);
    EXPECT_EQ(DateRowAt(455, 163, cells), 1);
    EXPECT_EQ(DateRowAt(456, 150, cells), 0);
    EXPECT_EQ(DateRowAt(434, 150, cells), 0);
    // between the rows and above the first
    EXPECT_EQ(DateRowAt(445, 165, cells), 0);
    EXPECT_EQ(DateRowAt(445, 145, cells), 0);
}

TEST(StatusTable, AddressLogPathAndViewerFailures) {
    EXPECT_EQ(StatusAddressFromHeading("NAS1 (198.51.100.20)"), "198.51.100.20");
    EXPECT_EQ(StatusAddressFromHeading("(a(b)c)"), "a(bc");
    EXPECT_EQ(StatusAddressFromHeading(""), "");
    EXPECT_EQ(BackupLogPath("C:\\Data\\Kelvox\\TOV\\", "Anne"),
              "C:\\Data\\Kelvox\\TOV\\log\\kelback_Anne.log");
    for (intptr_t code : {2, 3})
        EXPECT_EQ(ViewerFailureStringId(code), STR_STATUS_NO_LOG) << code;
    for (intptr_t code : {8, 26, 27, 28, 29, 30, 31, 32})
        EXPECT_EQ(ViewerFailureStringId(code), STR_STATUS_VIEWER_FAILED) << code;
    for (intptr_t code : {0, 5, 33, 42})
        EXPECT_EQ(ViewerFailureStringId(code), 0) << code;
}

} // namespace
} // namespace backup
