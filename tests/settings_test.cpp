#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <limits>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "TempFolder.h"
#include "runtime/Clock.h"
#include "runtime/Files.h"
#include "runtime/Random.h"
#include "runtime/RuntimeError.h"
#include "settings/IniHandler.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"

namespace {

// Stands in for the main window.
class FakeHost : public SettingsHost {
 public:
  int16_t GameRows() const override { return rows; }
  void SetGameRows(int16_t v) override { rows = v; }
  int16_t GameColumns() const override { return columns; }
  void SetGameColumns(int16_t v) override { columns = v; }
  int16_t MaxBallsOnStart() const override { return maxBalls; }
  void SetMaxBallsOnStart(int16_t v) override { maxBalls = v; }
  float PlayTimeToday() const override { return playTime; }
  void SetPlayTimeToday(float v) override { playTime = v; }
  float WindowTop() const override { return top; }
  void SetWindowTop(float v) override { top = v; }
  float WindowLeft() const override { return left; }
  void SetWindowLeft(float v) override { left = v; }
  void SetTimeLeftVisible(bool v) override { timeLeftShown = v; }
  void CheckSoundMenu(bool v) override { soundChecked = v; }
  void SetBusyPointer(bool busy) override { pointerLog += busy ? "11 " : "0 "; }
  QString SpeechPath() const override { return speechPath; }
  SpeechStatistics SpeechEntry(int token) const override { return speech.at(token); }
  void SetPlayed(int token, const QString& played) override { speech[token].Played = played; }

  int16_t rows = 0, columns = 0, maxBalls = 0;
  float playTime = 0, top = 0, left = 0;
  std::optional<bool> timeLeftShown, soundChecked;
  std::string pointerLog;
  QString speechPath = "\\sounds\\speech\\";
  std::map<int, SpeechStatistics> speech;
};

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsState();
    rt::SetAppPath(dir.Folder());
    rt::SetClock(&clock);
    IniFile = dir.Path("QT.Ini");
    for (int n = 1; n <= 32; ++n) host.speech[n] = {int16_t(n % 4), uint8_t(100), false, ""};
  }
  void TearDown() override {
    rt::SetClock(nullptr);
    rt::SetAppPath({});
  }
  void Given(const QByteArray& text) { TempFolder::Put(IniFile, text); }
  int KeyLines() const { return int(TempFolder::Get(IniFile).count('=')); }

  TempFolder dir;
  rt::VirtualClock clock{QDate(2024, 3, 9), 36000};
  FakeHost host;
};

}  // namespace

TEST_F(Settings, NoFileWritesTheDefaultFileAndLoadsItsDefaults) {
  ReadSettings(host);
  EXPECT_EQ(TempFolder::Get(IniFile).size(), 3877);
  EXPECT_TRUE(AllowTimeSettingsEdit);
  EXPECT_EQ(Highscore, 100);
  EXPECT_EQ(BallColors, 5);
  EXPECT_EQ(ColorChoice, 0);
  EXPECT_EQ(Colors, (std::vector<int16_t>{0, 1, 2, 3, 4, 0}));
  EXPECT_EQ(RestrictedTime, 1800);
  EXPECT_EQ(ToleranceTime, 30);
  EXPECT_TRUE(SoundOn && LearnMode && EffectsOn && CommentsOn);
  EXPECT_EQ(host.playTime, 0);
  EXPECT_EQ(host.timeLeftShown, true);
  EXPECT_EQ(host.soundChecked, true);
  EXPECT_EQ(host.rows, 0);  // the layout step applies the board defaults
}

TEST_F(Settings, DailyLimitAndTheDayItWasSavedOn) {
  const struct {
    const char* restricted; const char* date; const char* tolerance;
    float restrictedAfter; bool shown; float playTime; float toleranceAfter;
  } cases[] = {
      {"-1", "09.03.2024", "0", -1, false, 0, 30},  // no limit: the play time is not read
      {"-1", "09.03.2024", "12", -1, false, 0, 12},
      {"-0.5", "09.03.2024", "", -0.5f, true, 95.5f, 30},
      {"", "09.03.2024", "0", 1800, true, 95.5f, 30},
      {"600", "08.03.2024", "0", 600, true, 0, 30},  // another day
      {"600", "Montag", "45", 600, true, 0, 45},     // no date at all
      {"600", "31.02.2024", "-1", 600, true, 0, -1},
      {"600", "", "", 600, true, 0, 30},
  };
  for (const auto& c : cases) {
    FakeHost fresh;
    Given(QByteArray("[TIMES]\r\nRESTRICTEDTIME=") + c.restricted + "\r\nLASTPLAYDATE=" + c.date +
          "\r\nPLAYTIME=95.5\r\nTOLERANCETIME=" + c.tolerance + "\r\n");
    ReadSettings(fresh);
    const std::string name = std::string(c.restricted) + " / " + c.date + " / " + c.tolerance;
    EXPECT_EQ(RestrictedTime, c.restrictedAfter) << name;
    EXPECT_EQ(fresh.timeLeftShown, c.shown) << name;
    EXPECT_EQ(fresh.playTime, c.playTime) << name;
    EXPECT_EQ(ToleranceTime, c.toleranceAfter) << name;
  }
}

