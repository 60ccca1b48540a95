#pragma once
// Opens a web address in the user's web browser. The browser command comes from the
// desktop's associations, where the browser key's default value names the program to
// start: the desktop's URL opener (xdg-open), which hands the address to the browser the
// user has chosen. The command text is split at its double quotes, the first piece that
// names an existing file is the program, and it is started with the address as its one
// argument. Nothing is reported: without a browser the click simply does nothing.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace ClickAndBrowse {

// The key whose default value is the browser command.
inline const QString kBrowserCommandKey = QStringLiteral("htmlfile\\shell\\open\\command");

// An open key of the desktop's associations: its text values by name; "" names the key's
// default value.
using OpenKey = std::map<QString, QString>;

// Result codes of QueryValueEx.
enum QueryResult : int32_t { kQuerySuccess = 0, kQueryNotFound = 2 };

// Opens URL, exactly as given, in the web browser; nothing when none can be started.
void BrowseURL(const QString& URL);

// The value ValueName of the key KeyName as text; empty when it cannot be read.
QString QueryValue(const QString& KeyName, const QString& ValueName);

// Reads the value ValueName of an open key into Value. On kQueryNotFound Value stays
// as it was.
int32_t QueryValueEx(const OpenKey& hKey, const QString& ValueName, QString& Value);

// Where the keys come from: the key named KeyName, or nullopt when there is none.
using KeyReader = std::function<std::optional<OpenKey>(const QString& KeyName)>;
// Starts Program with Arguments on its own; false when it could not be started.
using ProgramStarter = std::function<bool(const QString& Program, const QStringList& Arguments)>;

// Tests swap in their own keys and starter; an empty function restores the desktop's.
void SetKeyReader(KeyReader reader);
void SetProgramStarter(ProgramStarter starter);

}  // namespace ClickAndBrowse
