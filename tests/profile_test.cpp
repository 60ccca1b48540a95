#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "runtime/Profile.h"

namespace {

QString Read(const QString& path, const char* section, const char* key) {
  return rt::ReadProfileString(section, key, path);
}

}  // namespace

TEST(ProfileRead, Rules) {
  TempFolder dir;
  const QString ini = dir.Path("a.ini");
  TempFolder::Put(ini,
                  "top=before any section\r\n"
                  "[GLOBAL]\r\n"
                  "GAMEROWS=14\r\n"
                  "HIGHSCORE= 100\r\n"
                  "  Padded\t =\t x y \r\n"
                  "Empty=\r\n"
                  "Formula=a=b\r\n"
                  ";Commented=1\r\n"
                  "no equals sign\r\n"
                  "Dq=\"quoted \"\r\n"
                  "Sq=' single'\r\n"
                  "Mixed=\"x'\r\n"
                  "Lone=\"\r\n"
                  "Inline=5 ; not a comment\r\n"
                  "GameRows=99\r\n"
                  "Umlaut=gr\xfc\xdf \x80\r\n"
                  "\r\n"
                  "[ times ]\n"
                  "PLAYTIME=12.5\n"
                  "[Mac]\r"
                  "Key=cr only\r"
                  "[global]\r\n"
                  "Late=second section of the same name\r\n"
                  "[Last]\r\n"
                  "NoLineEnd=tail");
  const struct { const char* section; const char* key; QString expected; } cases[] = {
      {"GLOBAL", "GameRows", "14"},           // names ignore case; first duplicate counts
      {"global", "HIGHSCORE", "100"},         // value trimmed
      {"GLOBAL", "padded", "x y"},            // name and value trimmed of blanks and tabs
      {"GLOBAL", "Empty", ""},
      {"GLOBAL", "Formula", "a=b"},           // the first "=" splits
      {"GLOBAL", "Commented", ""},
      {"GLOBAL", ";Commented", ""},
      {"GLOBAL", "no equals sign", ""},
      {"GLOBAL", "Dq", "quoted "},            // quotes removed after trimming
      {"GLOBAL", "Sq", " single"},
      {"GLOBAL", "Mixed", "\"x'"},
      {"GLOBAL", "Lone", "\""},
      {"GLOBAL", "Inline", "5 ; not a comment"},
      {"GLOBAL", "Umlaut", QString::fromUtf8("grüß €")},
      {"GLOBAL", "Late", ""},                 // a later section of the same name is ignored
      {"GLOBAL", "Missing", ""},
      {"TIMES", "playtime", "12.5"},          // LF line ends, blanks inside the brackets
      {"MAC", "key", "cr only"},              // CR line ends
      {"Last", "NoLineEnd", "tail"},
      {"Nowhere", "Key", ""},
      {"", "top", ""},                        // keys before the first section belong to none
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(ini, c.section, c.key), c.expected) << c.section << "/" << c.key;
  EXPECT_EQ(Read(dir.Path("missing.ini"), "GLOBAL", "GAMEROWS"), "");
}

TEST(ProfileRead, CutsLongValuesAndSurvivesGarbage) {
  TempFolder dir;
  const QString ini = dir.Path("a.ini");
  TempFolder::Put(ini, "[S]\r\nLong=" + QByteArray(40000, 'v') + "\r\n");
  EXPECT_EQ(Read(ini, "S", "Long"), QString(32000, 'v'));

  QByteArray garbage(10 * 1024 * 1024, '\0');
  for (qsizetype i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 251);
  garbage.append("\n[S]\nKey=\0found\n", 16);
  TempFolder::Put(ini, garbage);
  EXPECT_EQ(Read(ini, "S", "Key"), QString::fromLatin1("\0found", 6));
  EXPECT_EQ(Read(ini, "S", "Other"), "");
  EXPECT_EQ(Read(dir.Folder(), "S", "Key"), "");  // a folder is no file
}

