// Every test runs with a QApplication on the offscreen platform, so window tests and
// plain tests share one executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "game/frmMain.h"
#include "runtime/ErrorBox.h"
#include "runtime/Form.h"

namespace {

// The exit code of a test process in which the program ended unexpectedly.
constexpr int kProgramEndedCode = 86;

// A window a test leaves loaded would change what the next test in the same process
// sees (the form registry, the active window), so each test must unload its own. The
// check runs before the result printer's, so the leak fails the test it belongs to.
class LeftoverWindowCheck : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { before_ = rt::Form::LoadedForms(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    QStringList names;
    for (rt::Form* form : rt::Form::LoadedForms())
      if (!before_.contains(form)) names << form->objectName();
    if (!names.isEmpty()) ADD_FAILURE() << "left windows loaded: " << names.join(QStringLiteral(", ")).toStdString();
  }

 private:
  QList<rt::Form*> before_;
};

// The program's end (an error box's, the day's, a close request's) ends the process, and
// with it the rest of the run, with the program's exit code: a test that reaches it by
// mistake would pass. It fails the run instead; a death test that expects it says so.
void EndsTheRunAsAFailure(int exitCode) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "\n%s.%s: the program ended (exit code %d) in a test that does not expect its end\n",
               test ? test->test_suite_name() : "?", test ? test->name() : "?", exitCode);
  std::fflush(nullptr);
  std::_Exit(kProgramEndedCode);
}

// Every temporary folder of a run lies in one folder that the run removes at its end: a
// death test's child ends with the program, before its fixture could remove its own. The
// child finds the folder in its environment and leaves it to the run that made it.
class RunTemporaryFolder {
 public:
  RunTemporaryFolder() {
    if (qEnvironmentVariableIsSet(kMadeBy)) return;
    folder_.emplace(QDir::tempPath() + QStringLiteral("/quonk_tests-XXXXXX"));
    if (!folder_->isValid()) return;
    // Tests that drop to another user reach their own folders inside it.
    QFile::setPermissions(folder_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ExeGroup | QFileDevice::ExeOther);
    qputenv("TMPDIR", QFile::encodeName(folder_->path()));
    qputenv(kMadeBy, "1");
  }

 private:
  static constexpr const char* kMadeBy = "QUONK_TESTS_TMPDIR";
  std::optional<QTemporaryDir> folder_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const RunTemporaryFolder temporaryFolder;
  QApplication app(argc, argv);
  // The windows reach the main window, or the one a test holds, as in the program.
  ConnectMainCommands();
  ::testing::InitGoogleTest(&argc, argv);
  rt::SetProcessEnder(EndsTheRunAsAFailure);
  ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverWindowCheck);
  return RUN_ALL_TESTS();
}
