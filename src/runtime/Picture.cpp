#include "runtime/Picture.h"

#include <QBitmap>

#include <QFileInfo>
#include <QImageReader>
#include <cmath>

#include "runtime/RuntimeError.h"
#include "runtime/Twips.h"

namespace rt {

namespace {
constexpr double kDotsPerInch = 96.0;
constexpr double kPointsPerInch = 72.0;

QString FaceFor(const QString& name) {
  if (name.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0)
    return QStringLiteral("Liberation Sans");
  if (name.compare(QStringLiteral("MS Serif"), Qt::CaseInsensitive) == 0)
    return QStringLiteral("Liberation Serif");
  return name;
}
}  // namespace

double Picture::Width() const { return TwipsX(pixmap_.width()); }
double Picture::Height() const { return TwipsY(pixmap_.height()); }

Picture LoadPicture(const QString& path) {
  const bool resource = path.startsWith(QLatin1Char(':'));
  const QString file = resource ? path : QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!QFileInfo(file).isFile()) Raise(ErrFileNotFound);
  QImageReader reader(file);
  reader.setDecideFormatFromContent(true);
  const QImage image = reader.read();
  if (image.isNull()) Raise(ErrInvalidPicture);
  return Picture(QPixmap::fromImage(image));
}

Picture LoadButtonPicture(const QString& path) {
  QPixmap pixmap = LoadPicture(path).Pixmap();
  pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
  return Picture(pixmap);
}

QFont MakeFont(const QString& name, double points, bool bold, bool underline) {
  const QString face = FaceFor(name);
  QFont font(face);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kDotsPerInch / kPointsPerInch))));
  font.setBold(bold);
  font.setUnderline(underline);
  font.setStyleHint(face == QStringLiteral("Liberation Serif") ? QFont::Serif : QFont::SansSerif);
  return font;
}

QFont DefaultFont() { return MakeFont(QStringLiteral("MS Sans Serif"), 8.25); }

double FontPoints(const QFont& font) {
  if (font.pixelSize() > 0) return font.pixelSize() * kPointsPerInch / kDotsPerInch;
  return font.pointSizeF();
}

}  // namespace rt