TEST_F(Settings, EachSwitchHasItsOwnTest) {
  const struct { const char* key; const char* text; bool SoundOn, LearnMode, EffectsOn, CommentsOn; } cases[] = {
      {"SOUNDON", "false", true, true, true, true},   {"SOUNDON", "FALSE", false, true, true, true},
      {"LEARNMODE", "false", true, false, true, true}, {"EFFECTS", "False", true, true, false, true},
      {"COMMENTS", "FALSE", true, true, true, false},  {"COMMENTS", "no", true, true, true, true},
  };
  for (const auto& c : cases) {
    Given(QByteArray("[SOUND]\r\n") + c.key + "=" + c.text + "\r\n");
    ReadSettings(host);
    const std::string name = std::string(c.key) + "=" + c.text;
    EXPECT_EQ(SoundOn, c.SoundOn) << name;
    EXPECT_EQ(host.soundChecked, c.SoundOn) << name;
    EXPECT_EQ(LearnMode, c.LearnMode) << name;
    EXPECT_EQ(EffectsOn, c.EffectsOn) << name;
    EXPECT_EQ(CommentsOn, c.CommentsOn) << name;
  }
  for (const char* text : {"true", "True", "TRUE"}) {
    Given(QByteArray("[GLOBAL]\r\nALLOWTIMESETTINGSEDIT=") + text + "\r\n");
    ReadSettings(host);
    EXPECT_TRUE(AllowTimeSettingsEdit) << text;
  }
  Given("[GLOBAL]\r\nALLOWTIMESETTINGSEDIT=yes\r\n");
  ReadSettings(host);
  EXPECT_FALSE(AllowTimeSettingsEdit);
}

