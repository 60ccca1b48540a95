#include "Desktop.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(DesktopHarness, StartsEachServerByItsIdAndStopsItAgain) {
    desktop::Desktop desk;
    const std::string recording = desk.Folder() + "/monitor.wav";
    if (!desk.StartSoundServer(recording) || !desk.StartDisplay() || !desk.StartWindowManager())
        GTEST_SKIP() << "no private desktop: " << desk.SkipReason();

    EXPECT_EQ(desk.Run({"xdotool", "getdisplaygeometry"}).output, "1280 1024\n");
    EXPECT_NE(desk.Run({"wmctrl", "-m"}).output.find("Openbox"), std::string::npos);
    EXPECT_NE(desk.Run({"pactl", "list", "short", "sinks"}).output.find("testsink"), std::string::npos);
    EXPECT_TRUE(desktop::Desktop::WaitFor([&] { return std::filesystem::file_size(recording) > 44; }, 5000ms));

    const std::string display = desk.Display();
    desk.StopAll();
    EXPECT_NE(desk.Run({"xdotool", "getdisplaygeometry"}, 2000ms).code, 0) << display << " still answers";
    EXPECT_NE(desk.Run({"pactl", "info"}, 2000ms).code, 0);
}

} // namespace
