#pragma once
// Which comment a game event asks for. Each event comes with a number: the points of
// one click, the whole minutes left, the final score; the others carry none.
#include <cstdint>

enum class CommentEvent {
  // The program has started.
  ProgramStarted,
  // One click removed a group; the number is its points.
  GroupRemoved,
  // The whole minutes of the day's play time left, -1 once the limit is passed.
  TimeLeft,
  // A new game starts.
  NewGameStarts,
  // The game ended; the number is the final score.
  GameEnded,
  // The game ended with a new highscore; the number is the final score, or 0 when the
  // highscore beaten was 0.
  GameEndedWithHighscore,
  // The question for a new game follows.
  NewGameQuestion,
};

// The token for the event, 0 when the event deserves no comment.
uint8_t CommentToken(CommentEvent Event, int32_t Value, bool LearnMode);
