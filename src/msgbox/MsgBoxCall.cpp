#include "msgbox/MsgBoxCall.h"

#include "runtime/MsgBox.h"

int16_t MsgAnswer = 0;
int32_t MsgStyle = 0;
uint8_t MsgComment = 0;
bool NoButtonExplanation = false;

// Until the game's own box exists, the system box answers.
int16_t FMsgB(const QString& prompt, int32_t buttons, const QString& Title) {
  MsgStyle = buttons;
  MsgAnswer = static_cast<int16_t>(rt::MsgBox(prompt, buttons, Title));
  MsgComment = 0;
  NoButtonExplanation = false;
  return MsgAnswer;
}
