#pragma once
// Playing one WAV file for the game, with an error box that lets the player abort,
// retry or ignore when the audio output fails.
#include <QString>
#include <cstdint>
#include <functional>

// Plays File; with Sync non-zero it returns when the sound has ended, otherwise at
// once. A missing file plays the default beep and is no error.
void playsound(const QString& File, int16_t Sync);

// Shows a system message box (prompt, style flags, title) and returns the answer code.
using SoundErrorBox = std::function<int(const QString& prompt, int style, const QString& title)>;
// Replaces the box playsound shows on an error (tests answer it); empty restores the
// system message box.
void SetSoundErrorBox(SoundErrorBox box);
