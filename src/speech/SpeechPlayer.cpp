#include "speech/SpeechPlayer.h"

#include <QStringList>

#include "runtime/Numbers.h"
#include "runtime/Random.h"
#include "settings/Tokens.h"

namespace {

const QString kComma = QStringLiteral(",");

// Once this share of the recordings counts as played, any recording may come again.
constexpr double kRepeatThresholdPercent = 80;
// Draws per recording before a played one is taken all the same.
constexpr int kTriesPerRecording = 7;

bool SwitchesAllow(uint8_t Token, const SpeechSwitches& Switches) {
  // The learn-mode question explains the buttons to a child who cannot read, so it
  // speaks even with comments off.
  if (Token == SpeechToken::NewGameLearnMode) return Switches.SoundOn && Switches.LearnMode;
  return Switches.SoundOn && Switches.CommentsOn;
}

// A probability below 100 speaks (p - 1) times in 100.
bool ProbabilityAllows(uint8_t Probability) {
  if (Probability >= 100) return true;
  const int draw = 100 - static_cast<int>(rt::Int(rt::Rnd() * 100));
  return draw < Probability;
}

bool WasPlayed(const QString& Played, int16_t Number) {
  for (const QString& item : Played.split(kComma, Qt::SkipEmptyParts))
    if (rt::Val(item) == Number) return true;
  return false;
}

// The list as it is counted after appends ",n": an empty list counts one.
void UpdateRepeatsAllowed(SpeechEntry& Entry) {
  const double played = CountTokens(Entry.Played, kComma);
  if (played * 100 / Entry.ElementCount >= kRepeatThresholdPercent) Entry.RepeatsAllowed = true;
}

int16_t DrawRecording(const SpeechEntry& Entry) {
  const int maxTries = kTriesPerRecording * Entry.ElementCount;
  int tries = 0;
  int16_t number = 0;
  do {
    ++tries;
    number = static_cast<int16_t>(1 + rt::CInt(static_cast<float>(Entry.ElementCount - 1) * rt::Rnd()));
  } while (WasPlayed(Entry.Played, number) && !Entry.RepeatsAllowed && tries <= maxTries);
  return number;
}

}  // namespace

bool IsOncePerRun(uint8_t Token) {
  return (Token >= SpeechToken::FirstTimeWarning && Token <= SpeechToken::LastTimeWarning) ||
         Token == SpeechToken::ExplainShutUp;
}

int16_t ChooseRecording(SpeechEntry& Entry, uint8_t Token, const SpeechSwitches& Switches) {
  if (!SwitchesAllow(Token, Switches)) return 0;
  if (Entry.ElementCount == 0) return 0;
  if (IsOncePerRun(Token)) {
    if (Entry.SpokenThisSession) return 0;
    Entry.SpokenThisSession = true;
  }
  if (Token == SpeechToken::ExplainButtons && !Switches.LearnMode) return 0;
  if (!ProbabilityAllows(Entry.Probability)) return 0;
  UpdateRepeatsAllowed(Entry);
  return DrawRecording(Entry);
}

void NotePlayed(SpeechEntry& Entry, uint8_t Token, int16_t Number) {
  if (!Entry.RepeatsAllowed) Entry.Played += kComma + QString::number(Number);
  if (IsOncePerRun(Token)) Entry.SpokenThisSession = true;
}
