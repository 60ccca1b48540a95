#include "settings/Settings.h"

#include <algorithm>

#include "runtime/Dates.h"
#include "runtime/Numbers.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"
#include "settings/SpeechTokens.h"
#include "support/RandomColors.h"
#include "support/Tokens.h"

namespace {

const QString& kGlobal = IniSection::Global;
const QString& kTimes = IniSection::Times;
const QString& kColors = IniSection::Colors;
const QString& kSound = IniSection::Sound;
const QString& kSpeech = IniSection::Speech;

// The day assumed when the file names none; it is long past, so no play time is kept.
const QString kNoPlayDate = QStringLiteral("23.04.2007");
constexpr float kDefaultRestrictedTime = 1800;
constexpr float kDefaultToleranceTime = 30;
constexpr int16_t kDefaultBallColors = 5;

QString Upper(const QString& section, const QString& key) { return ReadIniValue(section, key).toUpper(); }
int16_t ReadInt16(const QString& section, const QString& key) { return rt::ClampCInt(rt::Val(ReadIniValue(section, key))); }
int32_t ReadInt32(const QString& section, const QString& key) { return rt::ClampCLng(rt::Val(ReadIniValue(section, key))); }
float ReadSingle(const QString& section, const QString& key) { return rt::ClampCSng(rt::Val(ReadIniValue(section, key))); }

QString FlagText(bool flag) { return flag ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

void BuildColorMap() {
  Colors.assign(std::max<int>(BallColors, 0) + 1, 0);
  switch (ColorChoice) {
    case 0:
      for (int16_t k = 0; k < BallColors; ++k) Colors[k] = k;
      break;
    case 1:
      PickRandomColors(Colors);
      break;
    case 2:
      for (int16_t k = 0; k < BallColors; ++k)
        Colors[k] = ReadChosenColor(k + 1);
      break;
    default:
      break;
  }
}

// The day's play time counts only for the day it was saved on; a date that cannot be
// read is another day.
void ReadPlayTimeToday(SettingsHost& host) {
  QString dateText = ReadIniValue(kTimes, QStringLiteral("LASTPLAYDATE"));
  if (dateText.isEmpty()) dateText = kNoPlayDate;
  const auto lastPlayed = rt::ParseShortDate(dateText);
  if (lastPlayed && *lastPlayed == rt::Today())
    host.SetPlayTimeToday(ReadSingle(kTimes, QStringLiteral("PLAYTIME")));
}

void ReadTimes(SettingsHost& host) {
  RestrictedTime = ReadSingle(kTimes, QStringLiteral("RESTRICTEDTIME"));
  ToleranceTime = ReadSingle(kTimes, QStringLiteral("TOLERANCETIME"));
  if (ToleranceTime == 0) ToleranceTime = kDefaultToleranceTime;
  const bool limited = RestrictedTime > -1;
  host.SetTimeLeftVisible(limited);
  if (limited) {
    if (RestrictedTime == 0) RestrictedTime = kDefaultRestrictedTime;
    ReadPlayTimeToday(host);
  }
  AbsoluteTime = ReadSingle(kTimes, QStringLiteral("Absolutetime"));
}

void ReadSwitches(SettingsHost& host) {
  // Only the exact "FALSE" turns the sound off; the other switches ignore case.
  SoundOn = ReadIniValue(kSound, QStringLiteral("SOUNDON")) != QStringLiteral("FALSE");
  host.CheckSoundMenu(SoundOn);
  LearnMode = Upper(kSound, QStringLiteral("LEARNMODE")) != QStringLiteral("FALSE");
  EffectsOn = Upper(kSound, QStringLiteral("EFFECTS")) != QStringLiteral("FALSE");
  CommentsOn = Upper(kSound, QStringLiteral("COMMENTS")) != QStringLiteral("FALSE");
}

void SaveSpeechStatistics(SettingsHost& host) {
  const int tokens = CountTokens(SpeechTokenList, QStringLiteral(","));
  for (int n = 1; n <= tokens; ++n) {
    const SpeechStatistics entry = host.SpeechEntry(n);
    const QString number = QString::number(n);
    WriteIniValue(kSpeech, QStringLiteral("ELEMENTCOUNT_") + number, rt::CStr(entry.ElementCount));
    WriteIniValue(kSpeech, QStringLiteral("PROBABILITY_") + number, rt::Str(entry.Probability));
    WriteIniValue(kSpeech, QStringLiteral("REPEATSALLOWED_") + number, FlagText(entry.RepeatsAllowed));
    QString played;
    if (!entry.RepeatsAllowed) {
      played = entry.Played;
      if (played.startsWith(QLatin1Char(','))) {
        played.remove(0, 1);
        host.SetPlayed(n, played);
      }
    }
    WriteIniValue(kSpeech, QStringLiteral("PLAYED_") + number, played);
  }
}

class BusyPointer {
 public:
  explicit BusyPointer(SettingsHost& host) : host_(host) { host_.SetBusyPointer(true); }
  ~BusyPointer() { host_.SetBusyPointer(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  SettingsHost& host_;
};

}  // namespace

void ReadSettings(SettingsHost& host) {
  if (!FileExists(IniFile)) WriteDefaultSettings();
  AllowTimeSettingsEdit = Upper(kGlobal, QStringLiteral("ALLOWTIMESETTINGSEDIT")) == QStringLiteral("TRUE");
  host.SetWindowTop(ReadSingle(kGlobal, QStringLiteral("PosTop")));
  host.SetWindowLeft(ReadSingle(kGlobal, QStringLiteral("Posleft")));
  host.SetGameRows(ReadInt16(kGlobal, QStringLiteral("GameRows")));
  host.SetGameColumns(ReadInt16(kGlobal, QStringLiteral("GameColumns")));
  Highscore = ReadInt32(kGlobal, QStringLiteral("HIGHSCORE"));
  host.SetMaxBallsOnStart(ReadInt16(kColors, QStringLiteral("MaxBallsOnStart")));
  BallColors = ReadInt16(kColors, QStringLiteral("BALLCOLORS"));
  ColorChoice = ReadInt16(kColors, QStringLiteral("COLORCHOICE"));
  if (BallColors == 0) BallColors = kDefaultBallColors;
  BuildColorMap();
  ReadTimes(host);
  ReadSwitches(host);
}

void SaveSettings(SettingsHost& host, bool NoSpeech) {
  const BusyPointer busy(host);
  WriteIniValue(kGlobal, QStringLiteral("ALLOWTIMESETTINGSEDIT"), FlagText(AllowTimeSettingsEdit));
  WriteIniValue(kGlobal, QStringLiteral("GAMEROWS"), rt::CStr(host.GameRows()));
  WriteIniValue(kGlobal, QStringLiteral("GAMECOLUMNS"), rt::CStr(host.GameColumns()));
  WriteIniValue(kGlobal, QStringLiteral("HIGHSCORE"), rt::CStr(Highscore));
  WriteIniValue(kGlobal, QStringLiteral("PosTop"), rt::CStr(host.WindowTop()));
  WriteIniValue(kGlobal, QStringLiteral("PosLeft"), rt::CStr(host.WindowLeft()));

  WriteIniValue(kTimes, QStringLiteral("RESTRICTEDTIME"), rt::CStr(RestrictedTime));
  WriteIniValue(kTimes, QStringLiteral("LASTPLAYDATE"), rt::ShortDateText(rt::Today()));
  WriteIniValue(kTimes, QStringLiteral("PLAYTIME"), rt::CStr(host.PlayTimeToday()));
  WriteIniValue(kTimes, QStringLiteral("ABSOLUTETIME"), rt::CStr(AbsoluteTime));
  WriteIniValue(kTimes, QStringLiteral("TOLERANCETIME"), rt::CStr(ToleranceTime));

  WriteIniValue(kColors, QStringLiteral("BALLCOLORS"), rt::CStr(BallColors));
  WriteIniValue(kColors, QStringLiteral("MAXBALLSONSTART"), rt::CStr(host.MaxBallsOnStart()));

  WriteIniValue(kSound, QStringLiteral("SOUNDON"), FlagText(SoundOn));
  WriteIniValue(kSound, QStringLiteral("LEARNMODE"), FlagText(LearnMode));
  WriteIniValue(kSound, QStringLiteral("EFFECTS"), FlagText(EffectsOn));
  WriteIniValue(kSound, QStringLiteral("COMMENTS"), FlagText(CommentsOn));

  WriteIniValue(kSpeech, QStringLiteral("SPEECHPATH"), host.SpeechPath());
  if (CommentsOn && !NoSpeech) SaveSpeechStatistics(host);
}
