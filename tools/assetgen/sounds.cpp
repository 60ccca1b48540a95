// The eleven sound effects, synthesised sample by sample (no random source but a fixed-seed noise
// generator), written as 16-bit mono PCM WAV at 22050 Hz.
#include <QFile>
#include <algorithm>
#include <cmath>
#include <QtMath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "paint.h"

namespace {

constexpr int kRate = 22050;

using Buf = std::vector<double>;

Buf Silence(double seconds) { return Buf(size_t(seconds * kRate + 0.5), 0.0); }

void Ensure(Buf& b, size_t n) {
  if (b.size() < n) b.resize(n, 0.0);
}

// Adds a tone at time t0: frequency glides exponentially from f0 to f1; the timbre is a sum of
// harmonics with the given weights; the envelope has an attack and an exponential decay.
void Tone(Buf& b, double t0, double dur, double f0, double f1, double amp, std::vector<double> harmonics,
          double attack = 0.004, double decay = 0.0, double vibrato = 0.0) {
  const size_t s0 = size_t(t0 * kRate), n = size_t(dur * kRate);
  Ensure(b, s0 + n);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double x = double(i) / double(n);
    double f = f0 * std::pow(f1 / f0, x);
    if (vibrato > 0) f *= 1.0 + 0.012 * std::sin(2 * M_PI * vibrato * t);
    phase += 2 * M_PI * f / kRate;
    double v = 0;
    for (size_t h = 0; h < harmonics.size(); ++h) v += harmonics[h] * std::sin(phase * double(h + 1));
    double env = t < attack ? t / attack : 1.0;
    if (decay > 0) env *= std::exp(-(t - std::min(t, attack)) / decay);
    // A short release so that no tone ends with a click.
    const double rel = std::min(0.012, dur * 0.3);
    if (dur - t < rel) env *= (dur - t) / rel;
    b[s0 + i] += amp * env * v;
  }
}

// Noise from a fixed-seed generator, low-passed by a one-pole filter (cut-off rising or falling).
void Noise(Buf& b, double t0, double dur, double amp, double cut0, double cut1, double decay, quint64 seed) {
  const size_t s0 = size_t(t0 * kRate), n = size_t(dur * kRate);
  Ensure(b, s0 + n);
  gen::Rng rng(seed);
  double y = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double x = double(i) / double(n);
    const double cut = cut0 * std::pow(cut1 / cut0, x);
    const double a = 1.0 - std::exp(-2 * M_PI * cut / kRate);
    const double w = rng.uniform() * 2 - 1;
    y += a * (w - y);
    double env = std::exp(-t / decay);
    if (t < 0.002) env *= t / 0.002;
    const double rel = std::min(0.01, dur * 0.3);
    if (dur - t < rel) env *= (dur - t) / rel;
    b[s0 + i] += amp * env * y;
  }
}

void Echo(Buf& b, double delay, double gain, int repeats) {
  const size_t d = size_t(delay * kRate);
  Ensure(b, b.size() + d * repeats);
  for (size_t i = b.size(); i-- > d;) b[i] += gain * b[i - d];
}

void Normalize(Buf& b, double peak) {
  double m = 0;
  for (double v : b) m = std::max(m, std::abs(v));
  if (m <= 0) return;
  for (double& v : b) v *= peak / m;
}

void WriteWav(const Buf& b, const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(path));
    std::exit(1);
  }
  auto u32 = [&](quint32 v) {
    char c[4] = {char(v & 255), char((v >> 8) & 255), char((v >> 16) & 255), char((v >> 24) & 255)};
    f.write(c, 4);
  };
  auto u16 = [&](quint16 v) {
    char c[2] = {char(v & 255), char((v >> 8) & 255)};
    f.write(c, 2);
  };
  const quint32 data = quint32(b.size() * 2);
  f.write("RIFF", 4);
  u32(36 + data);
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  f.write("data", 4);
  u32(data);
  for (double v : b) {
    const int s = int(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    u16(quint16(qint16(s)));
  }
}

