#include "speech/SpeechCatalogue.h"

#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"
#include "settings/SpeechTokens.h"
#include "support/Folders.h"

namespace {

const QString kComma = QStringLiteral(",");

int16_t CountRecordings(const QString& SpeechPath, const QString& Token) {
  int16_t count = 0;
  while (count < kMaxRecordings && FileExists(RecordingFile(SpeechPath, Token, count + 1))) ++count;
  return count;
}

SpeechEntry LoadEntry(const QString& SpeechPath, int token) {
  SpeechEntry entry;
  entry.Token = SpeechTokenName(token);
  entry.ElementCount = CountRecordings(SpeechPath, entry.Token);
  entry.Played = ReadIniValue(IniSection::Speech, SpeechKey::Played(token));
  // The list keeps the separator it was appended with until a save strips it.
  if (entry.Played.startsWith(kComma)) entry.Played.remove(0, 1);
  // A hand-edited value beyond a byte takes the nearest end of the range.
  entry.Probability = rt::ClampCByte(rt::Val(ReadIniValue(IniSection::Speech, SpeechKey::Probability(token))));
  entry.RepeatsAllowed =
      ReadIniValue(IniSection::Speech, SpeechKey::RepeatsAllowed(token)).toUpper() == IniFlag::True;
  if (entry.Probability == 0) entry.Probability = DefaultProbability(token);
  return entry;
}

}  // namespace

QString ReadSpeechPath() {
  const QString path = ReadIniValue(IniSection::Speech, SpeechKey::Path);
  return path.isEmpty() ? Folder::Speech : path;
}

QString RecordingFile(const QString& SpeechPath, const QString& Token, int Number) {
  const QString joined = rt::AppPath() + SpeechPath + Token + rt::FormatDigits(Number, 4) + QStringLiteral(".wav");
  return rt::ResolvePath(QStringLiteral("/"), joined);
}

uint8_t DefaultProbability(int Token) {
  switch (Token) {
    case SpeechToken::PointsNearly100: return 70;
    case SpeechToken::PointsFrom20: return 20;
    case SpeechToken::PointsBelow20: return 3;
    case SpeechToken::NewGame: return 40;
    case SpeechToken::NewGameQuestion: return 33;
    case SpeechToken::EndBelow300: return 40;
    default: return 100;
  }
}

SpeechTable BuildSpeechCatalogue(const QString& SpeechPath, bool LearnMode) {
  SpeechTable table(static_cast<size_t>(kSpeechTokenCount) + 1);
  for (int i = 1; i <= kSpeechTokenCount; ++i) table[static_cast<size_t>(i)] = LoadEntry(SpeechPath, i);
  if (!LearnMode) table[SpeechToken::ExplainShutUp].SpokenThisSession = true;
  return table;
}
