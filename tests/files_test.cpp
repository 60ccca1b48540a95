#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"
#include "runtime/WavFile.h"

namespace {

void Touch(const QString& path, const QByteArray& bytes = {}) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace

TEST(Files, ResolvesEveryComponentIgnoringCase) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath("Sounds/Speech"));
  Touch(dir.path() + "/Sounds/SetBall.wav");
  Touch(dir.path() + "/Sounds/Speech/sprg0001.WAV");
  rt::SetAppPath(dir.path());
  const struct { const char* relative; QString expected; } cases[] = {
      {"\\sounds\\setball.wav", dir.path() + "/Sounds/SetBall.wav"},
      {"sounds/SETBALL.wav", dir.path() + "/Sounds/SetBall.wav"},
      {"\\sounds\\speech\\", dir.path() + "/Sounds/Speech/"},
      {"\\SOUNDS\\SPEECH\\SPRG0001.wav", dir.path() + "/Sounds/Speech/sprg0001.WAV"},
      {"\\sounds\\Missing\\x.wav", dir.path() + "/Sounds/Missing/x.wav"},
      {"\\QT.Ini", dir.path() + "/QT.Ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::AppFile(c.relative), c.expected) << c.relative;
  rt::SetAppPath({});
}

TEST(Files, FileLen) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/a.txt";
  EXPECT_EQ(ErrorOf([&] { rt::FileLen(path); }), rt::ErrFileNotFound);
  EXPECT_EQ(ErrorOf([&] { rt::FileLen(dir.path()); }), rt::ErrFileNotFound);
  Touch(path, QString::fromUtf8("ü\r\n").toUtf8() + QByteArray("\xfc"));
  EXPECT_EQ(rt::FileLen(path), 5);
}

// A FIFO or device where a recording is expected is passed over at once instead of
// holding the game until something writes to it.
TEST(Files, RecordingsAreReadOnlyFromRegularFiles) {
  QTemporaryDir dir;
  const QString fifo = dir.path() + "/sprg0001.wav";
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString link = dir.path() + "/sprg0002.wav";
  ASSERT_TRUE(QFile::link(fifo, link));
  for (const QString& path : {fifo, link, QStringLiteral("/dev/zero"), dir.path()}) {
    EXPECT_FALSE(rt::LoadWav(path)) << path.toStdString();
    EXPECT_EQ(rt::KindOf(path), rt::FileKind::kOther) << path.toStdString();
  }
  EXPECT_EQ(rt::KindOf(dir.path() + "/missing.wav"), rt::FileKind::kMissing);
  Touch(dir.path() + "/empty.wav");
  EXPECT_EQ(rt::KindOf(dir.path() + "/empty.wav"), rt::FileKind::kRegular);
  EXPECT_EQ(rt::ReadRegularFile(dir.path() + "/empty.wav"), QByteArray());
}
