#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <csignal>
#include <random>

#include "TempFolder.h"
#include "runtime/Files.h"
#include "runtime/Profile.h"

namespace {

QString Read(const QString& path, const char* section, const char* key) {
  return rt::ReadProfileString(section, key, path);
}

QStringList FolderEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Points the user's state folder, where in-place saves keep their rollback copies, at a
// folder of the test's own.
class StateFolder {
 public:
  StateFolder() : before_(qgetenv("XDG_STATE_HOME")), had_(qEnvironmentVariableIsSet("XDG_STATE_HOME")) {
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir_.Folder()));
  }
  ~StateFolder() {
    if (had_)
      qputenv("XDG_STATE_HOME", before_);
    else
      qunsetenv("XDG_STATE_HOME");
  }
  StateFolder(const StateFolder&) = delete;
  StateFolder& operator=(const StateFolder&) = delete;
  // The rollback copies and their temporary files left in it.
  QStringList Left() const {
    return QDir(dir_.Path("quonk-tirrel")).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }

 private:
  TempFolder dir_;
  QByteArray before_;
  bool had_;
};

struct KeyWrite {
  QString section, key, value;
};

// Key writes of every kind: replaced, filled in, appended to a section, to a new
// section, twice to the same key, names in other letter cases.
std::vector<KeyWrite> MixedWrites(unsigned seed) {
  std::mt19937 random(seed);
  const char* sections[] = {"A", "b", "NEW", "Speech", "x y"};
  const char* keys[] = {"K", "k", "Other", "PLAYED_7", "Fresh", "N"};
  std::vector<KeyWrite> writes;
  for (int i = 0; i < 40; ++i)
    writes.push_back({sections[random() % 5], keys[random() % 6], QString(int(random() % 4), QChar('a' + i % 26))});
  return writes;
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

// A save of many keys in one write leaves the bytes the same writes made one by one
// leave, on files of every shape.
TEST(ProfileWrite, ManyKeysInOneWriteEqualTheWritesOneByOne) {
  const QByteArray files[] = {
      "",
      "[A]\r\nK=1",
      "; c\r\n[A]\r\n  k = 1 \r\n; note\r\n\r\n\r\n[B]\r\nOther=2\n[a]\r\nK=dup\r\n",
      "top=1\r\n[Speech]\r\n;  SVAF\r\nPLAYED_7=\r\n\r\n[x y]",
      "[B]\r\n   \r\n[A]\r\n\r\n",
  };
  for (unsigned seed = 1; seed <= 10; ++seed)
    for (const QByteArray& before : files) {
      TempFolder dir;
      const QString once = dir.Path("once.ini");
      const QString oneByOne = dir.Path("one-by-one.ini");
      TempFolder::Put(once, before);
      TempFolder::Put(oneByOne, before);
      rt::ProfileEdit edit(once);
      for (const KeyWrite& w : MixedWrites(seed)) {
        EXPECT_TRUE(edit.Set(w.section, w.key, w.value));
        EXPECT_TRUE(rt::WriteProfileString(w.section, w.key, w.value, oneByOne));
      }
      EXPECT_EQ(TempFolder::Get(once), before) << "nothing is written before the save";
      ASSERT_TRUE(edit.Save());
      EXPECT_EQ(TempFolder::Get(once), TempFolder::Get(oneByOne)) << "seed " << seed << ": " << before.data();
    }
}

// Where the settings file lives in an unusual way, a write still reaches it and leaves
// it what it was: a link stays a link, hard-linked names keep sharing one file, which
// takes the new length whether it shrinks or grows.
TEST(ProfileWrite, LinksKeepPointingAtTheFileThatIsWritten) {
  TempFolder dir, elsewhere;
  const StateFolder state;
  const QByteArray before = "[A]\r\nK=1\r\n";
  const QString target = elsewhere.Path("kept.ini");
  const struct { const char* name; QString linkTo; bool hard; const char* value; } cases[] = {
      {"link to a file elsewhere", target, false, "2"},
      {"relative link", "../" + QFileInfo(elsewhere.Folder()).fileName() + "/kept.ini", false, "2"},
      {"link to a link", dir.Path("chain.ini"), false, "2"},
      {"hard link, same length", target, true, "2"},
      {"hard link, shorter", target, true, ""},
      {"hard link, longer", target, true, "12345"},
  };
  for (const auto& c : cases) {
    TempFolder::Put(target, before);
    const QString ini = dir.Path("QT.Ini");
    QFile::remove(ini);
    QFile::remove(dir.Path("chain.ini"));
    ASSERT_TRUE(QFile::link(target, dir.Path("chain.ini")));
    if (c.hard)
      ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(ini).constData()), 0);
    else
      ASSERT_EQ(::symlink(QFile::encodeName(c.linkTo).constData(), QFile::encodeName(ini).constData()), 0);
    ASSERT_TRUE(rt::WriteProfileString("A", "K", c.value, ini)) << c.name;
    EXPECT_EQ(TempFolder::Get(target), QByteArray("[A]\r\nK=") + c.value + "\r\n") << c.name;
    EXPECT_EQ(QFileInfo(ini).isSymLink(), !c.hard) << c.name;
    EXPECT_EQ(Read(ini, "A", "K"), c.value) << c.name;
    EXPECT_EQ(FolderEntries(elsewhere.Folder()), QStringList{"kept.ini"}) << c.name;
    EXPECT_EQ(state.Left(), QStringList()) << c.name << ": the rollback copy goes once the save is complete";
  }
  // A link to a file not there yet creates it.
  QFile::remove(target);
  ASSERT_TRUE(rt::WriteProfileString("A", "K", "2", dir.Path("chain.ini")));
  EXPECT_EQ(TempFolder::Get(target), "[A]\r\nK=2\r\n");
}

