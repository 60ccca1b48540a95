// A game that cannot start says why in a box the player can read and answer: in front
// of the title picture, which stays on top of other programs, under a real window manager.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "Desktop.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using desktop::Desktop;

const std::string kBoxTitle = "Quonk-Tirrel";

unsigned long Id(const std::string& text) { return text.empty() ? 0 : std::stoul(text, nullptr, 0); }

// The window the program shows under its own title: at a failed start, the error box.
unsigned long BoxId(const Desktop& desk) {
    std::istringstream lines(desk.Run({"wmctrl", "-l"}).output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, workspace, host, title;
        fields >> id >> workspace >> host;
        std::getline(fields, title);
        if (title == " " + kBoxTitle) return Id(id);
    }
    return 0;
}

// The centre of a window's client area on the screen.
std::pair<int, int> Centre(const Desktop& desk, unsigned long id) {
    std::istringstream info(desk.Run({"xwininfo", "-id", std::to_string(id)}).output);
    std::string line;
    int x = 0, y = 0, width = 0, height = 0;
    while (std::getline(info, line)) {
        std::sscanf(line.c_str(), " Absolute upper-left X: %d", &x);
        std::sscanf(line.c_str(), " Absolute upper-left Y: %d", &y);
        std::sscanf(line.c_str(), " Width: %d", &width);
        std::sscanf(line.c_str(), " Height: %d", &height);
    }
    return {x + width / 2, y + height / 2};
}

// The window and the frames the window manager has put round it, up to the root window.
std::vector<unsigned long> WithFrames(const Desktop& desk, unsigned long id) {
    std::vector<unsigned long> chain;
    for (unsigned long window = id; window != 0 && chain.size() < 8;) {
        chain.push_back(window);
        const std::string tree = desk.Run({"xwininfo", "-tree", "-id", std::to_string(window)}).output;
        const auto value = [&](const std::string& key) {
            const auto at = tree.find(key);
            return at == std::string::npos ? 0 : Id(tree.substr(at + key.size()));
        };
        const unsigned long parent = value("Parent window id: ");
        if (parent == value("Root window id: ")) break;
        window = parent;
    }
    return chain;
}

// The window a click at the pointer reaches, or the frame round it.
unsigned long WindowUnderPointer(const Desktop& desk) {
    const std::string out = desk.Run({"xdotool", "getmouselocation", "--shell"}).output;
    const auto at = out.find("WINDOW=");
    return at == std::string::npos ? 0 : Id(out.substr(at + 7));
}

TEST(StartupErrorOnDesktop, AFifoAsSettingsFileShowsTheErrorBoxInFrontAndReturnEndsTheGame) {
    Desktop desk;
    if (!desk.StartDisplay() || !desk.StartWindowManager()) GTEST_SKIP() << "no private desktop: " << desk.SkipReason();
    ASSERT_EQ(desk.Run({"xdotool", "version"}).code, 0) << "xdotool is not installed";

    // The settings are read before any picture or sound: the program alone is enough.
    const fs::path folder = fs::path(desk.Folder()) / "program";
    fs::create_directories(folder);
    fs::copy_file(fs::path(QUONK_PROGRAM_DIR) / "quonk-tirrel", folder / "quonk-tirrel");
    ASSERT_EQ(mkfifo((folder / "QT.Ini").c_str(), 0644), 0);
    auto env = desk.Environment();
    env["QT_QPA_PLATFORM"] = "xcb";
    desktop::Process program;
    std::string error;
    ASSERT_TRUE(program.Start({(folder / "quonk-tirrel").string()}, env, desk.Folder() + "/program.log", error))
        << error;

    unsigned long box = 0;
    ASSERT_TRUE(Desktop::WaitFor([&] { return (box = BoxId(desk)) != 0; }, 10s, 50ms)) << "no error box showed";
    const auto [x, y] = Centre(desk, box);
    desk.Run({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
    // The window manager stacks and focuses a new window a moment after it shows.
    unsigned long under = 0, active = 0;
    const bool inFront = Desktop::WaitFor([&] {
        under = WindowUnderPointer(desk);
        active = Id(desk.Run({"xdotool", "getactivewindow"}).output);
        const std::vector<unsigned long> framed = WithFrames(desk, box);
        return std::find(framed.begin(), framed.end(), under) != framed.end() && active == box;
    }, 3s, 50ms);
    EXPECT_TRUE(inFront) << "at the centre of the box " << box << " lies window " << under << "; the active window is "
                         << active;

    desk.Run({"xdotool", "key", "Return"});
    EXPECT_TRUE(Desktop::WaitFor([&] { return !program.Running(); }, 5s)) << "Return did not end the game";
}

} // namespace
