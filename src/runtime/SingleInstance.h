#pragma once
// One running copy of the game per program folder. Two copies would each keep their own
// settings state and the one that closes last would overwrite the other's play time, so
// a second start only brings the running copy to the front and ends.
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace rt {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // The copy is known by its program folder; the lock file and the socket the copies
  // talk through live in runtimeFolder, outside the program folder, which need not be
  // writable.
  SingleInstance(const QString& programFolder, const QString& runtimeFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when no other copy of this program folder runs: this one then holds the lock
  // until it is destroyed or the process ends, and calls onFrontRequest whenever a later
  // start asks. False when another copy runs; it has been asked to come to the front.
  // A lock that cannot be taken at all (no runtime folder) counts as no other copy:
  // the game still starts.
  bool Claim(std::function<void()> onFrontRequest);

 private:
  void AskRunningCopy() const;

  QString lockPath_;
  QString socketPath_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

// For main(): claims the program's folder (AppPath) in the user's runtime folder; a
// front request raises the program's windows. False when the program must end at once.
bool BecomeOnlyInstance();

}  // namespace rt