TEST(ProfileWrite, ChangesOnlyWhatItMust) {
  const struct {
    const char* name;
    QByteArray before;
    const char* section;
    const char* key;
    const char* value;
    QByteArray after;
  } cases[] = {
      {"replace keeps the stored name and every other byte", "; c\r\n[A]\r\n  hiGH = 1 \r\nx=y\n\r\n",
       "A", "HIGH", "2", "; c\r\n[A]\r\nhiGH=2\r\nx=y\n\r\n"},
      {"empty value", "[A]\r\nK=1\r\n", "a", "k", "", "[A]\r\nK=\r\n"},
      {"insert after the last non-blank line", "[A]\r\nK=1\r\n; note\r\n\r\n[B]\r\n", "A", "N", "v",
       "[A]\r\nK=1\r\n; note\r\nN=v\r\n\r\n[B]\r\n"},
      {"insert into an empty section", "[A]\r\n\r\n[B]\r\n", "A", "N", "v", "[A]\r\nN=v\r\n\r\n[B]\r\n"},
      {"insert into the last section without a line end", "[A]\r\nK=1", "A", "N", "v",
       "[A]\r\nK=1\r\nN=v\r\n"},
      {"a commented key is not the key", "[A]\r\n;N=old\r\n", "A", "N", "v", "[A]\r\n;N=old\r\nN=v\r\n"},
      {"append a missing section", "[A]\r\nK=1\r\n", "B", "N", "v", "[A]\r\nK=1\r\n[B]\r\nN=v\r\n"},
      {"append after a file without a final line end", "[A]\r\nK=1", "B", "N", "v",
       "[A]\r\nK=1\r\n[B]\r\nN=v\r\n"},
      {"empty file", "", "B", "N", "v", "[B]\r\nN=v\r\n"},
      {"first duplicate section counts", "[A]\r\n[B]\r\n[A]\r\nN=old\r\n", "A", "N", "v",
       "[A]\r\nN=v\r\n[B]\r\n[A]\r\nN=old\r\n"},
      {"LF file keeps its line ends", "[A]\nK=1\nL=2\n", "A", "K", "9", "[A]\nK=9\nL=2\n"},
      {"umlauts are one byte", "[A]\r\n", "A", "T", "\xc3\xbc\xe2\x82\xac\xf0\x9f\x98\x80",
       "[A]\r\nT=\xfc\x80?\r\n"},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    const QString ini = dir.Path("a.ini");
    TempFolder::Put(ini, c.before);
    EXPECT_TRUE(rt::WriteProfileString(c.section, c.key, QString::fromUtf8(c.value), ini)) << c.name;
    EXPECT_EQ(TempFolder::Get(ini), c.after) << c.name;
    EXPECT_EQ(QDir(dir.Folder()).entryList(QDir::Files | QDir::Hidden).size(), 1) << c.name;
  }
}

TEST(ProfileWrite, CreatesAMissingFileAndRoundTripsLongValues) {
  TempFolder dir;
  const QString ini = dir.Path("new.ini");
  ASSERT_TRUE(rt::WriteProfileString("S", "K", QString(40000, 'x'), ini));
  EXPECT_EQ(TempFolder::Get(ini), "[S]\r\nK=" + QByteArray(40000, 'x') + "\r\n");
  EXPECT_EQ(Read(ini, "S", "K").size(), rt::kProfileValueMax);
}

TEST(ProfileWrite, RefusesWhatItCannotStoreAndLeavesTheFile) {
  TempFolder dir;
  const QString ini = dir.Path("a.ini");
  const QByteArray original = "[A]\r\nK=1\r\n";
  const struct { const char* section; const char* key; const char* value; } cases[] = {
      {"", "K", "v"}, {"A", "", "v"}, {"A", "K", "two\r\nlines"}, {"A", "K\n", "v"},
      {"A]", "K", "v"}, {"A", "K=1", "v"}, {"A", ";K", "v"}, {"A", "[K", "v"},
  };
  TempFolder::Put(ini, original);
  for (const auto& c : cases) {
    EXPECT_FALSE(rt::WriteProfileString(c.section, c.key, c.value, ini)) << c.section << "/" << c.key;
    EXPECT_EQ(TempFolder::Get(ini), original);
  }
}

TEST(ProfileWrite, FailsOnReadOnlyFilesAndMissingFolders) {
  TempFolder dir;
  const QString ini = dir.Path("a.ini");
  TempFolder::Put(ini, "[A]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0444), 0);
  EXPECT_FALSE(rt::WriteProfileString("A", "K", "2", ini));
  EXPECT_EQ(TempFolder::Get(ini), "[A]\r\nK=1\r\n");
  EXPECT_EQ(Read(ini, "A", "K"), "1");

  ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0640), 0);
  EXPECT_TRUE(rt::WriteProfileString("A", "K", "2", ini));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(ini).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replacement keeps the permissions

  EXPECT_FALSE(rt::WriteProfileString("A", "K", "2", dir.Path("no/such/a.ini")));
  EXPECT_FALSE(rt::WriteProfileString("A", "K", "2", dir.Folder()));
}

// A writer killed at any moment leaves the old or the new file, never a torn one.
TEST(ProfileWrite, AKilledWriterLeavesAWholeFile) {
  TempFolder dir;
  const QString ini = dir.Path("a.ini");
  const QString longValue(5000, 'a');
  const QString shortValue(100, 'b');
  TempFolder::Put(ini, "[A]\r\nFirst=1\r\n[B]\r\nValue=" + longValue.toLatin1() + "\r\nLast=2\r\n");
  for (int round = 1; round <= 25; ++round) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      for (int i = 0;; ++i) {
        rt::WriteProfileString("B", "Value", i % 2 ? longValue : shortValue, ini);
        if (::write(pipeFds[1], "w", 1) != 1) ::_exit(1);
      }
    }
    ::close(pipeFds[1]);
    char sink[64];
    for (int done = 0; done < round;) {
      const ssize_t n = ::read(pipeFds[0], sink, std::min<size_t>(sizeof sink, round - done));
      ASSERT_GT(n, 0);
      done += static_cast<int>(n);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    const QString value = Read(ini, "B", "Value");
    EXPECT_TRUE(value == longValue || value == shortValue) << "round " << round;
    EXPECT_EQ(Read(ini, "A", "First"), "1") << "round " << round;
    EXPECT_EQ(Read(ini, "B", "Last"), "2") << "round " << round;
  }
}
