// The assets: every picture and recording the game needs exists under its exact name beside the
// program (or as a compiled-in design resource), with the stated sizes and formats; the spoken
// recordings share one speech level, keep their headroom and start and end without long silence.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

#include "settings/SpeechTokens.h"

namespace {

const QString kProgramDir = QStringLiteral(QUONK_PROGRAM_DIR);
const QString kSourceDir = QStringLiteral(QUONK_SOURCE_DIR);

// True when `name` is an entry of `dir` with exactly this spelling (case included).
bool HasExactFile(const QString& dir, const QString& name) {
  return QDir(dir).entryList(QDir::Files).contains(name, Qt::CaseSensitive);
}

QString Num4(int i) { return QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')); }

struct WavInfo {
  bool ok = false;
  QString error;
  int format = 0;
  int channels = 0;
  int rate = 0;
  int bits = 0;
  double seconds = 0;
  std::vector<double> samples;  // 16-bit mono only: the samples in -1..1
};

quint32 U32(const QByteArray& b, qsizetype at) {
  return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
         quint32(quint8(b[at + 3])) << 24;
}
quint16 U16(const QByteArray& b, qsizetype at) { return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8); }

// Reads the RIFF header of a WAV file: the "fmt " chunk and the length of the "data" chunk.
WavInfo ReadWav(const QString& path) {
  WavInfo w;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    w.error = QStringLiteral("cannot open");
    return w;
  }
  const QByteArray b = f.readAll();
  if (b.size() < 44 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") {
    w.error = QStringLiteral("no RIFF WAVE header");
    return w;
  }
  if (qsizetype(U32(b, 4)) + 8 != b.size()) {
    w.error = QStringLiteral("RIFF size does not match the file size");
    return w;
  }
  bool haveFmt = false, haveData = false;
  quint32 dataBytes = 0;
  qsizetype dataAt = 0;
  qsizetype at = 12;
  while (at + 8 <= b.size()) {
    const QByteArray id = b.mid(at, 4);
    const quint32 len = U32(b, at + 4);
    if (at + 8 + qsizetype(len) > b.size()) {
      w.error = QStringLiteral("chunk runs past the end");
      return w;
    }
    if (id == "fmt " && len >= 16) {
      w.format = U16(b, at + 8);
      w.channels = U16(b, at + 10);
      w.rate = int(U32(b, at + 12));
      w.bits = U16(b, at + 22);
      haveFmt = true;
    } else if (id == "data") {
      dataBytes = len;
      dataAt = at + 8;
      haveData = true;
    }
    at += 8 + len + (len & 1);
  }
  if (!haveFmt || !haveData) {
    w.error = QStringLiteral("fmt or data chunk missing");
    return w;
  }
  if (w.channels < 1 || w.rate < 1 || w.bits < 8) {
    w.error = QStringLiteral("bad fmt chunk");
    return w;
  }
  w.seconds = double(dataBytes) / (double(w.rate) * w.channels * (w.bits / 8));
  if (w.format == 1 && w.bits == 16 && w.channels == 1) {
    w.samples.reserve(dataBytes / 2);
    for (qsizetype i = dataAt; i + 1 < dataAt + qsizetype(dataBytes); i += 2)
      w.samples.push_back(qint16(U16(b, i)) / 32768.0);
  }
  w.ok = true;
  return w;
}

// Checks one WAV: PCM, 16 bit, mono, 22050 Hz, length within [minS, maxS].
void ExpectPcm(const QString& path, double minS, double maxS) {
  SCOPED_TRACE(path.toStdString());
  const WavInfo w = ReadWav(path);
  ASSERT_TRUE(w.ok) << w.error.toStdString();
  EXPECT_EQ(w.format, 1) << "not PCM";
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.rate, 22050);
  EXPECT_GE(w.seconds, minS);
  EXPECT_LE(w.seconds, maxS);
}

// How loud a recording sounds, and how it starts and ends.
struct SpeechMeasure {
  double levelDb = -999;  // RMS of the voiced part, dBFS
  double peakDb = -999;
  double leadS = 0;  // silence before the first and after the last sample above -50 dBFS
  double tailS = 0;
};

