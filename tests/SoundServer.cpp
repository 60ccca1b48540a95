#include "SoundServer.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace soundserver {

namespace {

constexpr int kChannels = 2;
constexpr const char* kSinkName = "testsink";

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::string WavHeader(uint32_t dataBytes) {
  std::string h = "RIFF";
  PutLe(h, 36 + dataBytes, 4);
  h += "WAVEfmt ";
  PutLe(h, 16, 4);
  PutLe(h, 1, 2);
  PutLe(h, kChannels, 2);
  PutLe(h, Recording::kRate, 4);
  PutLe(h, Recording::kRate * kChannels * 2, 4);
  PutLe(h, kChannels * 2, 2);
  PutLe(h, 16, 2);
  h += "data";
  PutLe(h, dataBytes, 4);
  return h;
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& env) {
  std::map<std::string, std::string> all;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const auto eq = entry.find('=');
    if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [key, value] : env) all[key] = value;
  std::vector<std::string> out;
  for (const auto& [key, value] : all) out.push_back(key + "=" + value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

pid_t Spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
            const std::string& logFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string out = logFile.empty() ? "/dev/null" : logFile;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own process group, so a terminal's Ctrl+C reaches only the test, which stops it.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  std::vector<std::string> argv = args;
  std::vector<std::string> envp = EnvironmentWith(env);
  auto argvPtrs = Pointers(argv);
  auto envPtrs = Pointers(envp);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0].c_str(), &actions, &attr, argvPtrs.data(), envPtrs.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? pid : -1;
}

void Stop(pid_t& pid, int graceMs) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int waited = 0; waited < graceMs; waited += 10) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    Sleep(10);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

double Recording::TimeOf(size_t i) const {
  // A restarted server renders from an origin of its own.
  const auto after = std::upper_bound(restarts.begin(), restarts.end(), i);
  const size_t from = after == restarts.begin() ? 0 : *(after - 1);
  const size_t to = after == restarts.end() ? samples.size() : *after;
  constexpr size_t kNear = kRate / 2;
  double origin = 1e300;
  for (const auto& [start, at] : marks) {
    if (start >= from && start < to && start + kNear >= i && start <= i + kNear) origin = std::min(origin, at);
  }
  if (origin == 1e300) {
    for (const auto& mark : marks) origin = std::min(origin, mark.second);
  }
  return origin + i * 1000.0 / kRate;
}

size_t Recording::IndexAt(double timeMs) const {
  size_t low = 0, high = samples.size();
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (TimeOf(mid) < timeMs) low = mid + 1;
    else high = mid;
  }
  return low;
}

Server::Server(Sink sink, std::string folder, bool debugLog) : sink_(sink), debugLog_(debugLog), folder_(folder) {
  if (folder_.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "sound-server-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      why_ = "no temporary folder";
      return;
    }
    folder_ = pattern;
    ownFolder_ = true;
  }
  std::error_code ignored;
  std::filesystem::create_directories(folder_, ignored);
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace,
                               ignored);
  if (sink_ == Sink::Pipe) {
    const std::string fifo = folder_ + "/sink.fifo";
    if (mkfifo(fifo.c_str(), 0600) != 0 && errno != EEXIST) {
      why_ = "cannot make the sink's FIFO";
      return;
    }
    // Read and write, so that opening never waits for the server and reading never ends.
    fifo_ = open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    wake_ = eventfd(0, EFD_CLOEXEC);
    reader_ = std::thread([this] { Listen(); });
  }
  if (why_.empty()) Start();
}

Server::~Server() {
  Stop(daemon_);
  StopListening();
  std::error_code ignored;
  if (ownFolder_) std::filesystem::remove_all(folder_, ignored);
}

std::string Server::Address() const { return "unix:" + folder_ + "/native"; }

void Server::PointThisProcessHere() const {
  setenv("PULSE_SERVER", Address().c_str(), 1);
  setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
}

