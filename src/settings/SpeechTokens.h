#pragma once
// The speech comment tokens in their fixed order: token n (from 1) is the n-th name, its
// recordings are named after it, and the settings file numbers its speech keys by it.
#include <QString>
#include <cstdint>
#include <iterator>

inline constexpr const char* kSpeechTokenNames[] = {
    "sprg", "svaA", "svaB", "svaC", "svaD", "svaE", "svaF", "svaG", "svaH", "ssta", "shig",
    "sqnl", "sqne", "smor", "stiA", "stiB", "stiC", "stiD", "stiE", "stiF", "stiG", "senA",
    "senB", "senC", "senD", "senE", "senF", "ssto", "sshu", "sbut", "slip", "snot"};

// The number of speech tokens: token numbers run from 1 to it.
inline constexpr int kSpeechTokenCount = static_cast<int>(std::size(kSpeechTokenNames));

// The name of token 1 .. kSpeechTokenCount exactly as in the list ("svaA").
inline QString SpeechTokenName(int token) { return QString::fromLatin1(kSpeechTokenNames[token - 1]); }

// The token numbers, named after the comment each one speaks.
namespace SpeechToken {
inline constexpr uint8_t ProgramStart = 1;
inline constexpr uint8_t PointsOver300 = 2;
inline constexpr uint8_t PointsNearly300 = 3;
inline constexpr uint8_t PointsOver200 = 4;
inline constexpr uint8_t PointsWellOver100 = 5;
inline constexpr uint8_t PointsOver100 = 6;
inline constexpr uint8_t PointsNearly100 = 7;
inline constexpr uint8_t PointsFrom20 = 8;
inline constexpr uint8_t PointsBelow20 = 9;
inline constexpr uint8_t NewGame = 10;
inline constexpr uint8_t EndWithHighscore = 11;
inline constexpr uint8_t NewGameLearnMode = 12;
inline constexpr uint8_t NewGameQuestion = 13;
inline constexpr uint8_t HighscoreBeaten = 14;
inline constexpr uint8_t Minutes25Left = 15;
inline constexpr uint8_t Minutes15Left = 16;
inline constexpr uint8_t Minutes10Left = 17;
inline constexpr uint8_t Minutes5Left = 18;
inline constexpr uint8_t Minutes3Left = 19;
inline constexpr uint8_t LastMinute = 20;
inline constexpr uint8_t TimeOver = 21;
inline constexpr uint8_t EndBelow300 = 22;
inline constexpr uint8_t EndFrom300 = 23;
inline constexpr uint8_t EndFrom500 = 24;
inline constexpr uint8_t EndFrom600 = 25;
inline constexpr uint8_t EndFrom700 = 26;
inline constexpr uint8_t EndFrom800 = 27;
inline constexpr uint8_t StopQuestion = 28;
inline constexpr uint8_t ShutUp = 29;
inline constexpr uint8_t ExplainButtons = 30;
inline constexpr uint8_t ExplainShutUp = 31;
inline constexpr uint8_t TimeIsUp = 32;
// The time warnings run from the first to the last.
inline constexpr uint8_t FirstTimeWarning = Minutes25Left;
inline constexpr uint8_t LastTimeWarning = TimeOver;
}  // namespace SpeechToken

static_assert(kSpeechTokenCount == SpeechToken::TimeIsUp, "every token has a name");

// The keys of the settings file's speech section: the speech folder, and the statistics
// of token n under the stem followed by n ("PLAYED_7").
namespace SpeechKey {
inline const QString Path = QStringLiteral("SPEECHPATH");
inline QString ElementCount(int token) { return QStringLiteral("ELEMENTCOUNT_") + QString::number(token); }
inline QString Probability(int token) { return QStringLiteral("PROBABILITY_") + QString::number(token); }
inline QString RepeatsAllowed(int token) { return QStringLiteral("REPEATSALLOWED_") + QString::number(token); }
inline QString Played(int token) { return QStringLiteral("PLAYED_") + QString::number(token); }
}  // namespace SpeechKey
