// Starts a program on the X display named by DISPLAY and measures its start from outside:
// the milliseconds from exec until its first window is mapped, the shared libraries it has
// mapped at that moment, and its peak resident memory a given time after the start. Then
// it kills the program. Prints one line: "ms=12.3 libraries=70 peak_kib=28000".
//
// Usage: start_probe SECONDS PROGRAM [ARGUMENTS...]
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWindowTimeout = std::chrono::seconds(20);

// Distinct shared objects in the process's memory map.
int MappedLibraries(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::set<std::string> files;
  std::string line;
  while (std::getline(maps, line)) {
    const size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    if (path.find(".so") != std::string::npos) files.insert(path);
  }
  return static_cast<int>(files.size());
}

// VmHWM of the process in KiB; -1 when it cannot be read.
long PeakKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) != 0) continue;
    std::istringstream value(line.substr(6));
    long kib = -1;
    value >> kib;
    return kib;
  }
  return -1;
}

// Waits for the first top-level window mapped on the display (a window manager's frame
// counts: it is mapped when the window shows). False when none comes in time.
bool WaitForFirstMap(xcb_connection_t* x, Clock::time_point deadline) {
  pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                          !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
      std::free(event);
      if (mapped) return true;
    }
    if (xcb_connection_has_error(x)) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SECONDS PROGRAM [ARGUMENTS...]\n", argv[0]);
    return 2;
  }
  const auto peakAfter = std::chrono::duration<double>(std::atof(argv[1]));

  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));

  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[2], argv + 2);
    std::perror("exec");
    _exit(127);
  }
  const bool shown = WaitForFirstMap(x, start + kWindowTimeout);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // Held while the map is read, so that what it loads after its window showed is left out.
  kill(pid, SIGSTOP);
  waitpid(pid, nullptr, WUNTRACED);
  const int libraries = MappedLibraries(pid);
  kill(pid, SIGCONT);

  std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(peakAfter));
  const long peak = PeakKib(pid);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  xcb_disconnect(x);
  if (!shown) {
    std::fprintf(stderr, "%s showed no window\n", argv[2]);
    return 1;
  }
  std::printf("ms=%.1f libraries=%d peak_kib=%ld\n", ms, libraries, peak);
  return 0;
}
