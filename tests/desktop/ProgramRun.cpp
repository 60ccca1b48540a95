#include "ProgramRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace desktop {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kMainTitle = "Quonk-Tirrel";
constexpr int kSpeechTokens = 32;

// The board's place in the main window's client area, below the menu bar, in pixels:
// without the play-time bar the background picture (384 x 416) starts 111 from the
// left and 127 from the top, and the board of 11 x 12 cells of 32 lies centred on it.
constexpr int kClientHeight = 558;
constexpr int kBoardLeft = 127;
constexpr int kBoardTop = 143;
constexpr int kCell = 32;
constexpr int kColumns = 11;
constexpr int kRows = 12;
// A single ball's sound and the wait after it, during which the board takes no click.
constexpr auto kWrongBallMs = 600ms;

double MsOfDay(const std::string& clock) {
    int h = 0, m = 0;
    double s = 0;
    if (std::sscanf(clock.c_str(), "%d:%d:%lf", &h, &m, &s) != 3) return -1;
    return ((h * 60.0 + m) * 60.0 + s) * 1000.0;
}

// The colour at (x, y) of a binary PPM picture as "import" writes it ("P6", width,
// height, 255, then three bytes a pixel); empty when the picture has no such pixel.
std::string PixelOf(const std::string& ppm, int x, int y) {
    std::istringstream header(ppm);
    std::string magic;
    int width = 0, height = 0, max = 0;
    if (!(header >> magic >> width >> height >> max) || magic != "P6" || max != 255) return {};
    if (x >= width || y >= height) return {};
    const size_t at = static_cast<size_t>(header.tellg()) + 1 + 3 * (static_cast<size_t>(y) * width + x);
    return at + 3 <= ppm.size() ? ppm.substr(at, 3) : std::string();
}

} // namespace

std::string ProgramRun::Settings(bool learnMode) {
    std::ostringstream ini;
    // No play-time limit, so that the board's place and the day's time stay fixed; three
    // colours, so that most balls belong to a group; a record no move breaks (a broken one
    // is celebrated in place of the move's comment); every comment spoken every time.
    ini << "[GLOBAL]\r\nALLOWTIMESETTINGSEDIT=TRUE\r\nHIGHSCORE= 99999\r\n\r\n"
        << "[TIMES]\r\nRESTRICTEDTIME=-1\r\n\r\n"
        << "[COLORS]\r\nBALLCOLORS=3\r\n\r\n"
        << "[SOUND]\r\nSOUNDON=TRUE\r\nLEARNMODE=" << (learnMode ? "TRUE" : "FALSE")
        << "\r\nEFFECTS=TRUE\r\nCOMMENTS=TRUE\r\n\r\n"
        << "[SPEECH]\r\nSPEECHPATH=\r\n";
    for (int n = 1; n <= kSpeechTokens; ++n) ini << "PROBABILITY_" << n << "=100\r\n";
    return ini.str();
}

bool ProgramRun::Start(const std::string& settings) {
    if (!desk_.StartSoundServer() || !desk_.StartDisplay() || !desk_.StartWindowManager()) return false;
    if (desk_.Run({"xdotool", "version"}).code != 0) {
        failure_ = "xdotool is not installed";
        return false;
    }
    folder_ = desk_.Folder() + "/program";
    std::error_code error;
    fs::copy(QUONK_PROGRAM_DIR, folder_, fs::copy_options::recursive, error);
    fs::remove(fs::path(folder_) / "QT.Ini", error);
    if (!fs::exists(fs::path(folder_) / "quonk-tirrel")) {
        failure_ = "no built program in " QUONK_PROGRAM_DIR;
        return false;
    }
    std::ofstream(fs::path(folder_) / "QT.Ini", std::ios::binary) << settings;
    trace_ = desk_.Folder() + "/openat.log";
    auto env = desk_.Environment();
    env["QT_QPA_PLATFORM"] = "xcb";
    std::string startError;
    if (!program_.Start({"strace", "-f", "-tt", "-e", "trace=openat", "-o", trace_, folder_ + "/quonk-tirrel"}, env,
                        desk_.Folder() + "/program.log", startError)) {
        failure_ = startError;
        return false;
    }
    return true;
}

// ---- windows ----

