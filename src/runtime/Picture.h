#pragma once
// Pictures and fonts as the windows use them.
#include <QFont>
#include <QPixmap>
#include <QString>

#include "runtime/Color.h"

namespace rt {

// A picture value: cheap to copy (shared), empty when no picture is set. Assigning
// one control's picture to another shows the same picture in both.
class Picture {
 public:
  Picture() = default;
  explicit Picture(QPixmap pixmap) : pixmap_(std::move(pixmap)) {}

  bool IsEmpty() const { return pixmap_.isNull(); }
  const QPixmap& Pixmap() const { return pixmap_; }

 private:
  QPixmap pixmap_;
};

// Loads a BMP, JPG or PNG file, or a compiled-in resource (":/design/..."). Pass a
// path that exists as written (resolve the program's relative names with AppFile).
// Error 53 when the file is missing or no regular file (a folder, a FIFO, a device),
// 481 when it is no readable picture or a damaged one (cut short).
Picture LoadPicture(const QString& path);
// A picture for a picture button: its pure white ground lets the button face show through.
Picture LoadButtonPicture(const QString& path);

// A font by its design name and point size at 96 dpi. "MS Sans Serif" and "MS Serif"
// stand for the sans and serif faces installed with the program.
QFont MakeFont(const QString& name, double points, bool bold = false, bool underline = false);
// The design default of windows and controls: "MS Sans Serif" 8.25 pt.
QFont DefaultFont();

}  // namespace rt
