// Every test runs with a QApplication on the offscreen platform, so window tests and
// plain tests share one executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>

#include "runtime/Form.h"

namespace {

// A window a test leaves loaded would change what the next test in the same process
// sees (the form registry, the active window), so each test must unload its own.
class LeftoverWindowCheck : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { before_ = rt::Form::LoadedForms(); }
  void OnTestEnd(const ::testing::TestInfo& test) override {
    QStringList names;
    for (rt::Form* form : rt::Form::LoadedForms())
      if (!before_.contains(form)) names << form->objectName();
    if (names.isEmpty()) return;
    leaked_ = true;
    fprintf(stderr, "%s.%s left windows loaded: %s\n", test.test_suite_name(), test.name(),
            qPrintable(names.join(QStringLiteral(", "))));
  }
  bool Leaked() const { return leaked_; }

 private:
  QList<rt::Form*> before_;
  bool leaked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  auto* check = new LeftoverWindowCheck;
  ::testing::UnitTest::GetInstance()->listeners().Append(check);
  const int result = RUN_ALL_TESTS();
  return result != 0 || check->Leaked() ? 1 : 0;
}