bool Server::Start() {
  const std::string socket = folder_ + "/native";
  std::filesystem::remove(socket);
  const std::string script = folder_ + "/server.pa";
  {
    // Only our own modules: one sink and one socket, nothing from the system's setup.
    std::ofstream pa(script);
    if (sink_ == Sink::Pipe)
      pa << "load-module module-pipe-sink sink_name=" << kSinkName << " file=" << folder_
         << "/sink.fifo use_system_clock_for_timing=yes format=s16le rate=" << Recording::kRate
         << " channels=" << kChannels << "\n";
    else
      pa << "load-module module-null-sink sink_name=" << kSinkName << " rate=" << Recording::kRate << "\n";
    if (sink_ == Sink::SuspendingNull) pa << "load-module module-suspend-on-idle timeout=5\n";
    pa << "set-default-sink " << kSinkName << "\n"
       << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket << "\n";
  }
  std::vector<std::string> args{"pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=-1",
                                "--use-pid-file=no", "--system=no", "--realtime=no", "--high-priority=no",
                                "--log-target=file:" + folder_ + "/server.log"};
  if (debugLog_) args.push_back("--log-level=debug");
  daemon_ = Spawn(args, {{"HOME", folder_}, {"XDG_RUNTIME_DIR", folder_}, {"PULSE_RUNTIME_PATH", folder_}});
  if (daemon_ < 0) {
    why_ = "cannot start pulseaudio (is it installed?)";
    return false;
  }
  // The server is ready once its socket exists.
  const double deadline = NowMs() + 10000;
  while (!std::filesystem::exists(socket)) {
    if (waitpid(daemon_, nullptr, WNOHANG) == daemon_ || NowMs() > deadline) {
      why_ = "pulseaudio did not start (see " + folder_ + "/server.log)";
      Stop(daemon_);
      return false;
    }
    Sleep(10);
  }
  return true;
}

bool Server::Restart() {
  Stop(daemon_);
  {
    std::lock_guard guard(lock_);
    heard_.restarts.push_back(heard_.samples.size());
  }
  return Start();
}

void Server::Kill() { Stop(daemon_); }

long Server::CpuTicks() const {
  std::ifstream stat("/proc/" + std::to_string(daemon_) + "/stat");
  std::string line;
  if (daemon_ <= 0 || !std::getline(stat, line)) return -1;
  // The fields after the command's name, which ends with the last ")".
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stol(field);
  }
  return ticks;
}

int Server::Underruns() const {
  std::ifstream log(folder_ + "/server.log");
  int count = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("Implicit underrun") != std::string::npos) ++count;
  }
  return count;
}

int Server::Streams() const {
  const std::string command = "PULSE_SERVER=" + Address() + " pactl list short sink-inputs 2>/dev/null | wc -l";
  FILE* out = popen(command.c_str(), "r");
  if (!out) return -1;
  int count = -1;
  if (std::fscanf(out, "%d", &count) != 1) count = -1;
  pclose(out);
  return count;
}

