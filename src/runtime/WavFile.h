#pragma once
// PCM WAV recordings: reading the RIFF container ourselves keeps playback free of
// codec back ends, and the sounds the game ships are plain PCM anyway.
#include <QByteArray>
#include <QString>
#include <optional>

namespace rt {

struct WavSound {
  int sampleRate = 0;
  int channels = 0;       // 1 mono, 2 stereo
  int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
  QByteArray samples;     // whole frames only

  int BytesPerFrame() const { return channels * bitsPerSample / 8; }
  double LengthMs() const;
};

// The recording held by a RIFF/WAVE image; nothing when it is not 8- or 16-bit PCM
// with one or two channels.
std::optional<WavSound> ParseWav(const QByteArray& image);
// ParseWav of a file's contents; nothing when the file is missing, unreadable or no
// regular file (a FIFO or device node is never opened for reading).
std::optional<WavSound> LoadWav(const QString& path);

// A short soft beep, played in place of a recording that cannot be read.
const WavSound& DefaultBeep();

}  // namespace rt
