#pragma once
// The speech catalogue: one entry per comment token with the recordings found for it in
// the speech folder and the statistics the settings file keeps between runs. Entry 0 is
// never filled, so a request for token 0 finds no recording and says nothing.
#include <QString>
#include <cstdint>
#include <vector>

#include "settings/SpeechTokens.h"

struct SpeechEntry {
  // The token's name exactly as in the token list ("svaA").
  QString Token;
  // Chance in percent that a request is spoken; 100 or more means always.
  uint8_t Probability = 0;
  // Recordings found: token0001.wav up to the first gap.
  int16_t ElementCount = 0;
  // Numbers of the recordings already played, separated by ",".
  QString Played;
  // Not to be spoken again in this run.
  bool SpokenThisSession = false;
  // Recordings are chosen freely and Played no longer grows.
  bool RepeatsAllowed = false;
};

using SpeechTable = std::vector<SpeechEntry>;

// Most recordings one token can have: the number has four digits.
inline constexpr int kMaxRecordings = 9999;

// The speech folder below the program's folder as the settings file names it, with a
// leading and a trailing backslash; "\sounds\speech\" when none is set.
QString ReadSpeechPath();

// Recording Number of Token: the program's folder, SpeechPath, the token, four digits
// and ".wav", joined as text (a folder written without its leading backslash therefore
// names no folder of the program) and resolved without regard to case.
QString RecordingFile(const QString& SpeechPath, const QString& Token, int Number);

// The probability a token speaks with when the settings file gives none (or 0).
uint8_t DefaultProbability(int Token);

// Builds the catalogue, indexes 0 to the number of tokens: counts each token's
// recordings and reads its statistics from the settings file. Outside learn mode the
// explanation of the shut-up switch is blocked for the run.
SpeechTable BuildSpeechCatalogue(const QString& SpeechPath, bool LearnMode);
