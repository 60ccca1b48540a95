#include <gtest/gtest.h>

#include <QApplication>

#include "runtime/Clock.h"
#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Events.h"
#include "runtime/Form.h"
#include "runtime/Menu.h"

namespace {

// A window that logs its events.
class LogForm : public rt::Form {
 public:
  LogForm() : Form("frmLog") {}
  std::vector<std::string> log;
  int cancelNext = 0;
  std::function<void()> onActivate;

 protected:
  void Design() override { SetClientSize(3000, 2000); }
  void Form_Load() override { log.push_back("Load"); }
  void Form_Activate() override {
    log.push_back("Activate");
    if (onActivate) onActivate();
  }
  void Form_Paint() override { log.push_back("Paint"); }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    log.push_back("QueryUnload " + std::to_string(UnloadMode));
    Cancel = cancelNext;
  }
  void Form_Unload() override { log.push_back("Unload"); }
};

int Count(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

TEST(Form, ActivateAndPaintFollowTheShow) {
  LogForm form;
  form.Show();
  for (int i = 0; i < 5; ++i) rt::DoEvents();
  EXPECT_EQ(form.log.front(), "Load");
  EXPECT_EQ(Count(form.log, "Activate"), 1);
  EXPECT_GE(Count(form.log, "Paint"), 1);
}

}  // namespace