// The voiced part: 20 ms frames whose mean square lies above -70 dBFS and no more than 20 dB below
// the mean square of all such frames. Pauses do not pull a long sentence down, and a short word
// is measured on its sound alone.
SpeechMeasure MeasureSpeech(const std::vector<double>& s, int rate) {
  SpeechMeasure m;
  const size_t frame = size_t(rate / 50);
  std::vector<double> squares;
  for (size_t at = 0; frame > 0 && at + frame <= s.size(); at += frame) {
    double e = 0;
    for (size_t i = at; i < at + frame; ++i) e += s[i] * s[i];
    squares.push_back(e / double(frame));
  }
  const auto meanAbove = [&](double gate) {
    double sum = 0;
    int n = 0;
    for (double e : squares)
      if (e > gate) sum += e, ++n;
    return n ? sum / n : 0.0;
  };
  const double floor = 1e-7;
  const double loud = meanAbove(std::max(floor, meanAbove(floor) / 100));
  if (loud > 0) m.levelDb = 10 * std::log10(loud);
  double peak = 0;
  size_t first = s.size(), last = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    peak = std::max(peak, std::abs(s[i]));
    if (std::abs(s[i]) >= 0.00316) first = std::min(first, i), last = i;
  }
  if (peak > 0) m.peakDb = 20 * std::log10(peak);
  if (first < s.size()) {
    m.leadS = double(first) / rate;
    m.tailS = double(s.size() - 1 - last) / rate;
  }
  return m;
}

// The bits per pixel of a BMP file (offset 28 of the file).
int BmpBitsPerPixel(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray b = f.read(30);
  if (b.size() < 30 || b.left(2) != "BM") return -1;
  return U16(b, 28);
}

void ExpectPicture(const QString& path, const QByteArray& format, QSize size) {
  SCOPED_TRACE(path.toStdString());
  QImageReader r(path);
  r.setDecideFormatFromContent(true);
  ASSERT_TRUE(r.canRead()) << r.errorString().toStdString();
  EXPECT_EQ(r.format(), format);
  const QImage img = r.read();
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), size);
}

const QString kGrafics = kProgramDir + QStringLiteral("/grafics");
const QString kSounds = kProgramDir + QStringLiteral("/sounds");
const QString kSpeech = kProgramDir + QStringLiteral("/sounds/speech");
const QString kTutorial = kProgramDir + QStringLiteral("/tutorial");

TEST(Assets, BallPicturesAre32By32TwentyFourBitBmps) {
  for (int i = 0; i <= 10; ++i) {
    const QString name = QStringLiteral("QQ_Balls") + Num4(i) + QStringLiteral(".bmp");
    ASSERT_TRUE(HasExactFile(kGrafics, name)) << name.toStdString();
    ExpectPicture(kGrafics + QLatin1Char('/') + name, "bmp", QSize(32, 32));
    EXPECT_EQ(BmpBitsPerPixel(kGrafics + QLatin1Char('/') + name), 24) << name.toStdString();
  }
}

TEST(Assets, AnimationFramesAre32By32TwentyFourBitBmps) {
  for (int i = 0; i <= 4; ++i) {
    const QString name = QStringLiteral("QQ_Anim") + Num4(i) + QStringLiteral(".bmp");
    ASSERT_TRUE(HasExactFile(kGrafics, name)) << name.toStdString();
    ExpectPicture(kGrafics + QLatin1Char('/') + name, "bmp", QSize(32, 32));
    EXPECT_EQ(BmpBitsPerPixel(kGrafics + QLatin1Char('/') + name), 24) << name.toStdString();
  }
}

TEST(Assets, BackgroundIsLargerThanTheDefaultBoardOnEverySide) {
  const QString name = QStringLiteral("BG_Orange.bmp");
  ASSERT_TRUE(HasExactFile(kGrafics, name));
  QImageReader r(kGrafics + QLatin1Char('/') + name);
  EXPECT_EQ(r.format(), "bmp");
  const QSize s = r.size();
  // The default board is 11 x 12 cells of 32 pixels; the board is centred on the background.
  EXPECT_GE(s.width(), 352 + 2 * 8);
  EXPECT_GE(s.height(), 384 + 2 * 8);
  EXPECT_EQ(BmpBitsPerPixel(kGrafics + QLatin1Char('/') + name), 24);
}

