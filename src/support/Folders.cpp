#include "support/Folders.h"

#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "settings/SettingsState.h"

QString SetPictureFile(const QString& set, int number) {
  return rt::AppFile(Folder::Graphics + set + rt::FormatDigits(number, 4) + QStringLiteral(".bmp"));
}

QString BallPictureFile(int number) { return SetPictureFile(BallSet, number); }
