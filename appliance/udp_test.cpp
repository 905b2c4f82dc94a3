// The simulator's UDP side: where it may serve, and the discovery answers its faults shape.
#include "appliance/faults.h"
#include "appliance/request.h"
#include "appliance/udp.h"

#include <gtest/gtest.h>

namespace appliance {
namespace {

TEST(ApplianceUdpTest, ServesOnlyOnLabAddressesThatItsNamespaceHolds) {
    for (const char* lab : {"198.51.100.0", "198.51.100.255", "203.0.113.20"})
        EXPECT_TRUE(IsLabAddress(lab)) << lab;
    for (const char* other :
         {"127.0.0.1", "198.51.101.20", "203.0.112.20", "10.0.0.1", "", "198.51.100", "garbage"})
        EXPECT_FALSE(IsLabAddress(other)) << other;

    Options options;
    std::string error;
    options.listen = "127.0.0.1";
    EXPECT_FALSE(StartUdpService(options, &error));
    EXPECT_NE(error.find("lab"), std::string::npos) << error;
    // Outside the lab no interface holds a lab address: nothing is opened, nothing sent.
    options.listen = "198.51.100.77";
    error.clear();
    EXPECT_FALSE(StartUdpService(options, &error));
    EXPECT_NE(error.find("no interface holds 198.51.100.77"), std::string::npos) << error;
}

TEST(ApplianceUdpTest, MaskPrefixLengths) {
    EXPECT_EQ(MaskPrefixLength("255.255.255.0"), 24);
    EXPECT_EQ(MaskPrefixLength("255.255.254.0"), 23);
    EXPECT_EQ(MaskPrefixLength("255.255.255.255"), 32);
    EXPECT_EQ(MaskPrefixLength("0.0.0.0"), 0);
    EXPECT_EQ(MaskPrefixLength("255.0.255.0"), -1);
    EXPECT_EQ(MaskPrefixLength("mask"), -1);
}

std::string Dsrt(uint32_t value, const std::string& body) {
    return std::string("dsrt ") + LE32(value) + "\n" + body;
}

TEST(ApplianceUdpTest, DiscoveryAnswersFollowTheFaults) {
    auto answers = [](const std::vector<std::string>& lines) {
        std::vector<Fault> faults;
        for (const std::string& line : lines) {
            Fault f;
            std::string error;
            EXPECT_TRUE(ParseFault(line, &f, &error)) << line << ": " << error;
            faults.push_back(f);
        }
        Plan plan = MakePlan(faults, "dscr", "base");
        EXPECT_FALSE(plan.replaced);
        return DiscoveryAnswers("NAS", "198.51.100.20", "D", plan);
    };
    EXPECT_EQ(answers({}), (std::vector<std::string>{Dsrt(3, "NAS\n198.51.100.20\nD\n")}));
    EXPECT_EQ(answers({"dscr open"}), (std::vector<std::string>{Dsrt(3, "NAS\n198.51.100.20\nD")}));
    EXPECT_EQ(answers({"dscr value 7"}),
              (std::vector<std::string>{Dsrt(7, "NAS\n198.51.100.20\nD\n")}));
    EXPECT_EQ(answers({"dscr twice", "dscr cased"}),
              (std::vector<std::string>{
                  Dsrt(3, "NAS\n198.51.100.20\nD\n"), Dsrt(3, "NAS\n198.51.100.20\nD\n"),
                  Dsrt(3, "nas\n198.51.100.20\nD\n"), Dsrt(3, "nas\n198.51.100.20\nD\n")}));
    std::vector<std::string> many = answers({"dscr many 300"});
    ASSERT_EQ(many.size(), 300u);
    EXPECT_EQ(many.front(), Dsrt(3, "NAS-0001\n198.51.100.20\nD\n"));
    EXPECT_EQ(many.back(), Dsrt(3, "NAS-0300\n198.51.100.20\nD\n"));
    // Faults of another command leave the answer alone.
    EXPECT_EQ(answers({"ipcf twice"}).size(), 1u);

    Fault erro;
    std::string error;
    ASSERT_TRUE(ParseFault("dscr erro 0x20000007", &erro, &error));
    Plan replaced = MakePlan({erro}, "dscr", "base");
    EXPECT_TRUE(replaced.replaced);
    EXPECT_EQ(replaced.reply, "erro " + LE32(0x20000007) + "\n");
}

} // namespace
} // namespace appliance