// A FIFO or device named like the file is never opened for good: reads are empty and
// writes fail at once, whether or not anybody writes to the FIFO.
TEST(ProfileWrite, WhatIsNoFileIsNeitherReadNorWritten) {
  TempFolder dir;
  const QString fifo = dir.Path("fifo.ini");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString link = dir.Path("link.ini");
  ASSERT_TRUE(QFile::link(fifo, link));
  for (const QString& path : {fifo, link, QStringLiteral("/dev/zero"), dir.Folder()}) {
    EXPECT_EQ(rt::ReadProfileString("A", "K", path), "") << path.toStdString();
    EXPECT_FALSE(rt::WriteProfileString("A", "K", "v", path)) << path.toStdString();
    EXPECT_EQ(rt::KindOf(path), rt::FileKind::kOther) << path.toStdString();
    EXPECT_FALSE(rt::ReadRegularFile(path)) << path.toStdString();
  }
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), fifo);
}

// A hand-edited file of 5 MB takes its keys in place like a small one, in one write.
TEST(ProfileWrite, ALargeFileTakesAWholeSaveInOneWrite) {
  TempFolder dir;
  const QString ini = dir.Path("QT.Ini");
  QByteArray comments;
  while (comments.size() < 5 * 1024 * 1024) comments += "; a parent's notes, line " + QByteArray::number(comments.size()) + "\r\n";
  const QByteArray before = "[GLOBAL]\r\nHIGHSCORE= 100\r\n" + comments + "\r\n[SPEECH]\r\n" + comments + "PLAYED_7=\r\n\r\n";
  TempFolder::Put(ini, before);
  rt::ProfileEdit edit(ini);
  for (int n = 1; n <= 32; ++n) EXPECT_TRUE(edit.Set("SPEECH", "PLAYED_" + QString::number(n), "1,2"));
  EXPECT_TRUE(edit.Set("GLOBAL", "HIGHSCORE", "250"));
  ASSERT_TRUE(edit.Save());
  QByteArray expected = before;
  expected.replace("HIGHSCORE= 100", "HIGHSCORE=250");
  expected.replace("PLAYED_7=\r\n", "PLAYED_7=1,2\r\n");
  QByteArray appended;
  for (int n = 1; n <= 32; ++n)
    if (n != 7) appended += "PLAYED_" + QByteArray::number(n) + "=1,2\r\n";
  expected.insert(expected.size() - 2, appended);
  EXPECT_TRUE(TempFolder::Get(ini) == expected);
  EXPECT_EQ(FolderEntries(dir.Folder()), QStringList{"QT.Ini"});
}

