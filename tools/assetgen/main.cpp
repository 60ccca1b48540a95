// assetgen: draws every picture of Quonk-Tirrel and synthesises its sound effects.
// Usage: assetgen <assets folder>
// Writes grafics/*.bmp, design/*.png, tutorial/*.JPG and sounds/*.wav below that folder.
// Speech and narration are spoken by tools/make-assets.sh with espeak-ng.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "paint.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen <assets folder>\n");
    return 2;
  }
  const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  for (const char* sub : {"grafics", "design", "tutorial", "sounds", "sounds/speech"})
    QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
  MakeBallPictures(root);
  MakeBackground(root);
  MakeDesignPictures(root);
  MakeTutorialPictures(root);
  MakeSoundEffects(root);
  std::printf("assetgen: pictures and effects written below %s\n", qPrintable(root));
  return 0;
}
