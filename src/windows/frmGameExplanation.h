#pragma once
// The spoken tutorial: recorded narration explains the game over pictures of the board,
// with a blinking marker on the ball the narration talks about, a few effects, and two
// picture buttons, one to hear the tutorial again and one to go back to the game. It
// starts by itself when the window first becomes active after an opening.
//
// A narration blocks the thread, so a click made while it plays reaches the window only
// after it. While the script runs, the buttons therefore only leave a request (sCommand);
// after each narration the script delivers the events that waited for it and ends when
// a request is there. RunTutorial then carries the request out.
#include <QString>
#include <initializer_list>

#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/FormInstance.h"

class frmGameExplanation : public rt::Form, public rt::FormInstance<frmGameExplanation> {
 public:
  frmGameExplanation();

  // Read-only views of the window's state, for tests.
  bool IsRunning() const { return bRunning; }
  bool IsStarted() const { return bStarted; }
  const QString& PendingCommand() const { return sCommand; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload() override;

 private:
  // Runs the script under the lips pointer, then carries out the request a button left.
  void RunTutorial();
  void PlayTutorialScript();
  void cmdRepeat_Click();
  void cmdOK_Click();

  // Script steps.
  void ShowPicture(const QString& name);
  // Plays the narrations in turn; after each one the clicks that waited for it arrive.
  // Returns false as soon as one of them left a request: the script ends there.
  bool NarrateUntilRequest(std::initializer_list<const char*> names);
  void BlinkMarker();

  rt::PictureBox* picGameBoard = nullptr;
  rt::PictureBox* picMarkBall = nullptr;
  rt::CommandButton* cmdRepeat = nullptr;
  rt::CommandButton* cmdOK = nullptr;

  // These outlive the window's controls: they keep their values from one opening to the
  // next within a run.
  // The script is running; the buttons only leave requests meanwhile.
  bool bRunning = false;
  // The request a button left while the script ran: empty, "REPEAT" or "EXIT".
  QString sCommand;
  // An activation has started the tutorial since the window last closed itself.
  bool bStarted = false;
};

// The program's one tutorial window, created on first use.
frmGameExplanation& GameExplanationForm();
