#pragma once
// A private PulseAudio daemon with one null sink, for hearing what the program plays:
// it runs in its own runtime folder (so it meets no other server on the machine), the
// process's clients are pointed at it, and it is stopped by its process id. A recorder
// of the sink's monitor stamps every sample with the steady clock.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pulsetest {

using SteadyClock = std::chrono::steady_clock;

inline double NowMs() {
  return std::chrono::duration<double, std::milli>(SteadyClock::now().time_since_epoch()).count();
}

// Starts argv with its output going to /dev/null (or stdout into outFd); the child's id.
inline pid_t Spawn(const std::vector<std::string>& args, int outFd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = open("/dev/null", O_RDWR);
  dup2(null, 0);
  dup2(outFd >= 0 ? outFd : null, 1);
  dup2(null, 2);
  // Nothing else of ours stays open in the daemon: a pipe it held would never close.
  for (int fd = 3; fd < 1024; ++fd) close(fd);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

inline void Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

class NullSink {
 public:
  static constexpr const char* kSink = "quonk_null";
  static constexpr int kRate = 44100;

  NullSink() {
    if (!dir_.isValid()) {
      why_ = "no temporary folder";
      return;
    }
    socket_ = dir_.filePath("native").toStdString();
    // Every client of this process goes to the private daemon.
    setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", dir_.path().toStdString().c_str(), 1);
    Start();
  }
  ~NullSink() { Stop(daemon_); }
  NullSink(const NullSink&) = delete;
  NullSink& operator=(const NullSink&) = delete;

  bool Ok() const { return daemon_ > 0; }
  const std::string& Why() const { return why_; }
  pid_t Pid() const { return daemon_; }

  // Kills the daemon and starts a new one on the same socket: a restarted server.
  bool Restart() {
    Stop(daemon_);
    return Start();
  }
  void Kill() { Stop(daemon_); }

 private:
  bool Start() {
    const std::string home = dir_.path().toStdString();
    QFile::remove(QString::fromStdString(socket_));
    daemon_ = Spawn({"env", "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "pulseaudio", "-n", "--daemonize=no",
                     "--exit-idle-time=-1", "--use-pid-file=no", "--system=no", "--realtime=no",
                     "--high-priority=no", "-L",
                     std::string("module-null-sink sink_name=") + kSink + " rate=" + std::to_string(kRate),
                     "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket_});
    if (daemon_ < 0) {
      why_ = "cannot start pulseaudio";
      return false;
    }
    // The daemon is ready once its socket exists.
    const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
    while (!QFileInfo::exists(QString::fromStdString(socket_))) {
      int status = 0;
      if (waitpid(daemon_, &status, WNOHANG) == daemon_ || SteadyClock::now() > deadline) {
        why_ = "pulseaudio did not start (is it installed?)";
        if (waitpid(daemon_, &status, WNOHANG) == 0) Stop(daemon_);
        daemon_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  QTemporaryDir dir_;
  std::string socket_;
  std::string why_;
  pid_t daemon_ = -1;
};

// Mono 16-bit samples of the monitor, with the steady-clock time each was played.
struct Recording {
  std::vector<int16_t> samples;
  // Per block read: the index after its last sample, and its arrival time minus the
  // length of everything up to there (when sample 0 would have been played).
  std::vector<std::pair<size_t, double>> marks;

  // When sample i was played: the earliest-arriving block in the half second after it
  // fixes the time. Only blocks after it count: while no stream plays, the sink
  // renders further ahead of the clock, and those blocks would put the time early.
  double TimeOf(size_t i) const {
    double origin = 1e300;
    for (const auto& [end, start] : marks) {
      if (end >= i && end <= i + NullSink::kRate / 2) origin = std::min(origin, start);
    }
    if (origin == 1e300) {
      for (const auto& mark : marks) origin = std::min(origin, mark.second);
    }
    return origin + i * 1000.0 / NullSink::kRate;
  }
};

// Records the null sink's monitor in 5 ms blocks, each stamped on arrival.
class MonitorRecorder {
 public:
  MonitorRecorder() {
    int fds[2];
    if (pipe(fds) != 0) return;
    recorder_ = Spawn({"parec", "-d", std::string(NullSink::kSink) + ".monitor", "--raw", "--format=s16le",
                       "--rate=" + std::to_string(NullSink::kRate), "--channels=1", "--latency-msec=5"},
                      fds[1]);
    close(fds[1]);
    fd_ = fds[0];
    reader_ = std::thread([this] { Read(); });
  }
  ~MonitorRecorder() {
    Stop(recorder_);
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) close(fd_);
  }

  // Waits (real time) until the recorder delivers samples; false when it never does.
  bool WaitUntilRecording(int timeoutMs = 3000) {
    const double until = NowMs() + timeoutMs;
    while (NowMs() < until) {
      {
        std::lock_guard guard(lock_);
        if (recording_.samples.size() > NullSink::kRate / 20) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  Recording Snapshot() {
    std::lock_guard guard(lock_);
    return recording_;
  }

 private:
  void Read() {
    std::vector<int16_t> block(4096);
    for (;;) {
      const ssize_t got = read(fd_, block.data(), block.size() * sizeof(int16_t));
      if (got <= 0) return;
      const double now = NowMs();
      std::lock_guard guard(lock_);
      std::vector<int16_t>& samples = recording_.samples;
      samples.insert(samples.end(), block.begin(), block.begin() + got / 2);
      recording_.marks.emplace_back(samples.size(), now - samples.size() * 1000.0 / NullSink::kRate);
    }
  }

  pid_t recorder_ = -1;
  int fd_ = -1;
  std::thread reader_;
  std::mutex lock_;
  Recording recording_;
};

// Where a sound's opening appears in a recording: the starts of matches of its first
// 10 ms (normalised correlation at least minScore), in ms on the recording's time.
inline std::vector<double> FindOnsets(const Recording& heard, const std::vector<int16_t>& opening,
                                      double minScore = 0.8) {
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

// The end of the last sound heard between fromMs and toMs: the time after the last
// sample louder than threshold.
inline std::optional<double> LastSoundEnd(const Recording& heard, double fromMs, double toMs,
                                          int threshold = 200) {
  const auto indexAt = [&](double t) {
    size_t low = 0, high = heard.samples.size();
    while (low < high) {
      const size_t mid = (low + high) / 2;
      if (heard.TimeOf(mid) < t) low = mid + 1;
      else high = mid;
    }
    return low;
  };
  const size_t from = indexAt(fromMs);
  for (size_t i = indexAt(toMs); i-- > from;) {
    if (std::abs(heard.samples[i]) > threshold) return heard.TimeOf(i + 1);
  }
  return std::nullopt;
}

// A sound's samples as the monitor records them (mono, at the sink's rate), by linear
// interpolation from a mono 16-bit recording at rate.
inline std::vector<int16_t> Resampled(const int16_t* samples, size_t count, int rate) {
  std::vector<int16_t> out;
  const double step = double(rate) / NullSink::kRate;
  for (double pos = 0; pos + 1 < count; pos += step) {
    const size_t i = static_cast<size_t>(pos);
    const double f = pos - i;
    out.push_back(static_cast<int16_t>(std::lround(samples[i] * (1 - f) + samples[i + 1] * f)));
  }
  return out;
}

}  // namespace pulsetest
