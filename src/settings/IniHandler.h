#pragma once
// The settings file: one key read or written per call, straight to the file, nothing
// cached. Missing files, sections and keys read as empty text; each reader applies
// its own default.
#include <QString>
#include <cstdint>

#include "runtime/Profile.h"

// Full path of the settings file; the main window sets it before anything reads it.
extern QString IniFile;

// The value of Key in Section of IniFile without surrounding blanks; empty when
// missing. At most 32000 characters. Never fails.
QString ReadIniValue(const QString& Section, const QString& Key);

// Stores Value under Key in Section of IniFile, or of "RUMPEL.INI" in the program's
// folder when UseFallback is true. False only when Value is not empty and the write
// failed.
bool WriteIniValue(const QString& Section, const QString& Key, const QString& Value,
                   bool UseFallback = false);

// Many keys of IniFile written as one: the file is read when the batch starts, each
// Write changes it in memory exactly as WriteIniValue would change the file, and Commit
// writes the result once, so the file is either all old or all new.
class IniWriteBatch {
 public:
  IniWriteBatch();
  // False only when Value is not empty and cannot be stored.
  bool Write(const QString& Section, const QString& Key, const QString& Value);
  // False when the file could not be written; it then stays as it was.
  bool Commit();

 private:
  rt::ProfileEdit edit_;
};

// The sections of the settings file.
namespace IniSection {
inline const QString Global = QStringLiteral("GLOBAL");
inline const QString Times = QStringLiteral("TIMES");
inline const QString Colors = QStringLiteral("COLORS");
inline const QString Sound = QStringLiteral("SOUND");
inline const QString Speech = QStringLiteral("SPEECH");
}  // namespace IniSection

// The keys the settings load and save, written as a save spells them; a read finds a key
// in any spelling.
namespace IniKey {
// GLOBAL
inline const QString AllowTimeSettingsEdit = QStringLiteral("ALLOWTIMESETTINGSEDIT");
inline const QString GameRows = QStringLiteral("GAMEROWS");
inline const QString GameColumns = QStringLiteral("GAMECOLUMNS");
inline const QString Highscore = QStringLiteral("HIGHSCORE");
inline const QString PosTop = QStringLiteral("PosTop");
inline const QString PosLeft = QStringLiteral("PosLeft");
// TIMES
inline const QString RestrictedTime = QStringLiteral("RESTRICTEDTIME");
inline const QString LastPlayDate = QStringLiteral("LASTPLAYDATE");
inline const QString PlayTime = QStringLiteral("PLAYTIME");
inline const QString AbsoluteTime = QStringLiteral("ABSOLUTETIME");
inline const QString ToleranceTime = QStringLiteral("TOLERANCETIME");
// COLORS
inline const QString BallColors = QStringLiteral("BALLCOLORS");
inline const QString MaxBallsOnStart = QStringLiteral("MAXBALLSONSTART");
inline const QString ColorChoice = QStringLiteral("COLORCHOICE");
// SOUND
inline const QString SoundOn = QStringLiteral("SOUNDON");
inline const QString LearnMode = QStringLiteral("LEARNMODE");
inline const QString Effects = QStringLiteral("EFFECTS");
inline const QString Comments = QStringLiteral("COMMENTS");
}  // namespace IniKey

// The texts of a flag in the settings file.
namespace IniFlag {
inline const QString True = QStringLiteral("TRUE");
inline const QString False = QStringLiteral("FALSE");
}  // namespace IniFlag

// The key of the picture number chosen for colour n (1-based) in the chosen-colour mode.
QString ChooseColorKey(int n);
// That picture number as stored, rounded to the nearest whole number; 0 when missing.
int16_t ReadChosenColor(int n);
