#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TempFolder.h"
#include "runtime/Files.h"
#include "runtime/RuntimeError.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"

namespace {

class IniHandler : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetAppPath(dir.Folder());
    IniFile = dir.Path("QT.Ini");
  }
  void TearDown() override { rt::SetAppPath({}); }

  QList<QByteArray> Lines() const { return TempFolder::Get(IniFile).split('\n'); }

  TempFolder dir;
};

}  // namespace

TEST_F(IniHandler, DefaultFileIsExactlyTheCommentedTemplate) {
  ASSERT_FALSE(FileExists(IniFile));
  WriteDefaultSettings();
  ASSERT_TRUE(FileExists(IniFile));
  const QByteArray bytes = TempFolder::Get(IniFile);
  EXPECT_EQ(bytes.size(), 3877);
  EXPECT_EQ(bytes.count("\r\n"), 205);
  EXPECT_EQ(bytes.count('\n'), 205);
  EXPECT_TRUE(bytes.startsWith("[GLOBAL]\r\nALLOWTIMESETTINGSEDIT=TRUE\r\nHIGHSCORE= 100\r\n\r\n[TIMES]\r\n\r\n"
                               "[COLORS]\r\n\r\n[SOUND]\r\n\r\n[SPEECH]\r\nSPEECHPATH=\r\n"));
  EXPECT_TRUE(bytes.endsWith("\r\nPLAYED_32=\r\n\r\n\r\n"));
  const QByteArray expectedLines[] = {
      ";  SPRG = 1      ' Programm wurde gestartet\r\nELEMENTCOUNT_1=\r\nPROBABILITY_1=\r\n"
      "REPEATSALLOWED_1=\r\nPLAYED_1=\r\n\r\n",
      ";  SVAA = 2      ' \xfc" "ber 300 Punkte mit einem Klick\r\n",
      ";  SVAH = 9      ' < 20 Punkte   (sehr selten)\r\n",
      ";  SSTA = 10     ' starte neues Spiel\r\n",
      ";  SQNL = 12     ' Abfrage 'neues Spiel?' im Lernmodus (inkl. Erkl\xe4rung der Schaltfl\xe4" "chen)\r\n",
      ";  STID = 18     ' noch  5 Minuten\r\n",
      ";  SSHU = 29     ' Shut-Up-Button gedr\xfc" "ckt\r\n",
      ";  SNOT = 32     ' Spielzeit abgelaufen\r\n",
  };
  for (const QByteArray& expected : expectedLines) EXPECT_TRUE(bytes.contains(expected)) << expected.data();
}

TEST_F(IniHandler, DefaultFileIsFilledInPlace) {
  WriteDefaultSettings();
  const QByteArray before = TempFolder::Get(IniFile);
  EXPECT_TRUE(WriteIniValue("TIMES", "RESTRICTEDTIME", "1800"));
  EXPECT_TRUE(WriteIniValue("SPEECH", "PROBABILITY_7", " 70"));
  QByteArray expected = before;
  expected.replace("[TIMES]\r\n", "[TIMES]\r\nRESTRICTEDTIME=1800\r\n");
  expected.replace("PROBABILITY_7=\r\n", "PROBABILITY_7= 70\r\n");
  EXPECT_EQ(TempFolder::Get(IniFile), expected);
  EXPECT_EQ(ReadIniValue("Times", "RestrictedTime"), "1800");
  EXPECT_EQ(ReadIniValue("Speech", "PROBABILITY_7"), "70");
  EXPECT_EQ(ReadIniValue("GLOBAL", "HIGHSCORE"), "100");
  EXPECT_EQ(ReadIniValue("SPEECH", "PLAYED_3"), "");
}

TEST_F(IniHandler, FallbackFileAndFailedWrites) {
  EXPECT_TRUE(WriteIniValue("GLOBAL", "GAMEROWS", "14", true));
  EXPECT_FALSE(FileExists(IniFile));
  EXPECT_EQ(TempFolder::Get(dir.Path("RUMPEL.INI")), "[GLOBAL]\r\nGAMEROWS=14\r\n");

  TempFolder::Put(IniFile, "[GLOBAL]\r\nGAMEROWS=12\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(IniFile).constData(), 0444), 0);
  EXPECT_FALSE(WriteIniValue("GLOBAL", "GAMEROWS", "14"));
  EXPECT_TRUE(WriteIniValue("GLOBAL", "GAMEROWS", ""));  // an empty value never reports failure
  EXPECT_EQ(ReadIniValue("GLOBAL", "GameRows"), "12");
}

TEST_F(IniHandler, MissingFoldersNeitherExistNorWrite) {
  IniFile = dir.Path("no/such/QT.Ini");
  EXPECT_FALSE(FileExists(IniFile));
  EXPECT_FALSE(FileExists(dir.Folder()));
  EXPECT_EQ(ReadIniValue("GLOBAL", "HIGHSCORE"), "");
  EXPECT_FALSE(WriteIniValue("GLOBAL", "HIGHSCORE", "5"));
  EXPECT_THROW(WriteDefaultSettings(), rt::RuntimeError);
}
