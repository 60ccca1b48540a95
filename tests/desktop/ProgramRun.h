// The built program on a private desktop: a fresh copy of its folder with a prepared
// settings file, started under strace so that the test sees every sound file it opens,
// and the few looks and hands a player has (windows, keys, clicks, screenshots).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "Desktop.h"

namespace desktop {

// One top-level window as the window manager lists it.
struct Window {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;  // client area on the screen
    std::string title;
};

// One sound file the program opened, with the wall-clock time strace saw it at.
struct Opening {
    double ms = 0;      // milliseconds since midnight
    std::string path;   // as opened
    std::string name;   // file name without the folder and ".wav"
    bool synchronous;   // a spoken recording or tutorial narration: the program waits for it
};

class ProgramRun {
public:
    ProgramRun() = default;
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    // A test that fails half-way leaves nothing running: the program goes with strace.
    ~ProgramRun() { End(); }

    // A QT.Ini with learn mode on or off, no play-time limit and every comment always spoken.
    static std::string Settings(bool learnMode);

    // Starts the desktop and the program with `settings` as its QT.Ini; false with
    // SkipReason() set when the desktop cannot start, and with Failure() when the program cannot.
    bool Start(const std::string& settings);
    const std::string& SkipReason() const { return desk_.SkipReason(); }
    const std::string& Failure() const { return failure_; }
    void End() { program_.Kill(); }

    const Desktop& Desk() const { return desk_; }
    RunResult Run(const std::vector<std::string>& args) const { return desk_.Run(args); }

    // ---- windows ----
    std::vector<Window> Windows() const;
    std::optional<Window> Find(const std::string& title, bool mainWindow = false) const;
    // Waits for a window with that title (besides the main window when `mainWindow` is false).
    std::optional<Window> WaitForWindow(const std::string& title, std::chrono::milliseconds timeout,
                                        bool mainWindow = false) const;
    bool WaitUntilGone(unsigned long id, std::chrono::milliseconds timeout) const;
    bool Exists(unsigned long id) const;
    unsigned long ActiveWindow() const;
    bool WaitUntilActive(unsigned long id, std::chrono::milliseconds timeout) const;
    // Windows on the screen, the window manager's frames and menus included.
    size_t VisibleWindowCount() const;
    // Mapped and not minimised.
    bool Shown(unsigned long id) const;

    // ---- hands ----
    void Key(const std::string& keys) const;
    void Click(int x, int y, int count = 1) const;
    // The centre of the board cell (column, row from 0) on the screen.
    std::pair<int, int> Cell(const Window& main, int column, int row) const;
    // A move: double-clicks balls of the bottom row, those that seem to lie in a group
    // first, until a group is removed and the move's comment begins.
    bool PlayAMove(const Window& main);
    // The pixels of the board, as a PPM image.
    std::string BoardPicture(const Window& main) const;

    // ---- what was heard ----
    std::vector<Opening> Openings() const;
    size_t OpeningCount() const { return Openings().size(); }
    // Waits until a file whose name starts with `prefix` is opened as the `after`-th opening or later.
    std::optional<Opening> WaitForOpening(const std::string& prefix, size_t after,
                                          std::chrono::milliseconds timeout) const;
    std::string ProgramFolder() const { return folder_; }

private:
    std::vector<int> ColumnsToTry(const Window& main) const;

    Desktop desk_;
    Process program_;
    std::string folder_;
    std::string trace_;
    std::string failure_;
};

} // namespace desktop