std::vector<Window> ProgramRun::Windows() const {
    std::vector<Window> windows;
    std::istringstream lines(desk_.Run({"wmctrl", "-lG"}).output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, workspace, host;
        Window w;
        if (!(fields >> id >> workspace >> w.x >> w.y >> w.width >> w.height >> host)) continue;
        w.id = std::stoul(id, nullptr, 16);
        std::getline(fields, w.title);
        w.title.erase(0, w.title.find_first_not_of(' '));
        windows.push_back(w);
    }
    return windows;
}

// The main window and the message boxes share the title; the main window is the one
// of the board's height.
std::optional<Window> ProgramRun::Find(const std::string& title, bool mainWindow) const {
    for (const Window& w : Windows()) {
        // Other titles may hold letters the window manager's listing spells otherwise.
        if (title == kMainTitle ? w.title != title : w.title.find(title) == std::string::npos) continue;
        const bool isMain = title == kMainTitle && w.height >= kClientHeight;
        if (isMain == mainWindow) return w;
    }
    return std::nullopt;
}

std::optional<Window> ProgramRun::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout,
                                                bool mainWindow) const {
    std::optional<Window> found;
    Desktop::WaitFor([&] { return (found = Find(title, mainWindow)).has_value(); }, timeout, 50ms);
    // The window manager's list gives the frame's place; xwininfo gives the client's.
    if (found) {
        std::istringstream out(desk_.Run({"xwininfo", "-id", std::to_string(found->id)}).output);
        std::string line;
        const auto value = [&](const char* key, int& to) {
            const auto at = line.find(key);
            if (at != std::string::npos) to = std::atoi(line.c_str() + at + std::strlen(key));
        };
        while (std::getline(out, line)) {
            value("Absolute upper-left X:", found->x);
            value("Absolute upper-left Y:", found->y);
            value("Width:", found->width);
            value("Height:", found->height);
        }
    }
    return found;
}

bool ProgramRun::Exists(unsigned long id) const {
    for (const Window& w : Windows())
        if (w.id == id) return true;
    return false;
}

bool ProgramRun::WaitUntilGone(unsigned long id, std::chrono::milliseconds timeout) const {
    return Desktop::WaitFor([&] { return !Exists(id); }, timeout, 50ms);
}

unsigned long ProgramRun::ActiveWindow() const {
    const RunResult r = desk_.Run({"xdotool", "getactivewindow"});
    return r.code == 0 ? std::stoul(r.output) : 0;
}

bool ProgramRun::WaitUntilActive(unsigned long id, std::chrono::milliseconds timeout) const {
    return Desktop::WaitFor([&] { return ActiveWindow() == id; }, timeout, 50ms);
}

bool ProgramRun::Shown(unsigned long id) const {
    const std::string state = desk_.Run({"xprop", "-id", std::to_string(id), "WM_STATE"}).output;
    const std::string info = desk_.Run({"xwininfo", "-id", std::to_string(id)}).output;
    return state.find("Normal") != std::string::npos && info.find("IsViewable") != std::string::npos;
}

size_t ProgramRun::VisibleWindowCount() const {
    const std::string ids = desk_.Run({"xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", ""}).output;
    return static_cast<size_t>(std::count(ids.begin(), ids.end(), '\n'));
}

// ---- hands ----

void ProgramRun::Key(const std::string& keys) const { desk_.Run({"xdotool", "key", "--delay", "40", keys}); }

void ProgramRun::Click(int x, int y, int count) const {
    // No --sync: it waits for a motion that never comes when the pointer is there already.
    desk_.Run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "--repeat",
               std::to_string(count), "--delay", "80", "1"});
}

std::pair<int, int> ProgramRun::Cell(const Window& main, int column, int row) const {
    const int menuHeight = main.height - kClientHeight;
    return {main.x + kBoardLeft + column * kCell + kCell / 2,
            main.y + menuHeight + kBoardTop + row * kCell + kCell / 2};
}

