// A private desktop for tests that run real programs: an X server, a window manager and a
// sound server, each started by its process id in a temporary folder of its own and stopped
// by that id again, so several test runs on one machine never meet.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "../SoundServer.h"

namespace desktop {

// What a finished helper program returned.
struct RunResult {
    int code = -1;        // exit code; -1 when it could not start or ran out of time
    std::string output;   // its standard output
};

// One child process, started with an environment of its own and owned by its id.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Stop(); }

    // Starts `args` (args[0] looked up in PATH) with `env` added to the caller's environment.
    // Standard output and error go to `logFile` when given, else nowhere.
    // in the child. A descriptor without close-on-exec is inherited (Xvfb's -displayfd).
    // Returns false with `error` set when it cannot start.
    bool Start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
               const std::string& logFile, std::string& error);
    bool Running();
    // Asks it to end (SIGTERM), then forces it after `grace`.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));
    // Ends it and whatever it started in its process group at once (SIGKILL), and reaps it.
    void Kill();
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = 0;
};

// The whole private desktop. Every Start... returns false and sets SkipReason() when its
// program is missing or does not come up; a test then skips with that reason.
class Desktop {
public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // A sound server with one null output; with `recordTo` (a WAV file) an output clocked
    // like a sound card instead, whose sound is written there as it is rendered.
    bool StartSoundServer(const std::string& recordTo = {});
    // An X server on a free display with the given screen size.
    bool StartDisplay(int width = 1280, int height = 1024);
    // A window manager on that display.
    bool StartWindowManager();
    // Stops everything, newest first; a recording's file is complete then.
    void StopAll();

    const std::string& SkipReason() const { return skipReason_; }
    const std::string& Folder() const { return folder_; }
    const std::string& Display() const { return display_; }       // e.g. ":3"
    const std::string& PulseServer() const { return pulseServer_; } // e.g. "unix:/tmp/.../native"

    // The environment a program on this desktop needs (DISPLAY, PULSE_SERVER, runtime folders).
    std::map<std::string, std::string> Environment() const;

    // Runs a helper program (xdotool, wmctrl, ...) on this desktop and waits for it.
    RunResult Run(const std::vector<std::string>& args,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const;

    // Polls `check` until it holds or `timeout` passes.
    template <class Check>
    static bool WaitFor(Check check, std::chrono::milliseconds timeout,
                        std::chrono::milliseconds step = std::chrono::milliseconds(20));
    static void Pause(std::chrono::milliseconds step);

private:
    bool Fail(const std::string& reason);
    static bool Installed(const std::string& program);

    std::string folder_;
    std::string display_;
    std::string pulseServer_;
    std::string skipReason_;
    std::unique_ptr<soundserver::Server> sound_;
    Process xserver_;
    Process windowManager_;
};

template <class Check>
bool Desktop::WaitFor(Check check, std::chrono::milliseconds timeout, std::chrono::milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (check()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Pause(step);
    }
}

// Length in milliseconds of a PCM WAV file from its header; -1 when it is not one.
double WavLengthMs(const std::string& path);

} // namespace desktop
