#include "runtime/Picture.h"

#include <QBitmap>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cmath>

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"

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

// The image readers fill what a cut-off file lacks with blank pixels and report
// success; these checks catch the two formats the game ships.
//
// An uncompressed bitmap needs its header's rows in full: each row padded to four bytes.
bool BitmapIsWhole(const QByteArray& data) {
  constexpr qsizetype kHeaderEnd = 34;
  constexpr uint32_t kUncompressed = 0;
  constexpr uint32_t kBitFields = 3;
  if (data.size() < kHeaderEnd) return false;
  const char* p = data.constData();
  const uint32_t offset = qFromLittleEndian<quint32>(p + 10);
  const uint32_t headerSize = qFromLittleEndian<quint32>(p + 14);
  // The old core header has no compression field and 16-bit sizes.
  if (headerSize < 40) return true;
  const int64_t width = qFromLittleEndian<qint32>(p + 18);
  const int64_t height = qFromLittleEndian<qint32>(p + 22);
  const int64_t bits = qFromLittleEndian<quint16>(p + 28);
  const uint32_t compression = qFromLittleEndian<quint32>(p + 30);
  if (compression != kUncompressed && compression != kBitFields) return true;
  const int64_t rowBytes = (width * bits + 31) / 32 * 4;
  return data.size() >= int64_t{offset} + rowBytes * std::abs(height);
}

// A JPEG ends with its end-of-image marker; inside the coded data a 0xFF byte is always
// followed by 0x00 or a restart marker, so the marker appears only where the image ends.
bool JpegIsWhole(const QByteArray& data) { return data.indexOf("\xFF\xD9", 2) > 0; }

bool IsWhole(const QByteArray& data, const QByteArray& format) {
  if (format == "bmp") return BitmapIsWhole(data);
  if (format == "jpeg") return JpegIsWhole(data);
  return true;
}

// The formats the game's pictures come in, told by their first bytes: the pictures beside
// the program are bitmaps and JPEGs, the ones compiled in are PNGs. A reader told the
// format asks only the plugin of that format; one left to find it out loads every image
// plugin installed to ask each in turn.
QByteArray FormatOf(const QByteArray& data) {
  if (data.startsWith("BM")) return "bmp";
  if (data.startsWith("\xFF\xD8\xFF")) return "jpeg";
  if (data.startsWith("\x89PNG\r\n\x1A\n")) return "png";
  return {};
}

std::optional<QByteArray> ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

QImage ReadImage(const QString& path) {
  // A file is read only when it is a regular file: a FIFO or device of the right name
  // must not hold the program.
  std::optional<QByteArray> data = path.startsWith(QLatin1Char(':')) ? ReadResource(path) : ReadRegularFile(path);
  if (!data) Raise(ErrFileNotFound);
  const QByteArray format = FormatOf(*data);
  if (format.isEmpty()) return {};
  QBuffer buffer(&*data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  const QImage image = reader.read();
  if (!image.isNull() && !IsWhole(*data, format)) return {};
  return image;
}

}  // namespace

Picture LoadPicture(const QString& path) {
  const QImage image = ReadImage(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));
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

}  // namespace rt
