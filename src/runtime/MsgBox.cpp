#include "runtime/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "runtime/Form.h"
#include "runtime/Screen.h"
#include "runtime/Seams.h"

namespace rt {

namespace {

constexpr int kButtonSetMask = 0x0F;
constexpr int kSignMask = 0x70;
constexpr int kDefaultMask = 0x300;

Seam<std::function<int(const MsgBoxRequest&)>> responder;

QMessageBox::Icon IconFor(int style) {
  switch (style & kSignMask) {
    case kStopSign: return QMessageBox::Critical;
    case kQuestionSign: return QMessageBox::Question;
    case kExclamationSign: return QMessageBox::Warning;
    case kInformationSign: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

QString WithLineFeeds(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

int ShowBox(const QString& prompt, int style, const QString& title) {
  const std::vector<MsgBoxButton> buttons = MsgBoxButtons(style);
  const int escapeAnswer = MsgBoxEscapeAnswer(style);
  const ModalShowing showing;
  QWidget* owner = ModalShowing::Owner();
  QMessageBox box(IconFor(style), title, WithLineFeeds(prompt), QMessageBox::NoButton,
                  owner ? owner : QApplication::activeWindow());
  std::vector<QPushButton*> pushButtons;
  for (const MsgBoxButton& button : buttons) {
    // Only the cancel button may answer Escape and the close box; no other role
    // lets the box pick one of its own.
    const auto role = button.answer == escapeAnswer ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
    pushButtons.push_back(box.addButton(button.text, role));
  }
  box.setDefaultButton(pushButtons[static_cast<size_t>(MsgBoxDefaultIndex(style))]);
  box.exec();
  for (size_t i = 0; i < pushButtons.size(); ++i)
    if (box.clickedButton() == pushButtons[i]) return buttons[i].answer;
  return escapeAnswer != 0 ? escapeAnswer : buttons.front().answer;
}

}  // namespace

std::vector<MsgBoxButton> MsgBoxButtons(int style) {
  const MsgBoxButton ok{QStringLiteral("OK"), kAnswerOk};
  const MsgBoxButton cancel{QStringLiteral("Abbrechen"), kAnswerCancel};
  const MsgBoxButton abort{QStringLiteral("Abbrechen"), kAnswerAbort};
  const MsgBoxButton retry{QStringLiteral("Wiederholen"), kAnswerRetry};
  const MsgBoxButton ignore{QStringLiteral("Ignorieren"), kAnswerIgnore};
  const MsgBoxButton yes{QStringLiteral("Ja"), kAnswerYes};
  const MsgBoxButton no{QStringLiteral("Nein"), kAnswerNo};
  switch (style & kButtonSetMask) {
    case kOkCancel: return {ok, cancel};
    case kAbortRetryIgnore: return {abort, retry, ignore};
    case kYesNoCancel: return {yes, no, cancel};
    case kYesNo: return {yes, no};
    case kRetryCancel: return {retry, cancel};
    default: return {ok};
  }
}

int MsgBoxDefaultIndex(int style) {
  const int index = (style & kDefaultMask) / kDefaultButton2;
  return index < static_cast<int>(MsgBoxButtons(style).size()) ? index : 0;
}

int MsgBoxEscapeAnswer(int style) {
  switch (style & kButtonSetMask) {
    case kOkCancel:
    case kYesNoCancel:
    case kRetryCancel: return kAnswerCancel;
    case kAbortRetryIgnore:
    case kYesNo: return 0;
    default: return kAnswerOk;
  }
}

int MsgBox(const QString& prompt, int style, const QString& title) {
  const QString shownTitle = title.isEmpty() ? App::Title : title;
  if (responder.Replaced()) return responder.Replacement()(MsgBoxRequest{prompt, style, shownTitle});
  return ShowBox(prompt, style, shownTitle);
}

void SetMsgBoxResponder(std::function<int(const MsgBoxRequest&)> replacement) {
  responder.Set(std::move(replacement));
}

}  // namespace rt