TEST_F(Settings, HandEditedNumbersAreClampedNotFatal) {
  Given("[GLOBAL]\r\nPosTop=1e39\r\nPosLeft=-240.5\r\nGAMEROWS=70000\r\nGameColumns=abc\r\n"
        "HIGHSCORE=99999999999\r\n[COLORS]\r\nMAXBALLSONSTART=-70000\r\nBALLCOLORS= 7 colours\r\n"
        "[TIMES]\r\nTOLERANCETIME=-1e50\r\nAbsoluteTime=12.5.3\r\n");
  ReadSettings(host);
  EXPECT_EQ(host.top, std::numeric_limits<float>::max());
  EXPECT_EQ(host.left, -240.5f);
  EXPECT_EQ(host.rows, 32767);
  EXPECT_EQ(host.columns, 0);
  EXPECT_EQ(Highscore, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(host.maxBalls, -32768);
  EXPECT_EQ(BallColors, 7);
  EXPECT_EQ(ToleranceTime, std::numeric_limits<float>::lowest());
  EXPECT_EQ(AbsoluteTime, 12.5f);
}

TEST_F(Settings, ColourMapFollowsTheColourMode) {
  rt::SeedRandom(11);
  Given("[COLORS]\r\nBALLCOLORS=3\r\nCOLORCHOICE=2\r\nCHOOSECOLOR1=9\r\nCHOOSECOLOR2=4\r\nCHOOSECOLOR3=7.5\r\n");
  ReadSettings(host);
  EXPECT_EQ(Colors, (std::vector<int16_t>{9, 4, 8, 0}));

  Given("[COLORS]\r\nBALLCOLORS=4\r\nCOLORCHOICE=1\r\n");
  ReadSettings(host);
  ASSERT_EQ(Colors.size(), 5u);
  EXPECT_EQ(std::set<int16_t>(Colors.begin(), Colors.end() - 1).size(), 4u);
  EXPECT_EQ(Colors.back(), -1);

  Given("[COLORS]\r\nBALLCOLORS=2\r\nCOLORCHOICE=3\r\n");
  ReadSettings(host);
  EXPECT_EQ(Colors, (std::vector<int16_t>{0, 0, 0}));

  Given("[COLORS]\r\nBALLCOLORS=-3\r\n");
  ReadSettings(host);
  EXPECT_EQ(Colors, (std::vector<int16_t>{0}));
}

TEST_F(Settings, SaveWithoutSpeechWritesTheStateInOrder) {
  AllowTimeSettingsEdit = true;
  Highscore = 250;
  RestrictedTime = 1800;
  AbsoluteTime = 123456789;
  ToleranceTime = 30;
  BallColors = 5;
  SoundOn = LearnMode = CommentsOn = true;
  host.rows = 12;
  host.columns = 11;
  host.maxBalls = 8;
  host.top = 1200.5f;
  host.left = -15;
  host.playTime = 0.5f;
  SaveSettings(host, true);
  EXPECT_EQ(TempFolder::Get(IniFile),
            "[GLOBAL]\r\nALLOWTIMESETTINGSEDIT=TRUE\r\nGAMEROWS=12\r\nGAMECOLUMNS=11\r\nHIGHSCORE=250\r\n"
            "PosTop=1200.5\r\nPosLeft=-15\r\n"
            "[TIMES]\r\nRESTRICTEDTIME=1800\r\nLASTPLAYDATE=09.03.2024\r\nPLAYTIME=.5\r\n"
            "ABSOLUTETIME=1.234568E+08\r\nTOLERANCETIME=30\r\n"
            "[COLORS]\r\nBALLCOLORS=5\r\nMAXBALLSONSTART=8\r\n"
            "[SOUND]\r\nSOUNDON=TRUE\r\nLEARNMODE=TRUE\r\nEFFECTS=FALSE\r\nCOMMENTS=TRUE\r\n"
            "[SPEECH]\r\nSPEECHPATH=\\sounds\\speech\\\r\n");
  EXPECT_EQ(KeyLines(), 18);
  EXPECT_EQ(host.pointerLog, "11 0 ");

  // A file that may not be written is reported, and keeps every byte.
  const QByteArray saved = TempFolder::Get(IniFile);
  ASSERT_EQ(::chmod(QFile::encodeName(IniFile).constData(), 0444), 0);
  Highscore = 9999;
  EXPECT_FALSE(SaveSettings(host, true));
  EXPECT_EQ(TempFolder::Get(IniFile), saved);
}

TEST_F(Settings, SpeechStatisticsOnlyWithCommentsOn) {
  const struct { bool commentsOn; bool noSpeech; int keys; } cases[] = {
      {true, false, 146}, {true, true, 18}, {false, false, 18}};
  for (const auto& c : cases) {
    QFile::remove(IniFile);
    CommentsOn = c.commentsOn;
    SaveSettings(host, c.noSpeech);
    EXPECT_EQ(KeyLines(), c.keys) << c.commentsOn << c.noSpeech;
  }
}

TEST_F(Settings, SpeechStatisticsFormsAndTheLeadingComma) {
  CommentsOn = true;
  host.speech[7] = {12, 70, false, ",3,1"};
  host.speech[8] = {4, 20, true, ",2"};
  host.speech[9] = {0, 3, false, "5"};
  ReadSettings(host);  // starts from the commented default file
  SaveSettings(host);
  EXPECT_EQ(ReadIniValue("SPEECH", "ELEMENTCOUNT_7"), "12");
  EXPECT_TRUE(TempFolder::Get(IniFile).contains("PROBABILITY_7= 70\r\n"));
  EXPECT_EQ(ReadIniValue("SPEECH", "REPEATSALLOWED_7"), "FALSE");
  EXPECT_EQ(ReadIniValue("SPEECH", "PLAYED_7"), "3,1");
  EXPECT_EQ(host.speech[7].Played, "3,1");
  EXPECT_EQ(ReadIniValue("SPEECH", "REPEATSALLOWED_8"), "TRUE");
  EXPECT_EQ(ReadIniValue("SPEECH", "PLAYED_8"), "");
  EXPECT_EQ(host.speech[8].Played, ",2");
  EXPECT_EQ(ReadIniValue("SPEECH", "PLAYED_9"), "5");
  // Filled in place under the comment lines: the file grows by the values alone.
  const QByteArray file = TempFolder::Get(IniFile);
  EXPECT_TRUE(file.contains("Punkte mit einem Klick\r\nELEMENTCOUNT_7=12\r\nPROBABILITY_7= 70\r\n"
                            "REPEATSALLOWED_7=FALSE\r\nPLAYED_7=3,1\r\n\r\n"));
}

// What stands under the settings file's name before the first read: an empty file (a
// first start that was cut short) is a missing one where it can be written and read as
// it is where it cannot, leftovers of killed saves go, and anything that is no file
// stops the start with the file error instead of hanging.
TEST_F(Settings, TheFileBeforeTheFirstRead) {
  const QByteArray notOurs[] = {".QT.Ini.bak", ".QT.Ini.1234567", "QT.Ini.AbC123", ".qt.ini.AbC123"};
  for (const QByteArray& name : notOurs) TempFolder::Put(dir.Path(name), "x");
  for (const char* name : {".QT.Ini.AbC123", ".QT.Ini.x9Y8z7"}) TempFolder::Put(dir.Path(name), "[GLOBAL]\r\nHIG");
  Given("");
  ReadSettings(host);
  EXPECT_EQ(TempFolder::Get(IniFile).size(), 3877) << "an empty file is replaced by the default file";
  EXPECT_TRUE(AllowTimeSettingsEdit);
  EXPECT_EQ(Highscore, 100);
  QStringList left = QDir(dir.Folder()).entryList(QDir::Files | QDir::Hidden);
  left.removeOne("QT.Ini");
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, QStringList({".QT.Ini.1234567", ".QT.Ini.bak", ".qt.ini.AbC123", "QT.Ini.AbC123"}));

  Given("");
  ASSERT_EQ(::chmod(QFile::encodeName(IniFile).constData(), 0444), 0);
  ReadSettings(host);
  EXPECT_EQ(TempFolder::Get(IniFile), QByteArray()) << "an empty read-only file stays as it is";
  EXPECT_FALSE(AllowTimeSettingsEdit);
  EXPECT_EQ(Highscore, 0);
  EXPECT_EQ(RestrictedTime, 1800);

  QFile::remove(IniFile);
  ASSERT_EQ(::mkfifo(QFile::encodeName(IniFile).constData(), 0600), 0);
  try {
    ReadSettings(host);
    ADD_FAILURE() << "a FIFO was read as the settings file";
  } catch (const rt::RuntimeError& e) {
    EXPECT_EQ(e.Number(), rt::ErrFileAccess);
  }
}

