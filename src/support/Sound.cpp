#include "support/Sound.h"

#include "runtime/MsgBox.h"
#include "runtime/RuntimeError.h"
#include "runtime/Screen.h"
#include "runtime/SoundDevice.h"

namespace {

// Abort, Retry and Ignore with the exclamation sign, Ignore as the default button.
constexpr int kErrorBoxStyle = rt::kAbortRetryIgnore + rt::kExclamationSign + rt::kDefaultButton3;

int AskAfterError(const rt::RuntimeError& error) {
  const QString prompt = QStringLiteral("Fehler-Nr: ") + QString::number(error.Number()) +
                         QStringLiteral("\r\nFehler     : ") + error.Description();
  const QString title = QStringLiteral("Fehler in: (") + rt::App::Title + QStringLiteral(") Sub playsound");
  return rt::MsgBox(prompt, kErrorBoxStyle, title);
}

}  // namespace

bool playsound(const QString& File, int16_t Sync) {
  const rt::PlayMode mode = Sync != 0 ? rt::PlayMode::Sync : rt::PlayMode::Async;
  for (;;) {
    try {
      rt::CurrentSoundDevice().Play(File, mode);
      return true;
    } catch (const rt::RuntimeError& error) {
      // Abort leaves without sound; Ignore goes on behind the call, which leaves too.
      if (AskAfterError(error) != rt::kAnswerRetry) return false;
    }
  }
}
