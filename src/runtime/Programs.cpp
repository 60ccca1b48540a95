#include "runtime/Programs.h"

#include <QProcess>

#include "runtime/Seams.h"

namespace rt {

namespace {
Seam<ProgramStarter> starter;
}  // namespace

bool StartProgram(const QString& program, const QStringList& arguments) {
  if (starter.Replaced()) return starter.Replacement()(program, arguments);
  return QProcess::startDetached(program, arguments);
}

void SetProgramStarter(ProgramStarter replacement) { starter.Set(std::move(replacement)); }

}  // namespace rt
