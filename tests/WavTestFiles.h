#pragma once
// Writes small PCM WAV files for tests that need recordings of a known length.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace testwav {

struct Format {
  int sampleRate = 8000;
  int channels = 1;
  int bitsPerSample = 16;
};

inline QByteArray Le16(int v) {
  QByteArray b(2, '\0');
  qToLittleEndian<quint16>(static_cast<quint16>(v), b.data());
  return b;
}

inline QByteArray Le32(uint32_t v) {
  QByteArray b(4, '\0');
  qToLittleEndian<quint32>(v, b.data());
  return b;
}

// A RIFF/WAVE image with a "fmt " chunk, extra chunks before the data, and frames of
// ascending sample bytes so that a test can see which bytes were kept.
inline QByteArray Image(const Format& format, int frames, const QByteArray& extraChunks = {}) {
  const int blockAlign = format.channels * format.bitsPerSample / 8;
  QByteArray data(frames * blockAlign, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i & 0x7F);
  QByteArray fmt = Le16(1) + Le16(format.channels) + Le32(format.sampleRate) +
                   Le32(format.sampleRate * blockAlign) + Le16(blockAlign) + Le16(format.bitsPerSample);
  QByteArray body = "WAVE" + QByteArray("fmt ") + Le32(fmt.size()) + fmt + extraChunks +
                    QByteArray("data") + Le32(data.size()) + data;
  return "RIFF" + Le32(body.size()) + body;
}

// A mono 16-bit file at 8000 Hz that lasts lengthMs.
inline void Write(const QString& path, int lengthMs) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(Image(Format{}, 8 * lengthMs));
}

// The samples of a mono 16-bit sine tone at rate, with 2 ms ramps at both ends.
inline std::vector<int16_t> ToneSamples(int lengthMs, double hz, int rate = 22050) {
  const int frames = rate * lengthMs / 1000;
  const int ramp = rate / 500;
  std::vector<int16_t> samples(frames);
  for (int i = 0; i < frames; ++i) {
    const double edge = std::min({1.0, double(i) / ramp, double(frames - 1 - i) / ramp});
    samples[i] = static_cast<int16_t>(std::lround(12000 * edge * std::sin(2 * M_PI * hz * i / rate)));
  }
  return samples;
}

// A file of ToneSamples.
inline void WriteTone(const QString& path, int lengthMs, double hz, int rate = 22050) {
  const std::vector<int16_t> samples = ToneSamples(lengthMs, hz, rate);
  QByteArray image = Image({rate, 1, 16}, static_cast<int>(samples.size()));
  std::memcpy(image.data() + image.size() - samples.size() * 2, samples.data(), samples.size() * 2);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(image);
}

}  // namespace testwav
