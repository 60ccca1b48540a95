#include "speech/Comments.h"

#include "speech/SpeechCatalogue.h"

namespace {

// Points are n x (n - 1) for n balls: 272 is a group of 17, 90 a group of 10.
uint8_t PointsToken(int32_t points) {
  if (points > 300) return 2;
  if (points == 272) return 3;
  if (points > 200) return 4;
  if (points > 150) return 5;
  if (points > 100) return 6;
  if (points == 90) return 7;
  if (points > 20) return 8;
  if (points >= 2) return 9;
  return 0;
}

// One and two minutes left are not announced.
uint8_t MinutesToken(int32_t minutes) {
  if (minutes == -1) return 21;
  if (minutes < 1) return 20;
  switch (minutes) {
    case 3: return 19;
    case 5: return 18;
    case 10: return 17;
    case 15: return 16;
    case 25: return 15;
    default: return 0;
  }
}

uint8_t FinalScoreToken(int32_t score) {
  if (score >= 800) return 27;
  if (score >= 700) return 26;
  if (score >= 600) return 25;
  if (score >= 500) return 24;
  if (score >= 300) return 23;
  return 22;
}

}  // namespace

std::optional<uint8_t> CommentToken(const QString& Kind, int32_t Value, bool LearnMode) {
  const QString kind = Kind.toUpper();
  if (kind == QStringLiteral("P")) return SpeechToken::ProgramStart;
  if (kind == QStringLiteral("V")) return PointsToken(Value);
  if (kind == QStringLiteral("T")) return MinutesToken(Value);
  if (kind == QStringLiteral("S")) return 10;
  if (kind == QStringLiteral("E")) return FinalScoreToken(Value);
  if (kind == QStringLiteral("H")) return 11;
  if (kind == QStringLiteral("N")) return LearnMode ? SpeechToken::NewGameLearnMode : 13;
  return std::nullopt;
}
