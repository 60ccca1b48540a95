#pragma once
// Where tests take the place of the machine. Every seam is set the same way:
// SetX(replacement) puts the replacement in, SetX with an empty one (nullptr, an empty
// function, an empty folder) puts the real thing back. The caller keeps what it puts in
// alive until then, and a test puts the real thing back before it ends (TearDown), so
// that the next test in the same process starts from the machine.
//
//   clock             SetClock(Clock*)                 Clock.h
//       A VirtualClock: the time of day, the date and the steady scale of the waits
//       move only when a test moves them.
//   event processing  (follows the clock)              Events.h
//       On a virtual clock a wait lets its time pass at once, firing the runtime timers
//       that fall due on the way and processing the window events in between; IdleMs
//       lets time pass as if the program sat in its event loop.
//   sound device      SetSoundDevice(SoundDevice*)     SoundDevice.h
//       The tests' recording device logs each playback and plays it in virtual time.
//   message boxes     SetMsgBoxResponder(responder)    MsgBox.h
//                     SetFMsgBResponder(responder)     msgbox/MsgBoxCall.h
//       A responder answers the system box or the game's own box without showing it.
//   program starter   SetProgramStarter(starter)       Programs.h
//       Sees the programs the game would start instead of starting them.
//   program folder    SetAppPath(folder)               Files.h
//       The folder the game's files are looked up in.
//   program end       SetProcessEnder(ender)           ErrorBox.h
//       Sees the end of the program, with its exit code, before the process ends. The
//       test main puts one in for the whole run that fails the run: a program that ends
//       inside a test would end the run with its own exit code, 0 included. A death
//       test that expects the end puts the real thing back inside its statement.
#include <utility>

namespace rt {

// The replacement a seam holds; empty while the real thing is in use.
template <class T>
class Seam {
 public:
  void Set(T replacement) { replacement_ = std::move(replacement); }
  bool Replaced() const {
    if constexpr (requires { replacement_.isEmpty(); })
      return !replacement_.isEmpty();
    else
      return static_cast<bool>(replacement_);
  }
  const T& Replacement() const { return replacement_; }

 private:
  T replacement_{};
};

}  // namespace rt
