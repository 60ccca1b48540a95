// A private PulseAudio server for tests and benchmarks that listen to what a program
// plays. It runs in a folder of its own (so it meets no other server on the machine),
// is started and stopped by its process id, and plays to one sink:
// - a pipe sink clocked like a sound card, whose output is read from its FIFO as it is
//   rendered: what is read is what a listener would hear, and when;
// - or a null sink, which renders up to two seconds ahead while no stream plays, as a
//   sink without a clock of its own may;
// - or a null sink that the server suspends after 5 s without a playing stream, as a
//   desktop's own setup does with the sink it makes when there is no sound card.
// A recorder on a sink's monitor would change the sink's latency and hide what is
// measured, so there is none.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace soundserver {

// The steady clock in milliseconds.
double NowMs();

// The left channel of what the pipe sink rendered, with when each part was rendered.
struct Recording {
  static constexpr int kRate = 44100;
  std::vector<int16_t> samples;
  // Per read: the index of its first sample, and its arrival time minus the length of
  // everything before it (when sample 0 would have been heard).
  std::vector<std::pair<size_t, double>> marks;
  // The index of the first sample after each restart of the server.
  std::vector<size_t> restarts;

  // When sample i was heard: the sink renders each block as it falls due, so the
  // earliest arrival near i fixes the time (a late read only arrives later).
  double TimeOf(size_t i) const;
  // The index of the first sample heard at or after timeMs.
  size_t IndexAt(double timeMs) const;
};

enum class Sink { Pipe, Null, SuspendingNull };

// The name of the thread that reads the pipe sink's output.
inline constexpr const char* kReaderName = "sink-reader";

class Server {
 public:
  // Starts the server with its files in folder (a new temporary one when empty).
  // debugLog keeps the server's debug log, which notes every underrun of a stream.
  explicit Server(Sink sink, std::string folder = {}, bool debugLog = false);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  bool Ok() const { return daemon_ > 0; }
  const std::string& Why() const { return why_; }
  pid_t Pid() const { return daemon_; }
  // "unix:" and the socket's path, for PULSE_SERVER.
  std::string Address() const;
  // Points this process's clients (and the children it starts) at the server.
  void PointThisProcessHere() const;

  // Kills the server and starts a new one on the same socket: a restarted server.
  bool Restart();
  void Kill();

  // Processor time the server has used, in clock ticks.
  long CpuTicks() const;
  // How often a stream ran dry, by the debug log.
  int Underruns() const;
  // Streams connected now, by pactl; -1 when it cannot tell.
  int Streams() const;

  // What the pipe sink has rendered so far.
  Recording Heard() const;
  // Waits until the pipe sink's output arrives; false when it never does.
  bool WaitUntilHearing(int timeoutMs = 3000) const;
  // Writes what the pipe sink renders from now on to a WAV file as well (16-bit stereo).
  bool RecordTo(const std::string& wavFile);

 private:
  bool Start();
  void Listen();
  void StopListening();

  Sink sink_;
  bool debugLog_;
  bool ownFolder_ = false;
  std::string folder_;
  std::string why_;
  pid_t daemon_ = -1;

  // The pipe sink's output, read on a thread of its own into a buffer the server owns:
  // a copy of this process made by fork has no such thread, and its leak check would
  // take a buffer only that thread knew for lost.
  std::vector<int16_t> readBuffer_ = std::vector<int16_t>(16384);
  int fifo_ = -1;
  int wake_ = -1;  // an event that ends the reading
  std::thread reader_;
  mutable std::mutex lock_;
  Recording heard_;
  double lastRead_ = 0;
  int wav_ = -1;
  uint32_t wavBytes_ = 0;
};

// This process's environment with env added, as "NAME=value" entries.
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& env);
// Pointers to strings, ending with nullptr, as exec takes them.
std::vector<char*> Pointers(std::vector<std::string>& strings);
// Starts args (args[0] looked up in PATH) with env added to this process's environment,
// in a process group of its own; output to logFile when given, else nowhere. The child's
// id, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
            const std::string& logFile = {});
// Asks pid to end (SIGTERM), forces it (SIGKILL) after graceMs, and reaps it.
void Stop(pid_t& pid, int graceMs = 3000);

// Where a sound's opening appears in a recording: the starts of matches of opening
// (normalised correlation at least minScore), in ms on the steady clock.
std::vector<double> FindOnsets(const Recording& heard, const std::vector<int16_t>& opening, double minScore = 0.8);
// The end of the last sound heard between fromMs and toMs: the time after the last
// sample louder than threshold.
std::optional<double> LastSoundEnd(const Recording& heard, double fromMs, double toMs, int threshold = 200);
// Breaks in a sound heard between fromMs and toMs: runs of at least minMs of digital
// silence, which a recording that never falls silent shows only where the stream ran dry.
int Gaps(const Recording& heard, double fromMs, double toMs, double minMs = 1.0);
// A mono 16-bit recording at rate as the sink renders it, by linear interpolation.
std::vector<int16_t> Resampled(const int16_t* samples, size_t count, int rate);

}  // namespace soundserver