// The columns of the bottom row whose ball touches a ball of its colour (alike on the
// screen a little below and left of the middle of their cells, off the highlight that
// balls of several colours share), then the others.
std::vector<int> ProgramRun::ColumnsToTry(const Window& main) const {
    const std::string board = BoardPicture(main);
    const auto colour = [&](int column, int row) {
        return PixelOf(board, column * kCell + kCell / 2 - 4, row * kCell + kCell / 2 + 4);
    };
    std::vector<int> grouped, single;
    for (int column = 0; column < kColumns; ++column) {
        const std::string own = colour(column, kRows - 1);
        const bool inGroup = !own.empty() && ((column + 1 < kColumns && colour(column + 1, kRows - 1) == own) ||
                                              colour(column, kRows - 2) == own);
        (inGroup ? grouped : single).push_back(column);
    }
    grouped.insert(grouped.end(), single.begin(), single.end());
    return grouped;
}

// Balls fall to the bottom, so the bottom row is full; a group vanishes with "DelBalls"
// and a comment follows ("sva..."), a single ball answers with "WrongBall" and takes no
// click until its sound is over. Clicks during a deal's or a move's effects are
// dropped: no answer means the click comes again.
bool ProgramRun::PlayAMove(const Window& main) {
    const std::vector<int> columns = ColumnsToTry(main);
    size_t next = 0;
    for (int tries = 0; tries < 3 * kColumns && next < columns.size(); ++tries) {
        const size_t before = OpeningCount();
        const auto [x, y] = Cell(main, columns[next], kRows - 1);
        Click(x, y, 2);
        size_t answer = 0;
        Desktop::WaitFor([&] {
            const std::vector<Opening> all = Openings();
            for (size_t i = before; i < all.size(); ++i)
                if (all[i].name == "DelBalls" || all[i].name == "WrongBall") {
                    answer = i + 1;
                    return true;
                }
            return false;
        }, 8000ms, 50ms);
        if (answer == 0) continue;
        // Keys pressed during the move's effects are dropped, those pressed during its
        // comment wait for its end.
        if (Openings()[answer - 1].name == "DelBalls")
            return WaitForOpening("sva", answer, 5000ms).has_value();
        Desktop::Pause(kWrongBallMs);
        ++next;
    }
    return false;
}

std::string ProgramRun::BoardPicture(const Window& main) const {
    const int menuHeight = main.height - kClientHeight;
    const std::string crop = std::to_string(kColumns * kCell) + "x" + std::to_string(kRows * kCell) + "+" +
                             std::to_string(kBoardLeft) + "+" + std::to_string(menuHeight + kBoardTop);
    return desk_.Run({"import", "-silent", "-window", std::to_string(main.id), "-crop", crop, "ppm:-"}).output;
}

// ---- what was heard ----

// strace -f -tt writes "PID HH:MM:SS.micro openat(AT_FDCWD, "path", ...) = fd"; a call
// another thread interrupts ends in "<unfinished ...>" and names its path all the same.
std::vector<Opening> ProgramRun::Openings() const {
    std::vector<Opening> out;
    std::ifstream in(trace_);
    std::string line;
    while (std::getline(in, line)) {
        const auto call = line.find("openat(");
        if (call == std::string::npos) continue;
        const auto open = line.find('"', call);
        const auto close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close == std::string::npos) continue;
        const std::string path = line.substr(open + 1, close - open - 1);
        if (path.size() < 4 || path.compare(path.size() - 4, 4, ".wav") != 0) continue;
        if (line.find("= -1 ") != std::string::npos) continue;
        std::istringstream fields(line);
        std::string pid, clock;
        fields >> pid >> clock;
        Opening o;
        o.ms = MsOfDay(clock);
        o.path = path;
        const std::string file = fs::path(path).filename().string();
        o.name = file.substr(0, file.size() - 4);
        o.synchronous = path.find("/sounds/speech/") != std::string::npos ||
                        path.find("/tutorial/") != std::string::npos;
        out.push_back(o);
    }
    return out;
}

std::optional<Opening> ProgramRun::WaitForOpening(const std::string& prefix, size_t after,
                                                  std::chrono::milliseconds timeout) const {
    std::optional<Opening> found;
    Desktop::WaitFor([&] {
        const std::vector<Opening> all = Openings();
        for (size_t i = after; i < all.size(); ++i)
            if (all[i].name.rfind(prefix, 0) == 0) {
                found = all[i];
                return true;
            }
        return false;
    }, timeout, 50ms);
    return found;
}

} // namespace desktop