TEST(Assets, SoundEffectsArePcmAndAboutAsLongAsTheirWaits) {
  struct Effect {
    const char* name;
    double minS, maxS;
  };
  const Effect effects[] = {
      {"setball.wav", 0.02, 0.3},  {"setball2.wav", 0.02, 0.3}, {"DelBalls.wav", 0.05, 0.3},
      {"DelCol.wav", 0.02, 0.3},   {"EndGame.wav", 0.4, 1.0},   {"fanfare.wav", 3.8, 5.0},
      {"Timeover.wav", 1.2, 2.0},  {"WrongBall.wav", 0.3, 0.7}, {"Undo.wav", 0.15, 0.45},
      {"Redo.wav", 0.5, 1.0},      {"Bblink.wav", 0.01, 0.1},
  };
  for (const Effect& e : effects) {
    const QString name = QString::fromLatin1(e.name);
    ASSERT_TRUE(HasExactFile(kSounds, name)) << e.name;
    ExpectPcm(kSounds + QLatin1Char('/') + name, e.minS, e.maxS);
  }
  // Exactly these eleven effect files: lookups ignore case, so no two may differ in case only.
  EXPECT_EQ(QDir(kSounds).entryList({QStringLiteral("*.wav")}, QDir::Files).size(), 11);
}

TEST(Assets, SpeechRecordingsRunFromOneWithoutGaps) {
  QStringList tokens;
  for (int n = 1; n <= kSpeechTokenCount; ++n) tokens << SpeechTokenName(n);
  ASSERT_EQ(tokens.size(), 32);
  const QStringList files = QDir(kSpeech).entryList(QDir::Files);
  const QRegularExpression pattern(QStringLiteral("^([A-Za-z]{4})(\\d{4})\\.wav$"));
  int total = 0;
  for (const QString& token : tokens) {
    SCOPED_TRACE(token.toStdString());
    QSet<int> numbers;
    for (const QString& f : files) {
      const auto m = pattern.match(f);
      if (m.hasMatch() && m.captured(1) == token) numbers.insert(m.captured(2).toInt());
    }
    int count = 0;
    while (HasExactFile(kSpeech, token + Num4(count + 1) + QStringLiteral(".wav"))) ++count;
    EXPECT_EQ(numbers.size(), count) << "recordings beyond a gap";
    // Every comment can come again in a game or on another run of the day; a child should not hear
    // the same recording at the second request already.
    EXPECT_GE(count, 4);
    for (int j = 1; j <= count; ++j) ExpectPcm(kSpeech + QLatin1Char('/') + token + Num4(j) + QStringLiteral(".wav"), 0.3, 5.999);
    total += count;
  }
  // Nothing else lies in the speech folder (a file of a token in the wrong case would never be found).
  EXPECT_EQ(files.size(), total);
}

const char* const kNarration[] = {"tut01.wav", "tut02.wav", "tut02b.wav", "tut03.wav", "tut04.wav",
                                  "tut04b.wav", "tut05.wav", "tut06.wav", "tut07.wav", "tut07b.wav",
                                  "tut08.wav", "tut08b.wav", "tut09.wav"};

