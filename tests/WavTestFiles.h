#pragma once
// Writes small PCM WAV files for tests that need recordings of a known length.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

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

}  // namespace testwav
