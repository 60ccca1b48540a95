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
