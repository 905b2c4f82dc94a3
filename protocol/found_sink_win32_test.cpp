// WM_APPLIANCE_FOUND under Windows: the posted copy reaches the window and belongs to it.
#include "protocol/found_sink_win32.h"

#include <gtest/gtest.h>

namespace {

HWND MakeMessageWindow() {
    return CreateWindowExA(0, "STATIC", "found", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(FoundSinkTest, PostsACopyTheWindowOwns) {
    EXPECT_EQ(WM_APPLIANCE_FOUND, 0x0464u);
    HWND window = MakeMessageWindow();
    ASSERT_NE(window, nullptr);
    FoundMessageSink sink(window);
    ApplianceRecord record{"NAS1", "198.51.100.20", "Shared Storage drive"};
    ApplianceSink& asSink = sink;
    asSink.ApplianceFound(record);
    record.hostName = "changed after posting";

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_APPLIANCE_FOUND, WM_APPLIANCE_FOUND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    std::unique_ptr<ApplianceRecord> copy = TakeFoundRecord(msg.lParam);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->hostName, "NAS1");
    EXPECT_EQ(copy->ipAddress, "198.51.100.20");
    EXPECT_EQ(copy->detail, "Shared Storage drive");
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_APPLIANCE_FOUND, WM_APPLIANCE_FOUND, PM_REMOVE));
    DestroyWindow(window);
}

TEST(FoundSinkTest, ACopyThatCannotBePostedIsNotHandedOver) {
    HWND window = MakeMessageWindow();
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    FoundMessageSink sink(window);
    EXPECT_FALSE(sink.Post(ApplianceRecord{"NAS1", "198.51.100.20", ""}));
}

TEST(FoundSinkTest, PostsFromAnotherThreadArriveInOrder) {
    HWND window = MakeMessageWindow();
    ASSERT_NE(window, nullptr);
    FoundMessageSink sink(window);
    std::thread worker([&sink] {
        for (int i = 0; i < 20; ++i)
            sink.ApplianceFound(ApplianceRecord{"NAS" + std::to_string(i), "198.51.100.20", ""});
    });
    worker.join();
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(PeekMessageA(&msg, window, WM_APPLIANCE_FOUND, WM_APPLIANCE_FOUND, PM_REMOVE));
        EXPECT_EQ(TakeFoundRecord(msg.lParam)->hostName, "NAS" + std::to_string(i));
    }
    DestroyWindow(window);
}

} // namespace
