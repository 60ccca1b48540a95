#pragma once
// The speech player's decisions: whether a request for a comment is spoken at all, and
// which of its recordings, avoiding those already played until most of them have been.
// The playback itself belongs to SpeechCommentary.
#include <cstdint>

#include "speech/SpeechCatalogue.h"

struct SpeechSwitches {
  bool SoundOn = false;
  bool CommentsOn = false;
  bool LearnMode = false;
};

// The time warnings and the explanation of the shut-up switch are said once per run.
bool IsOncePerRun(uint8_t Token);

// Runs the gates for a request of Token (switches, recordings, once per run,
// probability) and draws the recording to play: its number, or 0 when the request is
// dropped. A once-per-run token counts as spoken from here on even when its
// probability drops it. Draws from rt::Rnd.
int16_t ChooseRecording(SpeechEntry& Entry, uint8_t Token, const SpeechSwitches& Switches);

// Notes that recording Number of Token has been played.
void NotePlayed(SpeechEntry& Entry, uint8_t Token, int16_t Number);
