#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"

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

TEST(Files, FileLenAndAppend) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/a.txt";
  EXPECT_EQ(ErrorOf([&] { rt::FileLen(path); }), rt::ErrFileNotFound);
  EXPECT_EQ(ErrorOf([&] { rt::FileLen(dir.path()); }), rt::ErrFileNotFound);
  rt::AppendText(path, QString::fromUtf8("ü\r\n"));
  rt::AppendBytes(path, QByteArray("\xfc"));
  EXPECT_EQ(rt::FileLen(path), 5);
  EXPECT_EQ(ErrorOf([&] { rt::AppendText(dir.path() + "/no/such/a.txt", "x"); }), rt::ErrPathNotFound);
}
