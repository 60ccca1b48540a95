#pragma once
// The window of the game's own message box. ImitateMsgboxSub fills it, lays it out and
// shows it modally. Its answer buttons show pictures only; the hidden tag of each button
// decides the answer. The window explains its buttons and speaks a pending comment by
// writing command words into the main window, which speaks them before the write returns.
#include <QString>
#include <cstdint>

#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/FormInstance.h"

class frmMsg : public rt::Form, public rt::FormInstance<frmMsg> {
 public:
  frmMsg();

 protected:
  void Design() override;
  void Form_Activate() override;
  void Form_Paint() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;

 private:
  friend void ImitateMsgboxSub(const QString& prompt, int32_t buttons, const QString& Title);

  void cmd_Click(int Index);
  void cmdShutUp_Click();
  void FocusChosenButton();
  void SpeakPendingComment();

  rt::Label* lblmsg = nullptr;
  rt::Image* imgSign = nullptr;
  rt::ControlArray<rt::Image> imgButtons{"imgButtons"};
  rt::ControlArray<rt::CommandButton> cmd{"cmd"};
  rt::CommandButton* cmdShutUp = nullptr;

  // Set while the paint handler runs: its own repaint and event processing must not
  // run it again.
  bool PaintGuard = false;
};

// The one message box window, created on first use and kept until the process ends.
frmMsg& MsgForm();
