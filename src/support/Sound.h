#pragma once
// Playing one WAV file for the game, with an error box that lets the player abort,
// retry or ignore when the audio output fails.
#include <QString>
#include <cstdint>

// Plays File; with Sync non-zero it returns when the sound has ended, otherwise at
// once. A missing file plays the default beep and is no error. False when the player
// left the error box without the sound.
bool playsound(const QString& File, int16_t Sync);
