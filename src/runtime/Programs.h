#pragma once
// Other programs the game starts, such as the desktop's URL opener.
#include <QString>
#include <QStringList>
#include <functional>

namespace rt {

// Starts program (a name found on the search path, or a path) with arguments, each
// passed as it is with no shell in between, on its own: the game neither waits for it
// nor ends it. False when it could not be started.
bool StartProgram(const QString& program, const QStringList& arguments);

// Test seam (Seams.h): while a starter is set, StartProgram starts nothing and returns
// what the starter returns.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void SetProgramStarter(ProgramStarter starter);

}  // namespace rt