TEST(ProfileWrite, CreatesAMissingFileAndRoundTripsLongValues) {
  TempFolder dir;
  const QString ini = dir.Path("new.ini");
  ASSERT_TRUE(rt::WriteProfileString("S", "K", QString(40000, 'x'), ini));
  EXPECT_EQ(TempFolder::Get(ini), "[S]\r\nK=" + QByteArray(40000, 'x') + "\r\n");
  EXPECT_EQ(Read(ini, "S", "K").size(), 32000) << "a read cuts a value at 32000 characters";
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

// A save killed at any moment (kill -9) leaves the old or the new file, never a torn or
// empty one.
TEST(ProfileWrite, AKilledSaveLeavesAWholeFile) {
  TempFolder dir;
  const QString ini = dir.Path("QT.Ini");
  const auto save = [&](const QString& value) {
    rt::ProfileEdit edit(ini);
    for (int n = 1; n <= 146; ++n) edit.Set(n % 2 ? "A" : "SPEECH", "KEY_" + QString::number(n), value);
    return edit.Save();
  };
  const QString longValue(300, 'a');
  const QString shortValue(3, 'b');
  TempFolder::Put(ini, "; notes\r\n");
  ASSERT_TRUE(save(longValue));
  const QByteArray longFile = TempFolder::Get(ini);
  ASSERT_TRUE(save(shortValue));
  const QByteArray shortFile = TempFolder::Get(ini);
  std::mt19937 random(13);
  for (int round = 1; round <= 200; ++round) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      for (int i = 0;; ++i) {
        save(i % 2 ? longValue : shortValue);
        if (::write(pipeFds[1], "w", 1) != 1) ::_exit(1);
      }
    }
    ::close(pipeFds[1]);
    // The kill falls at a random point of the save after a random number of whole ones.
    const int saves = 1 + static_cast<int>(random() % 3);
    char sink[4];
    for (int done = 0; done < saves;) {
      const ssize_t n = ::read(pipeFds[0], sink, static_cast<size_t>(saves - done));
      ASSERT_GT(n, 0);
      done += static_cast<int>(n);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    const QByteArray file = TempFolder::Get(ini);
    ASSERT_TRUE(file == longFile || file == shortFile) << "round " << round << ": " << file.size() << " bytes";
  }
  rt::RepairInterruptedWrites(ini);
  EXPECT_EQ(FolderEntries(dir.Folder()), QStringList{"QT.Ini"}) << "a start clears what the kills left";
}

// An in-place save (the file is hard-linked) cut short at any byte of its rewrite: here
// the file size limit kills it there. The next start puts the old contents back to the
// byte and drops the rollback copy; a file written by another save since stays as it is.
TEST(ProfileWrite, AnInPlaceSaveCutShortIsRolledBackAtTheNextStart) {
  TempFolder dir;
  const StateFolder state;
  const QString ini = dir.Path("QT.Ini");
  QByteArray notes;
  while (notes.size() < 64 * 1024) notes += "; a parent's notes, line " + QByteArray::number(notes.size()) + "\r\n";
  TempFolder::Put(ini, notes);
  ASSERT_EQ(::link(QFile::encodeName(ini).constData(), QFile::encodeName(dir.Path("hard.ini")).constData()), 0);
  const auto save = [&](const QString& value) {
    rt::ProfileEdit edit(ini);
    for (int n = 1; n <= 40; ++n) edit.Set("SPEECH", "PLAYED_" + QString::number(n), value);
    return edit.Save();
  };
  const QString longValue(300, 'a');
  const QString shortValue(3, 'b');
  ASSERT_TRUE(save(longValue));
  const QByteArray longFile = TempFolder::Get(ini);
  ASSERT_TRUE(save(shortValue));
  const QByteArray shortFile = TempFolder::Get(ini);
  const auto cutShort = [&](const QString& value, qsizetype limit) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_DFL);
      const struct rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
      ::setrlimit(RLIMIT_FSIZE, &size);
      ::_exit(save(value) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
  };
  const struct {
    const char* name;
    const QByteArray& before;
    const QString& value;
    const QByteArray& after;
  } cases[] = {
      {"growing", shortFile, longValue, longFile},
      {"shrinking", longFile, shortValue, shortFile},
  };
  for (const auto& c : cases) {
    const qsizetype first = std::mismatch(c.before.begin(), c.before.end(), c.after.begin()).first - c.before.begin();
    int torn = 0;
    for (qsizetype limit = first; limit < c.after.size(); limit += (c.after.size() - first) / 16 + 1) {
      TempFolder::Put(ini, c.before);
      ASSERT_TRUE(cutShort(c.value, limit)) << c.name << ": not cut at " << limit;
      if (TempFolder::Get(ini) != c.before) ++torn;
      rt::RepairInterruptedWrites(ini);
      ASSERT_TRUE(TempFolder::Get(ini) == c.before) << c.name << ", cut at " << limit;
      EXPECT_EQ(state.Left(), QStringList()) << c.name << ", cut at " << limit;
    }
    EXPECT_GT(torn, 10) << c.name;
  }
  TempFolder::Put(ini, shortFile);
  ASSERT_TRUE(cutShort(longValue, (shortFile.size() + longFile.size()) / 2));
  TempFolder::Put(ini, "[GLOBAL]\r\nHIGHSCORE=777\r\n");
  rt::RepairInterruptedWrites(ini);
  EXPECT_EQ(TempFolder::Get(ini), "[GLOBAL]\r\nHIGHSCORE=777\r\n");
  EXPECT_EQ(state.Left(), QStringList());
}