namespace {

// Runs save as a user who cannot create files in folder but may write the file itself:
// root ignores permission bits, so as root the save runs in a child process with the
// rights of "nobody". Returns save's result, or nothing when no such set-up is possible.
std::optional<bool> SaveInReadOnlyFolder(const QString& folder, const QString& file,
                                         const std::function<bool()>& save) {
  const QByteArray folderName = QFile::encodeName(folder);
  const QByteArray fileName = QFile::encodeName(file);
  if (::geteuid() != 0) {
    if (::chmod(folderName.constData(), 0555) != 0) return std::nullopt;
    const bool saved = save();
    ::chmod(folderName.constData(), 0755);
    return saved;
  }
  constexpr uid_t kNobody = 65534;
  constexpr gid_t kNoGroup = 65534;
  if (::chmod(folderName.constData(), 0755) != 0 || ::chown(fileName.constData(), kNobody, kNoGroup) != 0)
    return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    // The folder must truly refuse a new file, or the case tests nothing.
    const QByteArray probe = folderName + "/probe";
    if (::open(probe.constData(), O_CREAT | O_WRONLY, 0600) >= 0) ::_exit(4);
    ::_exit(save() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

}  // namespace

// A family install: the program folder is read-only, the settings file in it writable.
// A save cannot put a new file beside it and rewrites it in place: every key arrives.
TEST_F(Settings, AWritableFileInAReadOnlyFolderIsSaved) {
  CommentsOn = true;
  Highscore = 4321;
  host.playTime = 754.5f;
  host.speech[7] = {12, 70, false, "3,1"};
  ReadSettings(host);  // the default file
  Highscore = 4321;
  host.playTime = 754.5f;
  TempFolder reference;
  const QString writable = reference.Path("QT.Ini");
  ASSERT_TRUE(QFile::copy(IniFile, writable));
  const QString iniFile = IniFile;
  IniFile = writable;
  ASSERT_TRUE(SaveSettings(host));
  IniFile = iniFile;

  const std::optional<bool> saved = SaveInReadOnlyFolder(dir.Folder(), IniFile, [&] { return SaveSettings(host); });
  if (!saved) GTEST_SKIP() << "no user here who cannot write the folder";
  EXPECT_TRUE(*saved);
  EXPECT_EQ(TempFolder::Get(IniFile), TempFolder::Get(writable));
  EXPECT_EQ(ReadIniValue("TIMES", "PLAYTIME"), "754.5");
  EXPECT_EQ(QDir(dir.Folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"QT.Ini"});
}
