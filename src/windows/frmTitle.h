#pragma once
// The title window. At start-up it shows the title picture with the version, loads and
// shows the main window, says "ProgrammStart" to it and closes itself about 2.1 seconds
// later with a sound and "PLAYTUTORIAL". Loaded with InfoMode set it is the about box:
// copyright, the web address as a link, the total play time and an OK button.
#include <QString>
#include <cstdint>

#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/FormInstance.h"

// The total play time as the about box shows it: "[d Tage ]hh:mm:ss", seconds cut off.
QString TotalPlayTimeText(float Seconds);

class frmTitle : public rt::Form, public rt::FormInstance<frmTitle> {
 public:
  frmTitle();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;

 private:
  void ShowAboutContent();
  void timUnloader_Timer();
  void lblCopyright_Click(int Index);
  void cmdExit_Click();

  rt::ControlArray<rt::Label> lblVersion{"lblVersion"};
  rt::ControlArray<rt::Label> lblCopyright{"lblCopyright"};
  rt::Label* lblPlayTime = nullptr;
  rt::CommandButton* cmdExit = nullptr;
  rt::TimerControl* timUnloader = nullptr;

  // The start-up sequence has begun; it runs once per run.
  bool bActivated = false;
  // Clock reading (seconds since midnight) when the start-up sequence began.
  float sngStartTime = 0;
};

// The program's one title window, created on first use; while a test holds a window of
// its own, that one. The main window's info item shows it as the about box:
//   InfoMode = true;
//   TitleForm().ShowModal();
frmTitle& TitleForm();
