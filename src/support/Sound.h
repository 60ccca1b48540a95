#pragma once
// Playing one WAV file for the game, with an error box that lets the player abort,
// retry or ignore when the audio output fails.
#include <QString>
#include <cstdint>

// Plays File; with Sync non-zero it returns when the sound has ended, otherwise at
// once. A missing file plays the default beep and is no error.
void playsound(const QString& File, int16_t Sync);
