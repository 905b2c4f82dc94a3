// The simulator's "gub1" answer built from its shares: space used and the engine's state files.
#include "appliance/backup_status.h"
#include "appliance/state.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace appliance {
namespace {

class StatusFromState : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tov-status-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::string error;
        ASSERT_TRUE(StateFolder(dir).Prepare(&error)) << error;
        Write("accounts.tsv", "anne\tpw\t1\nbob\t\t0\ncarl\t\t0\n");
        Write("shares.tsv", "anne\tanne\t\nbob\tbob\t\nPublic\tguest\t\n");
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    void Write(const std::string& name, const std::string& text) {
        std::string path = dir + "/" + name;
        for (size_t slash = path.find('/', dir.size() + 1); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            mkdir(path.substr(0, slash).c_str(), 0777);
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string Gub1() {
        Request r;
        r.word = "gub1";
        return StateFolder(dir).Answer(r);
    }

    std::string dir;
};

std::string Record(const std::string& fixed, const std::string& name) {
    return fixed + name + "\n";
}

TEST_F(StatusFromState, OneRecordPerAccountWithAShare) {
    Write("settings", "capacity=250\n");
    Write("shares/anne/docs/a.bin", std::string(2 * 1024 * 1024, 'a'));
    Write("shares/anne/My Backup/PC1/C/b.bin", std::string(1024 * 1024, 'b'));
    // two computers back up into the share: the later date wins, a broken file counts as none
    Write("shares/anne/My Backup/PC1/backup-state.txt", "03142025\t2\r\n");
    Write("shares/anne/My Backup/PC2/backup-state.txt", "12312024\t0\r\n");
    Write("shares/anne/Mi copia/PC3/backup-state.txt", "0314202\t1\r\n");
    Write("shares/bob/note.txt", std::string(500, 'n'));

    const std::string reply = Gub1();
    const std::string anne = Record(std::string("\x03\x00M03142025", 11) + "2", "anne");
    const std::string bob = Record(std::string("\x00\x00K", 3) + std::string(9, '\0'), "bob");
    EXPECT_EQ(reply, std::string("gubr \x02\x00\xfa\x00\n", 10) + anne + bob);

    // the tests' own table still overrides the shares
    Write("backup-status.tsv", "7\tG\t0102\t1\tzed\n");
    EXPECT_EQ(Gub1(), std::string("gubr \x01\x00\xfa\x00\n", 10) +
                          Record(std::string("\x07\x00G0102\0\0\0\0", 11) + "1", "zed"));
}

TEST(BackupStatus, SpaceInTheLargestWholeUnit) {
    struct Case {
        uint64_t bytes;
        unsigned used;
        char unit;
    } cases[] = {
        {0, 0, 'K'},
        {1023, 0, 'K'},
        {1024, 1, 'K'},
        {3 * 1048576ull, 3, 'M'},
        {(1ull << 30) - 1, 1023, 'M'},
        {(3ull << 30) + 5, 3, 'G'},
        {70000ull << 30, 65535, 'G'},
    };
    for (const Case& c : cases) {
        unsigned used = 99;
        char unit = 0;
        SpaceInUnits(c.bytes, &used, &unit);
        EXPECT_EQ(used, c.used) << c.bytes;
        EXPECT_EQ(unit, c.unit) << c.bytes;
    }
}

TEST(BackupStatus, StateFileHoldsADateATabAndADigit) {
    BackupState s;
    ASSERT_TRUE(ParseBackupState("03142025\t3\r\n", &s));
    EXPECT_EQ(s.date, "03142025");
    EXPECT_EQ(s.state, '3');
    EXPECT_TRUE(ParseBackupState("01022006\t0\n", &s));
    for (const char* bad : {"", "0314202\t1\r\n", "03142025 1\r\n", "03142025\tx\r\n",
                            "0314202a\t1\r\n", "03142025\t12\r\n"})
        EXPECT_FALSE(ParseBackupState(bad, &s)) << bad;
}

} // namespace
} // namespace appliance
