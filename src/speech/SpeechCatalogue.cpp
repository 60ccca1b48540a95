#include "speech/SpeechCatalogue.h"

#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"
#include "settings/SpeechTokens.h"
#include "settings/Tokens.h"
#include "support/Folders.h"

namespace {

const QString& kSpeechSection = IniSection::Speech;
const QString kComma = QStringLiteral(",");

int16_t CountRecordings(const QString& SpeechPath, const QString& Token) {
  int16_t count = 0;
  while (count < kMaxRecordings && FileExists(RecordingFile(SpeechPath, Token, count + 1))) ++count;
  return count;
}

SpeechEntry LoadEntry(const QString& SpeechPath, int token) {
  const QString number = QString::number(token);
  SpeechEntry entry;
  entry.Token = GetToken(SpeechTokenList, kComma, static_cast<int16_t>(token));
  entry.ElementCount = CountRecordings(SpeechPath, entry.Token);
  entry.Played = ReadIniValue(kSpeechSection, QStringLiteral("PLAYED_") + number);
  // The list keeps the separator it was appended with until a save strips it.
  if (entry.Played.startsWith(kComma)) entry.Played.remove(0, 1);
  // A hand-edited value beyond a byte takes the nearest end of the range.
  entry.Probability = rt::ClampCByte(rt::Val(ReadIniValue(kSpeechSection, QStringLiteral("PROBABILITY_") + number)));
  entry.RepeatsAllowed =
      ReadIniValue(kSpeechSection, QStringLiteral("REPEATSALLOWED_") + number).toUpper() == QStringLiteral("TRUE");
  if (entry.Probability == 0) entry.Probability = DefaultProbability(token);
  return entry;
}

}  // namespace

QString ReadSpeechPath() {
  const QString path = ReadIniValue(QStringLiteral("Speech"), QStringLiteral("Speechpath"));
  return path.isEmpty() ? Folder::Speech : path;
}

QString RecordingFile(const QString& SpeechPath, const QString& Token, int Number) {
  const QString joined = rt::AppPath() + SpeechPath + Token + rt::FormatDigits(Number, 4) + QStringLiteral(".wav");
  return rt::ResolvePath(QStringLiteral("/"), joined);
}

uint8_t DefaultProbability(int Token) {
  switch (Token) {
    case 7: return 70;
    case 8: return 20;
    case 9: return 3;
    case 10: return 40;
    case 13: return 33;
    case 22: return 40;
    default: return 100;
  }
}

SpeechTable BuildSpeechCatalogue(const QString& SpeechPath, bool LearnMode) {
  const int tokens = CountTokens(SpeechTokenList, kComma);
  SpeechTable table(static_cast<size_t>(tokens) + 1);
  for (int i = 1; i <= tokens; ++i) table[static_cast<size_t>(i)] = LoadEntry(SpeechPath, i);
  if (!LearnMode) table[SpeechToken::ExplainShutUp].SpokenThisSession = true;
  return table;
}
