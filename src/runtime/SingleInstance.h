#pragma once
// One running copy of the game per program folder, whoever starts it. Two copies would
// each keep their own settings state and the one that closes last would overwrite the
// other's play time, so a second start only brings the running copy to the front, or
// tells that the game runs already, and ends.
#include <QObject>
#include <QString>
#include <functional>

namespace rt {

// What a start finds.
enum class InstanceClaim {
  // No other copy of the program folder runs: this one goes on.
  kOnly,
  // A copy of the same user runs and has been asked to come to the front.
  kRaisedRunningCopy,
  // A copy runs that cannot be reached: another user's, or one without its socket.
  kRunningElsewhere,
};

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // The lock is on the program folder itself, which every user who can start the
  // program can open, also where nobody may create a file in it. The socket through
  // which a later start of the same user asks for the front lives in runtimeFolder.
  SingleInstance(const QString& programFolder, const QString& runtimeFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // kOnly: this copy holds the program folder until it is destroyed or the process
  // ends, and calls onFrontRequest on the GUI thread whenever a later start asks. A
  // folder that cannot be locked at all counts as no other copy: the game still starts.
  InstanceClaim Claim(std::function<void()> onFrontRequest);

 private:
  bool AskRunningCopy() const;
  void Listen(std::function<void()> onFrontRequest);

  QString programFolder_;
  QString runtimeFolder_;
  QString socketPath_;
  int lock_ = -1;
  int server_ = -1;
};

// For main(): claims the program's folder (AppPath); a front request raises the
// program's windows, and a copy that cannot be reached is told in a message box.
// False when the program must end at once.
bool BecomeOnlyInstance();

}  // namespace rt
