#include "support/Sound.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "runtime/RuntimeError.h"
#include "runtime/SoundDevice.h"

namespace {

// Abort, Retry and Ignore with the exclamation sign, Ignore as the default button.
constexpr int kErrorBoxStyle = 2 + 48 + 512;
constexpr int kAnswerAbort = 3;
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;

int SystemErrorBox(const QString& prompt, int, const QString& title) {
  QMessageBox box(QMessageBox::Warning, title, prompt);
  QPushButton* abort = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
  QPushButton* retry = box.addButton(QStringLiteral("Wiederholen"), QMessageBox::AcceptRole);
  QPushButton* ignore = box.addButton(QStringLiteral("Ignorieren"), QMessageBox::DestructiveRole);
  box.setDefaultButton(ignore);
  box.exec();
  if (box.clickedButton() == retry) return kAnswerRetry;
  if (box.clickedButton() == abort) return kAnswerAbort;
  return kAnswerIgnore;
}

SoundErrorBox& ErrorBox() {
  static SoundErrorBox box = SystemErrorBox;
  return box;
}

int AskAfterError(const rt::RuntimeError& error) {
  const QString prompt = QStringLiteral("Fehler-Nr: ") + QString::number(error.Number()) +
                         QStringLiteral("\r\nFehler     : ") + error.Description();
  const QString title = QStringLiteral("Fehler in: (") + QGuiApplication::applicationDisplayName() +
                        QStringLiteral(") Sub playsound");
  return ErrorBox()(prompt, kErrorBoxStyle, title);
}

}  // namespace

void playsound(const QString& File, int16_t Sync) {
  const rt::PlayMode mode = Sync != 0 ? rt::PlayMode::Sync : rt::PlayMode::Async;
  for (;;) {
    try {
      rt::CurrentSoundDevice().Play(File, mode);
      return;
    } catch (const rt::RuntimeError& error) {
      // Abort leaves without sound; Ignore goes on behind the call, which leaves too.
      if (AskAfterError(error) != kAnswerRetry) return;
    }
  }
}

void SetSoundErrorBox(SoundErrorBox box) { ErrorBox() = box ? std::move(box) : SystemErrorBox; }
