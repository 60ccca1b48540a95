#include "support/MainFunctions.h"

#include <iterator>

#include "runtime/Events.h"
#include "runtime/Files.h"
#include "settings/SettingsState.h"
#include "support/FlagScope.h"
#include "support/Folders.h"
#include "support/Sound.h"

bool SoundBusy = false;

namespace {

struct SoundKind {
  const QString* folder;
  // The switch that must be on, besides SoundOn, for a named sound of this kind.
  const bool* enabled;
};

// Kinds beyond the table have no folder and no switch: their named sounds never play.
const SoundKind kKinds[] = {
    {&Folder::Sounds, &EffectsOn},
    {&Folder::Speech, &LearnMode},
    {&Folder::Tutorial, &CommentsOn},
};

bool MayPlay(uint8_t kind) { return SoundOn && kind < std::size(kKinds) && *kKinds[kind].enabled; }

}  // namespace

void PlayWaveAndWait(const QString& Name, uint8_t Kind, float WaitMs) {
  if (!Name.isEmpty() && !MayPlay(Kind)) return;
  if (SoundBusy) return;
  FlagScope busy(SoundBusy);
  if (!Name.isEmpty())
    playsound(rt::AppFile(*kKinds[Kind].folder + Name + QStringLiteral(".wav")), 0);
  // The wait is measured on the clock's steady scale, so one that crosses midnight
  // still lasts its full length.
  rt::WaitMs(WaitMs);
}