TEST(Assets, SpeechAndNarrationShareOneLevelWithHeadroomAndShortSilences) {
  {  // The measure itself: a 1 kHz sine of amplitude 0.5 between silences: -9.03 dBFS voiced, -6.02 peak.
    std::vector<double> s(22050 / 2, 0.0);
    for (int i = 0; i < 22050; ++i) s.push_back(0.5 * std::sin(2 * M_PI * 1000 * i / 22050.0));
    s.resize(s.size() + 22050 / 4, 0.0);
    const SpeechMeasure m = MeasureSpeech(s, 22050);
    EXPECT_NEAR(m.levelDb, -9.03, 0.05);
    EXPECT_NEAR(m.peakDb, -6.02, 0.05);
    EXPECT_NEAR(m.leadS, 0.5, 0.001);
    EXPECT_NEAR(m.tailS, 0.25, 0.001);
  }
  QStringList paths;
  for (const QString& f : QDir(kSpeech).entryList({QStringLiteral("*.wav")}, QDir::Files))
    paths << kSpeech + QLatin1Char('/') + f;
  for (const char* n : kNarration) paths << kTutorial + QLatin1Char('/') + QString::fromLatin1(n);
  ASSERT_GE(paths.size(), 32 + 13) << "recordings missing";
  double low = 0, high = -999;
  QString lowName, highName;
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    const WavInfo w = ReadWav(path);
    ASSERT_TRUE(w.ok) << w.error.toStdString();
    ASSERT_FALSE(w.samples.empty()) << "not 16-bit mono PCM";
    const SpeechMeasure m = MeasureSpeech(w.samples, w.rate);
    EXPECT_LE(m.peakDb, -0.95) << "peaks at " << m.peakDb << " dBFS: it clips or has no headroom";
    EXPECT_LE(m.leadS, 0.1) << "silence at the start";
    EXPECT_LE(m.tailS, 0.1) << "silence at the end";
    if (m.levelDb < low || lowName.isEmpty()) low = m.levelDb, lowName = QFileInfo(path).fileName();
    if (m.levelDb > high) high = m.levelDb, highName = QFileInfo(path).fileName();
  }
  // A child should hear every comment about equally loud, whether one word or a sentence.
  EXPECT_LE(high - low, 2.0) << "speech levels from " << low << " dBFS (" << lowName.toStdString() << ") to "
                             << high << " dBFS (" << highName.toStdString() << ")";
}

TEST(Assets, TutorialPicturesAndNarration) {
  ASSERT_TRUE(HasExactFile(kTutorial, QStringLiteral("TutTitle.JPG")));
  ExpectPicture(kTutorial + QStringLiteral("/TutTitle.JPG"), "jpeg", QSize(427, 524));
  for (int i = 1; i <= 5; ++i) {
    const QString name = QStringLiteral("board_%1.JPG").arg(i);
    ASSERT_TRUE(HasExactFile(kTutorial, name)) << name.toStdString();
    ExpectPicture(kTutorial + QLatin1Char('/') + name, "jpeg", QSize(430, 578));
  }
  for (const char* n : kNarration) {
    const QString name = QString::fromLatin1(n);
    ASSERT_TRUE(HasExactFile(kTutorial, name)) << n;
    ExpectPcm(kTutorial + QLatin1Char('/') + name, 0.5, 12.0);
  }
}

TEST(Assets, DesignPicturesAreCompiledIn) {
  struct Design {
    const char* name;
    QSize size;
    bool alpha;  // an alpha channel (cursors, icon); the others are opaque
  };
  const Design designs[] = {
      {"title.png", QSize(574, 364), false},       {"sign_exclamation.png", QSize(92, 92), false},
      {"sign_question.png", QSize(92, 92), false}, {"sign_x.png", QSize(92, 92), false},
      {"sign_info.png", QSize(92, 92), false},     {"sign_design.png", QSize(92, 92), false},
      {"button_yes.png", QSize(64, 66), false},    {"button_no.png", QSize(64, 66), false},
      {"button_shutup.png", QSize(64, 66), false}, {"tut_marker.png", QSize(32, 32), false},
      {"tut_repeat.png", QSize(64, 66), false},    {"tut_ok.png", QSize(64, 66), false},
      {"cursor_lips.png", QSize(32, 32), true},    {"cursor_hand.png", QSize(32, 32), true},
      {"icon.png", QSize(128, 128), true},
  };
  for (const Design& d : designs) {
    const QString path = QStringLiteral(":/design/") + QString::fromLatin1(d.name);
    SCOPED_TRACE(path.toStdString());
    const QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), d.size);
    EXPECT_EQ(img.hasAlphaChannel(), d.alpha);
  }
}

// The recordings are uncompressed and make up most of the checkout: four or more per comment, at a
// child's slow speaking pace, come to about 21 MB with the pictures.
TEST(Assets, AllAssetsTogetherStayUnderTwentyTwoMegabytes) {
  qint64 total = 0;
  QDirIterator it(kSourceDir + QStringLiteral("/assets"), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) total += QFileInfo(it.next()).size();
  EXPECT_LE(total, 22'000'000);
}

}  // namespace
