#include "settings/Settings.h"

#include <algorithm>

#include "runtime/Dates.h"
#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "settings/ColorMap.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"
#include "settings/SpeechTokens.h"

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

QString Upper(const QString& section, const QString& key) { return ReadIniValue(section, key).toUpper(); }
int16_t ReadInt16(const QString& section, const QString& key) { return rt::ClampCInt(rt::Val(ReadIniValue(section, key))); }
int32_t ReadInt32(const QString& section, const QString& key) { return rt::ClampCLng(rt::Val(ReadIniValue(section, key))); }
float ReadSingle(const QString& section, const QString& key) { return rt::ClampCSng(rt::Val(ReadIniValue(section, key))); }

QString FlagText(bool flag) { return flag ? IniFlag::True : IniFlag::False; }

// The map is made anew, all zeros, before it is built: a mode that builds nothing leaves
// zeros.
void LoadColorMap() {
  Colors.assign(std::max<int>(BallColors, 0) + 1, 0);
  BuildSettingsColorMap();
}

// The day's play time counts only for the day it was saved on; a date that cannot be
// read is another day.
void ReadPlayTimeToday(SettingsHost& host) {
  QString dateText = ReadIniValue(kTimes, IniKey::LastPlayDate);
  if (dateText.isEmpty()) dateText = kNoPlayDate;
  const auto lastPlayed = rt::ParseShortDate(dateText);
  if (lastPlayed && *lastPlayed == rt::Today())
    host.SetPlayTimeToday(ReadSingle(kTimes, IniKey::PlayTime));
}

void ReadTimes(SettingsHost& host) {
  RestrictedTime = ReadSingle(kTimes, IniKey::RestrictedTime);
  ToleranceTime = ReadSingle(kTimes, IniKey::ToleranceTime);
  if (ToleranceTime == 0) ToleranceTime = kDefaultToleranceTime;
  const bool limited = DailyLimitInForce(RestrictedTime);
  host.SetTimeLeftVisible(limited);
  if (limited) {
    if (RestrictedTime == 0) RestrictedTime = kDefaultRestrictedTime;
    ReadPlayTimeToday(host);
  }
  AbsoluteTime = ReadSingle(kTimes, IniKey::AbsoluteTime);
}

void ReadSwitches(SettingsHost& host) {
  // Only the exact "FALSE" turns the sound off; the other switches ignore case.
  SoundOn = ReadIniValue(kSound, IniKey::SoundOn) != IniFlag::False;
  host.CheckSoundMenu(SoundOn);
  LearnMode = Upper(kSound, IniKey::LearnMode) != IniFlag::False;
  EffectsOn = Upper(kSound, IniKey::Effects) != IniFlag::False;
  CommentsOn = Upper(kSound, IniKey::Comments) != IniFlag::False;
}

void SaveSpeechStatistics(SettingsHost& host, IniWriteBatch& file) {
  for (int n = 1; n <= kSpeechTokenCount; ++n) {
    const SpeechStatistics entry = host.SpeechEntry(n);
    file.Write(kSpeech, SpeechKey::ElementCount(n), rt::CStr(entry.ElementCount));
    file.Write(kSpeech, SpeechKey::Probability(n), rt::Str(entry.Probability));
    file.Write(kSpeech, SpeechKey::RepeatsAllowed(n), FlagText(entry.RepeatsAllowed));
    QString played;
    if (!entry.RepeatsAllowed) {
      played = entry.Played;
      if (played.startsWith(QLatin1Char(','))) {
        played.remove(0, 1);
        host.SetPlayed(n, played);
      }
    }
    file.Write(kSpeech, SpeechKey::Played(n), played);
  }
}

// Before the first read: what an earlier run killed during a save left behind is put
// right, a settings file that is no file stops the start, and a missing one is replaced
// by the default file. So is an empty one (a first start that was cut short), where it
// can be written; one that cannot is read like any file the game may not write: every
// value takes its default.
void PrepareSettingsFile() {
  rt::RepairInterruptedWrites(IniFile);
  if (rt::KindOf(IniFile) == rt::FileKind::kOther) rt::Raise(rt::ErrFileAccess);
  if (!FileExists(IniFile)) {
    WriteDefaultSettings();
    return;
  }
  if (rt::FileLen(IniFile) > 0) return;
  try {
    WriteDefaultSettings();
  } catch (const rt::RuntimeError& e) {
    if (e.Number() != rt::ErrFileAccess) throw;
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
  PrepareSettingsFile();
  AllowTimeSettingsEdit = Upper(kGlobal, IniKey::AllowTimeSettingsEdit) == IniFlag::True;
  host.SetWindowTop(ReadSingle(kGlobal, IniKey::PosTop));
  host.SetWindowLeft(ReadSingle(kGlobal, IniKey::PosLeft));
  host.SetGameRows(ReadInt16(kGlobal, IniKey::GameRows));
  host.SetGameColumns(ReadInt16(kGlobal, IniKey::GameColumns));
  Highscore = ReadInt32(kGlobal, IniKey::Highscore);
  host.SetMaxBallsOnStart(ReadInt16(kColors, IniKey::MaxBallsOnStart));
  BallColors = ReadInt16(kColors, IniKey::BallColors);
  ColorChoice = ReadInt16(kColors, IniKey::ColorChoice);
  if (BallColors == 0) BallColors = kDefaultBallColors;
  LoadColorMap();
  ReadTimes(host);
  ReadSwitches(host);
}

bool SaveSettings(SettingsHost& host, bool NoSpeech) {
  const BusyPointer busy(host);
  IniWriteBatch file;
  file.Write(kGlobal, IniKey::AllowTimeSettingsEdit, FlagText(AllowTimeSettingsEdit));
  file.Write(kGlobal, IniKey::GameRows, rt::CStr(host.GameRows()));
  file.Write(kGlobal, IniKey::GameColumns, rt::CStr(host.GameColumns()));
  file.Write(kGlobal, IniKey::Highscore, rt::CStr(Highscore));
  file.Write(kGlobal, IniKey::PosTop, rt::CStr(host.WindowTop()));
  file.Write(kGlobal, IniKey::PosLeft, rt::CStr(host.WindowLeft()));

  file.Write(kTimes, IniKey::RestrictedTime, rt::CStr(RestrictedTime));
  file.Write(kTimes, IniKey::LastPlayDate, rt::ShortDateText(rt::Today()));
  file.Write(kTimes, IniKey::PlayTime, rt::CStr(host.PlayTimeToday()));
  file.Write(kTimes, IniKey::AbsoluteTime, rt::CStr(AbsoluteTime));
  file.Write(kTimes, IniKey::ToleranceTime, rt::CStr(ToleranceTime));

  file.Write(kColors, IniKey::BallColors, rt::CStr(BallColors));
  file.Write(kColors, IniKey::MaxBallsOnStart, rt::CStr(host.MaxBallsOnStart()));

  file.Write(kSound, IniKey::SoundOn, FlagText(SoundOn));
  file.Write(kSound, IniKey::LearnMode, FlagText(LearnMode));
  file.Write(kSound, IniKey::Effects, FlagText(EffectsOn));
  file.Write(kSound, IniKey::Comments, FlagText(CommentsOn));

  file.Write(kSpeech, SpeechKey::Path, host.SpeechPath());
  if (CommentsOn && !NoSpeech) SaveSpeechStatistics(host, file);
  return file.Commit();
}
