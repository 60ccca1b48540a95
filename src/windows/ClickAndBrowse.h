#pragma once
// Opens a web address in the user's web browser: the desktop's URL opener (xdg-open)
// gets the address as its one argument and hands it to the browser the user has chosen.
// Nothing is reported: without an opener the click simply does nothing.
#include <QString>

namespace ClickAndBrowse {

// Opens URL, exactly as given, in the web browser; nothing when that cannot be done.
void BrowseURL(const QString& URL);

}  // namespace ClickAndBrowse