double Note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }
// Note names as semitones from A4.
constexpr int C5 = 3, D5 = 5, E5 = 7, F5 = 8, G5 = 10, A5 = 12, C6 = 15, E6 = 19, G6 = 22, C4 = -9, E4 = -5,
              G4 = -2, C7 = 27;

const std::vector<double> kSoft = {1.0, 0.25, 0.08};
const std::vector<double> kBell = {1.0, 0.0, 0.35, 0.0, 0.18, 0.0, 0.06};
const std::vector<double> kBrass = {1.0, 0.7, 0.5, 0.35, 0.22, 0.14, 0.08, 0.05};
const std::vector<double> kPure = {1.0};

}  // namespace

void MakeSoundEffects(const QString& root) {
  const QString d = root + QStringLiteral("/sounds/");
  {  // setball (also "SetBall"): a short wooden "tok" as a ball lands (50 ms wait, 200 ms after falling).
    Buf b = Silence(0.07);
    Tone(b, 0, 0.07, 1100, 620, 0.8, kSoft, 0.001, 0.018);
    Noise(b, 0, 0.012, 0.25, 4000, 1500, 0.004, 11);
    Normalize(b, 0.7);
    WriteWav(b, d + QStringLiteral("setball.wav"));
  }
  {  // setball2: the board is ready, a bright little "pling" (40 ms wait).
    Buf b = Silence(0.16);
    Tone(b, 0, 0.16, Note(E6), Note(E6), 0.6, kBell, 0.002, 0.05);
    Tone(b, 0.03, 0.13, Note(G6), Note(G6), 0.5, kBell, 0.002, 0.04);
    Normalize(b, 0.6);
    WriteWav(b, d + QStringLiteral("setball2.wav"));
  }
  {  // DelBalls (also "Delballs"): a bubbly "plopp" as a group vanishes (110 ms wait).
    Buf b = Silence(0.13);
    Tone(b, 0, 0.12, 330, 1300, 0.9, kSoft, 0.002, 0.05);
    Noise(b, 0, 0.05, 0.3, 2500, 6000, 0.015, 23);
    Normalize(b, 0.75);
    WriteWav(b, d + QStringLiteral("DelBalls.wav"));
  }
  {  // DelCol: a soft swish (50 ms wait, also the colour steps of the highscore celebration).
    Buf b = Silence(0.06);
    Noise(b, 0, 0.06, 1.0, 800, 5000, 0.03, 37);
    Tone(b, 0, 0.05, 700, 1000, 0.25, kPure, 0.003, 0.02);
    Normalize(b, 0.55);
    WriteWav(b, d + QStringLiteral("DelCol.wav"));
  }
  {  // EndGame: a little falling tune, G5 E5 C5 (720 ms wait).
    Buf b = Silence(0.72);
    Tone(b, 0.0, 0.22, Note(G5), Note(G5), 0.6, kBell, 0.005, 0.12);
    Tone(b, 0.2, 0.22, Note(E5), Note(E5), 0.6, kBell, 0.005, 0.12);
    Tone(b, 0.4, 0.32, Note(C5), Note(C5), 0.7, kBell, 0.005, 0.16);
    Normalize(b, 0.75);
    WriteWav(b, d + QStringLiteral("EndGame.wav"));
  }
  {  // fanfare: a new highscore, about 4.4 s: ta-ta-ta-taaa, ta-ta-taaa, and a bright final chord.
    Buf b = Silence(4.4);
    struct N {
      double t, dur;
      int note;
    };
    const N melody[] = {{0.00, 0.16, G4}, {0.18, 0.16, G4}, {0.36, 0.16, G4}, {0.54, 0.62, C5},
                        {1.22, 0.16, E5}, {1.40, 0.16, D5}, {1.58, 0.16, E5}, {1.76, 0.62, G5},
                        {2.44, 0.14, E5}, {2.60, 0.14, G5}, {2.76, 1.60, C6}};
    for (const N& n : melody) Tone(b, n.t, n.dur, Note(n.note), Note(n.note), 0.45, kBrass, 0.02, n.dur > 1 ? 1.2 : 0.6, 5.5);
    // Chord under the last note.
    for (int n : {C5, E5, G5}) Tone(b, 2.76, 1.6, Note(n), Note(n), 0.22, kBrass, 0.05, 1.2, 5.0);
    // Drum beats and a sparkle at the end.
    for (double t : {0.0, 0.54, 1.22, 1.76, 2.76}) {
      Noise(b, t, 0.12, 0.5, 300, 120, 0.05, quint64(t * 1000) + 7);
      Tone(b, t, 0.15, 140, 70, 0.5, kPure, 0.002, 0.06);
    }
    for (int k = 0; k < 8; ++k) Tone(b, 2.9 + k * 0.07, 0.2, Note(C7 - (k % 4) * 3), Note(C7 - (k % 4) * 3),
                                     0.08, kBell, 0.002, 0.06);
    Echo(b, 0.09, 0.2, 1);
    b.resize(size_t(4.4 * kRate));
    for (size_t i = 0; i < size_t(0.25 * kRate); ++i) b[b.size() - 1 - i] *= double(i) / (0.25 * kRate);
    Normalize(b, 0.8);
    WriteWav(b, d + QStringLiteral("fanfare.wav"));
  }
  {  // Timeover: a gentle ding-dong-dong (1620 ms wait).
    Buf b = Silence(1.6);
    Tone(b, 0.0, 0.6, Note(E5), Note(E5), 0.6, kBell, 0.004, 0.3);
    Tone(b, 0.45, 0.6, Note(C5), Note(C5), 0.6, kBell, 0.004, 0.3);
    Tone(b, 0.9, 0.7, Note(G4), Note(G4), 0.7, kBell, 0.004, 0.35);
    b.resize(size_t(1.6 * kRate));
    Normalize(b, 0.75);
    WriteWav(b, d + QStringLiteral("Timeover.wav"));
  }
  {  // WrongBall: a friendly "uh-oh", two soft falling notes (510 ms wait).
    Buf b = Silence(0.5);
    Tone(b, 0.0, 0.2, Note(E4) * 1.02, Note(E4), 0.6, {1.0, 0.45, 0.2, 0.1}, 0.01, 0.0, 7.0);
    Tone(b, 0.22, 0.28, Note(C4) * 1.02, Note(C4) * 0.97, 0.6, {1.0, 0.45, 0.2, 0.1}, 0.01, 0.2, 7.0);
    Normalize(b, 0.7);
    WriteWav(b, d + QStringLiteral("WrongBall.wav"));
  }
  {  // Undo: a quick sweep downwards (270 ms wait).
    Buf b = Silence(0.28);
    Tone(b, 0, 0.28, 1200, 300, 0.7, kSoft, 0.005, 0.15);
    Normalize(b, 0.65);
    WriteWav(b, d + QStringLiteral("Undo.wav"));
  }
  {  // Redo: a sweep upwards and a little rising arpeggio (770 ms wait).
    Buf b = Silence(0.78);
    Tone(b, 0, 0.3, 300, 1200, 0.6, kSoft, 0.005, 0.2);
    const int arp[] = {C5, E5, G5, C6};
    for (int k = 0; k < 4; ++k) Tone(b, 0.3 + k * 0.09, 0.26, Note(arp[k]), Note(arp[k]), 0.4, kBell, 0.003, 0.1);
    b.resize(size_t(0.78 * kRate));
    Normalize(b, 0.65);
    WriteWav(b, d + QStringLiteral("Redo.wav"));
  }
  {  // Bblink: a tiny blip as the tutorial's marker blinks (15 ms wait).
    Buf b = Silence(0.03);
    Tone(b, 0, 0.03, 1760, 1760, 0.5, kPure, 0.002, 0.01);
    Normalize(b, 0.45);
    WriteWav(b, d + QStringLiteral("Bblink.wav"));
  }
  (void)F5;
  (void)A5;
}
