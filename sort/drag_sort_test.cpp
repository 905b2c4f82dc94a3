// Where the settings screen finds the sorter.
#include "sort/drag_sort.h"

#include <gtest/gtest.h>

namespace dragsort {
namespace {

TEST(DragSort, SorterLiesInTheInstallDirectoryOrAtTheDefaultPath) {
    const SorterLocation installed = LocateSorter("D:\\Apps\\Lumora\\");
    EXPECT_EQ(installed.path, "D:\\Apps\\Lumora\\tovsort.exe");
    EXPECT_FALSE(installed.unknownDirectory);
    EXPECT_EQ(LocateSorter("D:\\Apps\\Lumora").path, "D:\\Apps\\Lumora\\tovsort.exe");
    const SorterLocation unknown = LocateSorter("");
    EXPECT_EQ(unknown.path, "C:\\Program Files\\Kelvox\\Kelvox Lumora\\tovsort.exe");
    EXPECT_TRUE(unknown.unknownDirectory);
}

} // namespace
} // namespace dragsort
