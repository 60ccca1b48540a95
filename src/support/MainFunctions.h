#pragma once
// Sound effects with their timed waits: the pacing of every animation in the game.
#include <QString>
#include <cstdint>

// Set while an effect's wait runs. Board clicks, the new-game and quit actions test
// it and ignore their input meanwhile; further sound requests are dropped, not queued.
extern bool SoundBusy;

// Plays the effect Name of sound kind Kind (0 effects in "\sounds\", 1 speech in
// "\sounds\speech\", 2 tutorial in "\tutorial\") asynchronously, when the sound
// switches allow it, and then waits WaitMs milliseconds while window events keep
// flowing. An empty Name only waits. Returns at once when a switch is off for a named
// sound or when another call's wait is running.
void PlayWaveAndWait(const QString& Name, uint8_t Kind, float WaitMs);

// The wait each effect is given, in ms. An effect sounds about as long as its wait; a
// longer one is cut off by the next.
namespace EffectWait {
inline constexpr float WrongBall = 510;
inline constexpr float DelBalls = 110;
inline constexpr float SetBall = 200;
inline constexpr float DelCol = 50;
// "setball" after each column of a deal, "setball2" at its end.
inline constexpr float DealColumn = 50;
inline constexpr float DealEnd = 40;
inline constexpr float EndGame = 720;
inline constexpr float Fanfare = 4440;
inline constexpr float Undo = 270;
inline constexpr float Redo = 770;
inline constexpr float Timeover = 1620;
inline constexpr float Bblink = 15;
}  // namespace EffectWait
