// One running copy per program folder: who is refused, who is raised, and what a copy
// that was killed leaves for the next start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <functional>

#include "runtime/SingleInstance.h"

extern char** environ;

namespace {

using rt::InstanceClaim;

// Processes events until done is true; false when it is not within two seconds.
bool ProcessEventsUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 20 && !done(); ++i) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  return done();
}

// Sets a path's times a day back, as after a long day of play.
void AgeByADay(const QString& path) {
  struct timespec times[2];
  ::clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= 24 * 3600;
  times[1] = times[0];
  ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
}

}  // namespace

TEST(SingleInstance, OneCopyPerProgramFolderHoweverItIsReached) {
  QTemporaryDir runtime, otherUsersRuntime, program, otherProgram, links;
  const QString link = links.path() + "/game";
  ASSERT_TRUE(QFile::link(program.path(), link));
  int frontRequests = 0;
  rt::SingleInstance first(program.path(), runtime.path());
  ASSERT_EQ(first.Claim([&] { ++frontRequests; }), InstanceClaim::kOnly);
  // The running copy keeps its folder however long it has held it.
  AgeByADay(program.path());
  for (const QString& entry : QDir(runtime.path()).entryList(QDir::System)) AgeByADay(runtime.path() + "/" + entry);
  const struct { const char* name; QString folder; QString runtime; InstanceClaim expected; } cases[] = {
      {"the same path", program.path(), runtime.path(), InstanceClaim::kRaisedRunningCopy},
      {"another path to the folder", program.path() + "/../" + QDir(program.path()).dirName(), runtime.path(),
       InstanceClaim::kRaisedRunningCopy},
      {"a link to the folder", link, runtime.path(), InstanceClaim::kRaisedRunningCopy},
      {"another user (another runtime folder)", program.path(), otherUsersRuntime.path(),
       InstanceClaim::kRunningElsewhere},
      {"another program folder", otherProgram.path(), runtime.path(), InstanceClaim::kOnly},
  };
  for (const auto& c : cases) {
    const int before = frontRequests;
    rt::SingleInstance second(c.folder, c.runtime);
    EXPECT_EQ(second.Claim({}), c.expected) << c.name;
    if (c.expected != InstanceClaim::kRaisedRunningCopy) continue;
    EXPECT_TRUE(ProcessEventsUntil([&] { return frontRequests > before; })) << c.name << ": the running copy is raised";
  }
}

// A copy killed with a program it started (the browser) still running: the next start
// runs, and a start after that raises it.
TEST(SingleInstance, AKilledCopyLeavesNothingThatStopsTheNextStarts) {
  QTemporaryDir runtime, program;
  int output[2];
  ASSERT_EQ(::pipe(output), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rt::SingleInstance killed(program.path(), runtime.path());
    if (killed.Claim({}) != InstanceClaim::kOnly) ::_exit(1);
    // The started program tells its number once it runs, its exec complete.
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    char sh[] = "sh", c[] = "-c", script[] = "echo $$; exec sleep 60";
    char* argv[] = {sh, c, script, nullptr};
    pid_t browser = 0;
    ::_exit(::posix_spawnp(&browser, "sh", &actions, nullptr, argv, environ) == 0 ? 0 : 2);
  }
  ::close(output[1]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  char line[32] = {};
  ASSERT_GT(::read(output[0], line, sizeof line - 1), 0);
  ::close(output[0]);
  const pid_t browser = static_cast<pid_t>(std::atoi(line));
  EXPECT_EQ(QDir(runtime.path()).entryList(QDir::System).size(), 1) << "the killed copy's socket stays behind";

  int frontRequests = 0;
  rt::SingleInstance next(program.path(), runtime.path());
  EXPECT_EQ(next.Claim([&] { ++frontRequests; }), InstanceClaim::kOnly);
  rt::SingleInstance later(program.path(), runtime.path());
  EXPECT_EQ(later.Claim({}), InstanceClaim::kRaisedRunningCopy);
  EXPECT_TRUE(ProcessEventsUntil([&] { return frontRequests == 1; }));
  if (browser > 0) ::kill(browser, SIGKILL);
}

// Where the folder cannot be locked the game starts as if alone; where the socket cannot
// be made the lock still keeps a second copy out.
TEST(SingleInstance, WithoutALockOrASocketTheGameStillStarts) {
  QTemporaryDir runtime, program;
  const QString longRuntime = runtime.path() + "/" + QString(110, 'r');
  ASSERT_TRUE(QDir().mkpath(longRuntime));
  const struct { const char* name; QString folder; QString runtime; InstanceClaim second; } cases[] = {
      {"no program folder to lock", program.path() + "/missing", runtime.path(), InstanceClaim::kOnly},
      {"no runtime folder", program.path(), runtime.path() + "/missing", InstanceClaim::kRunningElsewhere},
      {"a socket path too long", program.path(), longRuntime, InstanceClaim::kRunningElsewhere},
      {"no runtime folder known", program.path(), QString(), InstanceClaim::kRunningElsewhere},
  };
  for (const auto& c : cases) {
    rt::SingleInstance first(c.folder, c.runtime);
    EXPECT_EQ(first.Claim({}), InstanceClaim::kOnly) << c.name;
    rt::SingleInstance second(c.folder, c.runtime);
    EXPECT_EQ(second.Claim({}), c.second) << c.name;
  }
}
