#include "Desktop.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace desktop {
namespace {

constexpr auto kStartTimeout = std::chrono::milliseconds(10000);

// Reads one line a child writes to `fd` (Xvfb's display number), waiting at most `timeout`.
std::string ReadLine(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buf[64];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<size_t>(n));
    }
    return line.substr(0, line.find('\n'));
}

} // namespace

bool Process::Start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                    const std::string& logFile, std::string& error) {
    pid_ = soundserver::Spawn(args, env, logFile);
    if (pid_ > 0) return true;
    pid_ = 0;
    error = args[0] + " cannot start";
    return false;
}

bool Process::Running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    pid_ = 0;
    return false;
}

void Process::Stop(std::chrono::milliseconds grace) {
    if (!Running()) return;
    kill(pid_, SIGTERM);
    if (!Desktop::WaitFor([this] { return !Running(); }, grace)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = 0;
}

void Process::Kill() {
    if (!Running()) return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
}

Desktop::Desktop() {
    std::string pattern = (std::filesystem::temp_directory_path() / "desktop-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) folder_ = pattern;
    for (const char* sub : {"run", "home", "config", "pulse"})
        std::filesystem::create_directories(std::filesystem::path(folder_) / sub);
    std::filesystem::permissions(std::filesystem::path(folder_) / "run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
}

Desktop::~Desktop() {
    StopAll();
    std::error_code ignored;
    if (!folder_.empty() && !std::getenv("DESKTOP_TEST_KEEP")) std::filesystem::remove_all(folder_, ignored);
}

void Desktop::StopAll() {
    windowManager_.Stop();
    xserver_.Stop();
    sound_.reset();
}

bool Desktop::Fail(const std::string& reason) {
    skipReason_ = reason;
    return false;
}

bool Desktop::Installed(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::map<std::string, std::string> Desktop::Environment() const {
    const std::filesystem::path f(folder_);
    std::map<std::string, std::string> env{
        {"HOME", (f / "home").string()},
        {"XDG_CONFIG_HOME", (f / "config").string()},
        {"XDG_RUNTIME_DIR", (f / "run").string()},
        {"PULSE_RUNTIME_PATH", (f / "pulse").string()},
        {"PULSE_STATE_PATH", (f / "pulse").string()},
    };
    if (!display_.empty()) env["DISPLAY"] = display_;
    // Without our server no client may reach (or spawn) any other one.
    env["PULSE_SERVER"] = pulseServer_.empty() ? "unix:" + (f / "none").string() : pulseServer_;
    return env;
}

RunResult Desktop::Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout) const {
    RunResult result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argv = args;
    std::vector<std::string> envp = soundserver::EnvironmentWith(Environment());
    auto argvPtrs = soundserver::Pointers(argv);
    auto envPtrs = soundserver::Pointers(envp);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, argvPtrs.data(), envPtrs.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buf[4096];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        result.output.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::milliseconds(
                     std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                deadline - std::chrono::steady_clock::now()).count())))) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return result;
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

void Desktop::Pause(std::chrono::milliseconds step) { std::this_thread::sleep_for(step); }

bool Desktop::StartSoundServer(const std::string& recordTo) {
    if (folder_.empty()) return Fail("no temporary folder");
    if (!Installed("pulseaudio")) return Fail("pulseaudio is not installed");
    if (!Installed("pactl")) return Fail("pactl (pulseaudio-utils) is not installed");
    const auto sink = recordTo.empty() ? soundserver::Sink::Null : soundserver::Sink::Pipe;
    sound_ = std::make_unique<soundserver::Server>(sink, (std::filesystem::path(folder_) / "pulse").string());
    if (!sound_->Ok()) return Fail(sound_->Why());
    pulseServer_ = sound_->Address();
    if (!WaitFor([&] { return Run({"pactl", "info"}).code == 0; }, kStartTimeout, std::chrono::milliseconds(50))) {
        sound_.reset();
        pulseServer_.clear();
        return Fail("the sound server does not answer");
    }
    if (!recordTo.empty() && !sound_->RecordTo(recordTo)) return Fail("cannot write " + recordTo);
    return true;
}

bool Desktop::StartDisplay(int width, int height) {
    if (folder_.empty()) return Fail("no temporary folder");
    if (!Installed("Xvfb")) return Fail("Xvfb is not installed");
    int fds[2];
    if (pipe(fds) != 0) return Fail("no pipe for the X server's display number");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::string error;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const bool started = xserver_.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                         "-nolisten", "tcp", "-noreset"},
                                        Environment(), (std::filesystem::path(folder_) / "xvfb.log").string(),
                                        error);
    close(fds[1]);
    const std::string number = started ? ReadLine(fds[0], kStartTimeout) : std::string();
    close(fds[0]);
    if (!started) return Fail(error);
    if (number.empty() || !xserver_.Running()) {
        xserver_.Stop();
        return Fail("the X server did not start");
    }
    display_ = ":" + number;
    return true;
}

bool Desktop::StartWindowManager() {
    if (display_.empty()) return Fail("no X server for the window manager");
    if (!Installed("openbox")) return Fail("openbox is not installed");
    if (!Installed("wmctrl")) return Fail("wmctrl is not installed");
    std::string error;
    if (!windowManager_.Start({"openbox", "--sm-disable"}, Environment(),
                              (std::filesystem::path(folder_) / "openbox.log").string(), error))
        return Fail(error);
    // The manager is ready once it has announced itself on the root window.
    if (!WaitFor([&] { return windowManager_.Running() && Run({"wmctrl", "-m"}).code == 0; }, kStartTimeout,
                 std::chrono::milliseconds(50))) {
        windowManager_.Stop();
        return Fail("the window manager did not start");
    }
    return true;
}

double WavLengthMs(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char riff[12];
    if (!in.read(riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return -1;
    uint32_t byteRate = 0;
    while (in) {
        char id[4];
        uint32_t size = 0;
        if (!in.read(id, 4) || !in.read(reinterpret_cast<char*>(&size), 4)) break;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            std::vector<char> fmt(size);
            if (!in.read(fmt.data(), size) || size < 12) return -1;
            std::memcpy(&byteRate, fmt.data() + 8, 4);
        } else if (std::memcmp(id, "data", 4) == 0) {
            return byteRate ? 1000.0 * size / byteRate : -1;
        } else {
            in.seekg(size + (size & 1), std::ios::cur);
        }
    }
    return -1;
}

} // namespace desktop