void Server::Listen() {
  // Named, so that a measurement of the process's own time can leave it out.
  pthread_setname_np(pthread_self(), kReaderName);
  for (;;) {
    pollfd fds[2] = {{fifo_, POLLIN, 0}, {wake_, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    std::vector<int16_t>& block = readBuffer_;
    const ssize_t got = read(fifo_, block.data(), block.size() * sizeof(int16_t));
    if (got <= 0) continue;
    const double now = NowMs();
    const size_t frames = static_cast<size_t>(got) / (kChannels * sizeof(int16_t));
    std::lock_guard guard(lock_);
    std::vector<int16_t>& samples = heard_.samples;
    // The sink renders a block as it falls due; a read that follows another at once
    // holds the rest of that block, not a block of its own.
    const size_t first = samples.size();
    if (now - lastRead_ > 2) heard_.marks.emplace_back(first, now - first * 1000.0 / Recording::kRate);
    lastRead_ = now;
    for (size_t f = 0; f < frames; ++f) samples.push_back(block[f * kChannels]);
    if (wav_ >= 0 && write(wav_, block.data(), frames * kChannels * sizeof(int16_t)) > 0)
      wavBytes_ += static_cast<uint32_t>(frames * kChannels * sizeof(int16_t));
  }
}

void Server::StopListening() {
  if (reader_.joinable()) {
    const uint64_t one = 1;
    if (write(wake_, &one, sizeof one) < 0) reader_.detach();
    if (reader_.joinable()) reader_.join();
  }
  std::lock_guard guard(lock_);
  if (wav_ >= 0) {
    const std::string header = WavHeader(wavBytes_);
    if (pwrite(wav_, header.data(), header.size(), 0) < 0) std::perror("WAV header");
    close(wav_);
    wav_ = -1;
  }
  for (int* fd : {&fifo_, &wake_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

Recording Server::Heard() const {
  std::lock_guard guard(lock_);
  return heard_;
}

bool Server::WaitUntilHearing(int timeoutMs) const {
  const double until = NowMs() + timeoutMs;
  while (NowMs() < until) {
    {
      std::lock_guard guard(lock_);
      if (heard_.samples.size() > Recording::kRate / 20) return true;
    }
    Sleep(5);
  }
  return false;
}

bool Server::RecordTo(const std::string& wavFile) {
  if (sink_ != Sink::Pipe) return false;
  std::lock_guard guard(lock_);
  wav_ = open(wavFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (wav_ < 0) return false;
  const std::string header = WavHeader(0);
  return write(wav_, header.data(), header.size()) == static_cast<ssize_t>(header.size());
}

std::vector<double> FindOnsets(const Recording& heard, const std::vector<int16_t>& opening, double minScore) {
  const std::vector<int16_t>& recording = heard.samples;
  std::vector<double> onsets;
  const size_t n = opening.size();
  if (n == 0 || recording.size() < n) return onsets;
  double openingEnergy = 0;
  for (int16_t s : opening) openingEnergy += double(s) * s;
  double windowEnergy = 0;
  for (size_t i = 0; i < n; ++i) windowEnergy += double(recording[i]) * recording[i];
  size_t lastHit = 0;
  bool haveHit = false;
  for (size_t start = 0; start + n <= recording.size(); ++start) {
    if (start > 0) {
      windowEnergy += double(recording[start + n - 1]) * recording[start + n - 1] -
                      double(recording[start - 1]) * recording[start - 1];
    }
    if (windowEnergy < openingEnergy * 0.25) continue;
    double dot = 0;
    for (size_t i = 0; i < n; ++i) dot += double(recording[start + i]) * opening[i];
    const double score = dot / std::sqrt(openingEnergy * windowEnergy);
    if (score < minScore) continue;
    // One onset per match: a later hit within the opening's length belongs to it.
    if (haveHit && start - lastHit < n) {
      lastHit = start;
      continue;
    }
    onsets.push_back(heard.TimeOf(start));
    lastHit = start;
    haveHit = true;
  }
  return onsets;
}

std::optional<double> LastSoundEnd(const Recording& heard, double fromMs, double toMs, int threshold) {
  const size_t from = heard.IndexAt(fromMs);
  for (size_t i = heard.IndexAt(toMs); i-- > from;) {
    if (std::abs(heard.samples[i]) > threshold) return heard.TimeOf(i + 1);
  }
  return std::nullopt;
}

int Gaps(const Recording& heard, double fromMs, double toMs, double minMs) {
  const size_t minRun = static_cast<size_t>(minMs * Recording::kRate / 1000);
  const size_t to = std::min(heard.IndexAt(toMs), heard.samples.size());
  int gaps = 0;
  size_t run = 0;
  for (size_t i = heard.IndexAt(fromMs); i < to; ++i) {
    run = heard.samples[i] == 0 ? run + 1 : 0;
    if (run == minRun) ++gaps;
  }
  return gaps;
}

std::vector<int16_t> Resampled(const int16_t* samples, size_t count, int rate) {
  std::vector<int16_t> out;
  const double step = double(rate) / Recording::kRate;
  for (double pos = 0; pos + 1 < count; pos += step) {
    const size_t i = static_cast<size_t>(pos);
    const double f = pos - i;
    out.push_back(static_cast<int16_t>(std::lround(samples[i] * (1 - f) + samples[i + 1] * f)));
  }
  return out;
}

}  // namespace soundserver
