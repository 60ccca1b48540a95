#pragma once
// The options dialog: the colour mode and the colours in play, the sound switches, the
// daily play-time limit with its tolerance, and the highscore reset. OK writes the tab
// shown, the colour keys and the times to the settings file at once; the switches live in
// the settings state until the next save. The dialog addresses the main window only
// through its command words.
#include <cstdint>

#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/FormInstance.h"

namespace rt {
class TabControl;
}

class frmOptions : public rt::Form, public rt::FormInstance<frmOptions> {
 public:
  frmOptions();

  // Enables or disables the eleven colour boxes.
  void EnableCheckboxes(bool Status);

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;

 private:
  void DesignColorsTab();
  void DesignSoundFrame();
  void DesignTimesFrame();
  void BindHandlers();
  void UseDialogFont();
  void PlaceInBlankStretch(rt::TextBox& box, const rt::Label& caption);

  void LoadBallPictures();
  void TickStoredColors();
  int SelectedColorMode() const;
  int TickedColorCount() const;
  void WriteColorList();
  void EnableSoundOptions(bool Status);
  void RestoreHighscore();

  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdResetHighscore_Click();
  void cmdTimeStandard_Click();
  void chkKidOption_Click(int Index);
  void optColors_Click(int Index);
  void txtParameters_Change(int Index);
  void txtParameters_GotFocus(int Index);

  rt::TabControl* tabOptions = nullptr;
  rt::CommandButton* cmdCancel = nullptr;
  rt::CommandButton* cmdOK = nullptr;

  rt::Frame* fraOptions = nullptr;
  rt::ControlArray<rt::OptionButton> optColors{"optColors"};
  rt::ControlArray<rt::CheckBox> chk{"chk"};
  rt::ControlArray<rt::PictureBox> picItem{"picItem"};

  rt::ControlArray<rt::CheckBox> chkKidOption{"chkKidOption"};
  rt::Frame* fraSoundB = nullptr;
  rt::Line* Line1 = nullptr;
  rt::Label* lblKids = nullptr;
  rt::Frame* fraTimes = nullptr;
  rt::ControlArray<rt::Label> lblParameters{"lblParameters"};
  rt::ControlArray<rt::TextBox> txtParameters{"txtParameters"};
  rt::CommandButton* cmdTimeStandard = nullptr;
  rt::Line* Line2 = nullptr;
  rt::CommandButton* cmdResetHighscore = nullptr;

  // The highscore when the dialog loaded; Cancel brings it back after a reset.
  int32_t SavedHighscore = 0;
};

// The program's one options dialog, created on first use; while a test holds a dialog of
// its own, that one.
frmOptions& OptionsForm();
