#pragma once
// Which comment a game event asks for. The game names an event by a letter and a
// number: "V" the points of one click, "T" the whole minutes left (-1 once the limit is
// passed), "S" a new game, "E" the final score, "H" a final score that beat the
// highscore, "N" the question for a new game, "P" the program start.
#include <QString>
#include <cstdint>
#include <optional>

// The token for the event, 0 when the event deserves no comment, nothing when Kind is no
// known letter. Kind is compared without regard to case.
std::optional<uint8_t> CommentToken(const QString& Kind, int32_t Value, bool LearnMode);
