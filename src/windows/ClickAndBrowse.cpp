#include "windows/ClickAndBrowse.h"

#include "runtime/Programs.h"

namespace ClickAndBrowse {

void BrowseURL(const QString& URL) {
  // No shell parses the address: it reaches the opener untouched.
  rt::StartProgram(QStringLiteral("xdg-open"), {URL});
}

}  // namespace ClickAndBrowse
