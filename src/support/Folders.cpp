#include "support/Folders.h"

#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "settings/SettingsState.h"

QString BallPictureFile(int number) {
  return rt::AppFile(Folder::Graphics + BallSet + rt::FormatDigits(number, 4) + QStringLiteral(".bmp"));
}
