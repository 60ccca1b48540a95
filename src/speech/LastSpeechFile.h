#pragma once
// The recording the speech player spoke last; F9 in the main window plays it again.
// Empty until a comment has been spoken in this run.
#include <QString>

extern QString LastSpeechFile;
