#include "runtime/WavFile.h"

#include <QtEndian>
#include <cmath>
#include <numbers>

#include "runtime/Files.h"

namespace rt {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;

struct Format {
  uint16_t tag = 0;
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
};

uint16_t U16(const char* p) { return qFromLittleEndian<quint16>(p); }
uint32_t U32(const char* p) { return qFromLittleEndian<quint32>(p); }

std::optional<Format> ParseFormat(const char* p, uint32_t size) {
  if (size < 16) return std::nullopt;
  Format f;
  f.tag = U16(p);
  f.channels = U16(p + 2);
  f.sampleRate = static_cast<int>(std::min<uint32_t>(U32(p + 4), kMaxRate + 1));
  f.bitsPerSample = U16(p + 14);
  // An extensible header names its real encoding in the first two bytes of its sub-format.
  if (f.tag == kFormatExtensible && size >= 26) f.tag = U16(p + 24);
  return f;
}

bool Playable(const Format& f) {
  return f.tag == kFormatPcm && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.sampleRate >= kMinRate &&
         f.sampleRate <= kMaxRate;
}

WavSound MakeBeep() {
  // 880 Hz for 150 ms at a fifth of full scale, with 15 ms ramps so it starts and stops
  // without a click.
  constexpr int kRate = 22050;
  constexpr int kFrames = kRate * 150 / 1000;
  constexpr int kRamp = kRate * 15 / 1000;
  constexpr double kAmplitude = 0.2 * 32767;
  WavSound beep{kRate, 1, 16, QByteArray(kFrames * 2, '\0')};
  for (int i = 0; i < kFrames; ++i) {
    const double ramp = std::min({1.0, double(i) / kRamp, double(kFrames - 1 - i) / kRamp});
    const double value = kAmplitude * ramp * std::sin(2 * std::numbers::pi * 880.0 * i / kRate);
    qToLittleEndian<qint16>(static_cast<qint16>(std::lround(value)), beep.samples.data() + 2 * i);
  }
  return beep;
}

}  // namespace

double WavSound::LengthMs() const {
  if (sampleRate <= 0 || BytesPerFrame() <= 0) return 0;
  return samples.size() / BytesPerFrame() * 1000.0 / sampleRate;
}

std::optional<WavSound> ParseWav(const QByteArray& image) {
  if (image.size() < 12 || !image.startsWith("RIFF") || image.mid(8, 4) != "WAVE") return std::nullopt;
  std::optional<Format> format;
  QByteArray samples;
  bool haveData = false;
  const char* base = image.constData();
  qsizetype pos = 12;
  while (pos + 8 <= image.size()) {
    const QByteArray id = image.mid(pos, 4);
    const uint32_t size = U32(base + pos + 4);
    const qsizetype body = pos + 8;
    // A chunk cut short by the end of the file keeps what is there.
    const qsizetype available = std::min<qsizetype>(size, image.size() - body);
    if (id == "fmt ") format = ParseFormat(base + body, static_cast<uint32_t>(available));
    if (id == "data" && !haveData) {
      samples = image.mid(body, available);
      haveData = true;
    }
    pos = body + available + (size & 1);
  }
  if (!format || !haveData || !Playable(*format)) return std::nullopt;
  WavSound sound{format->sampleRate, format->channels, format->bitsPerSample, samples};
  sound.samples.truncate(samples.size() - samples.size() % sound.BytesPerFrame());
  return sound;
}

std::optional<WavSound> LoadWav(const QString& path) {
  const std::optional<QByteArray> image = ReadRegularFile(path);
  if (!image) return std::nullopt;
  return ParseWav(*image);
}

const WavSound& DefaultBeep() {
  static const WavSound beep = MakeBeep();
  return beep;
}

}  // namespace rt
