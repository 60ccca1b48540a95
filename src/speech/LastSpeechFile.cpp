#include "speech/LastSpeechFile.h"

QString LastSpeechFile;
