#pragma once
// A main window in a folder of its own: the program's pictures and sounds linked in, a
// settings file written by the test, the virtual clock and the recording sound device.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <memory>

#include "RecordingSoundDevice.h"
#include "game/Groups.h"
#include "game/frmMain.h"
#include "runtime/Clock.h"
#include "runtime/Controls.h"
#include "runtime/Files.h"
#include "runtime/Menu.h"
#include "runtime/SoundDevice.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

class FrmMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetClock(&clock_);
    rt::SetSoundDevice(&sound_);
    for (const char* folder : {"grafics", "sounds"})
      QFile::link(QStringLiteral(QUONK_PROGRAM_DIR "/") + folder, dir_.path() + QLatin1Char('/') + folder);
    rt::SetAppPath(dir_.path());
  }

  void TearDown() override {
    form_.reset();
    // A box the test opened stays loaded when hidden, as the game keeps it.
    for (rt::Form* leftover : rt::Form::LoadedForms()) leftover->Unload();
    // Controls of an unloaded window go once the event loop runs; the next test must not
    // find them by name.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rt::SetAppPath({});
    rt::SetSoundDevice(nullptr);
    rt::SetClock(nullptr);
  }

  // Writes the settings file; keys not given read as missing.
  void WriteSettings(const std::map<QString, std::map<QString, QString>>& sections) {
    QFile file(dir_.path() + QStringLiteral("/QT.Ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const auto& [section, keys] : sections) {
      file.write(("[" + section + "]\r\n").toLatin1());
      for (const auto& [key, value] : keys) file.write((key + "=" + value + "\r\n").toLatin1());
    }
  }

  // A board of columns x rows in colours, no daily limit, at most maxStart balls in the
  // largest group of a fresh deal.
  void WriteBoardSettings(int columns, int rows, int colours, int maxStart = 8, int highscore = 0) {
    WriteSettings({{"GLOBAL",
                    {{"GameColumns", QString::number(columns)},
                     {"GameRows", QString::number(rows)},
                     {"HIGHSCORE", QString::number(highscore)}}},
                   {"COLORS", {{"BALLCOLORS", QString::number(colours)}, {"MaxBallsOnStart", QString::number(maxStart)}}},
                   {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  }

  frmMain& Open() {
    form_ = std::make_unique<frmMain>();
    form_->Show();
    return *form_;
  }

  frmMain& Form() { return *form_; }
  const BoardGame& Game() { return form_->Game(); }

  template <class T = QWidget>
  T& Control(const QString& name) {
    auto* control = dynamic_cast<T*>(form_->findChild<QWidget*>(name));
    if (!control) throw std::runtime_error("no control " + name.toStdString());
    return *control;
  }
  rt::PictureBox& Ball(int k) { return Control<rt::PictureBox>(QStringLiteral("picOnBoard_%1").arg(k)); }
  rt::PictureBox& PointsLabel() { return Control<rt::PictureBox>(QStringLiteral("picScore")); }
  rt::MenuItem& Menu(const QString& name) {
    auto* item = form_->findChild<rt::MenuItem*>(name);
    if (!item) throw std::runtime_error("no menu item " + name.toStdString());
    return *item;
  }
  // The Qt action behind a menu item: its caption and shortcut.
  QAction& MenuAction(const QString& name) {
    auto* action = form_->findChild<QAction*>(name);
    if (!action) throw std::runtime_error("no menu action " + name.toStdString());
    return *action;
  }
  // Chooses a menu item as the user can: only while it is enabled.
  void Choose(const QString& name) {
    rt::MenuItem& item = Menu(name);
    if (item.Enabled()) item.Click();
  }

  void Click(int k) { Ball(k).Click(); }
  void PressKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    QApplication::sendEvent(form_.get(), &press);
  }

  // The picture of the first ball of the first group of at least two balls that pred
  // accepts (pred sees the group marked on a copy of the board), or 0.
  template <class Pred>
  int16_t FindGroup(Pred pred) {
    int16_t found = 0;
    ForEachCell(Game().CurrentBoard(), [&](const BoardCell& cell) {
      if (found || !cell.Occupied) return;
      Board board = Game().CurrentBoard();
      int16_t size = 0;
      if (SelectGroup(board, cell.PicIndex, size) >= 2 && pred(board, cell)) found = cell.PicIndex;
    });
    return found;
  }
  int16_t AnyGroup() {
    return FindGroup([](const Board&, const BoardCell&) { return true; });
  }

  // Base names of the sounds played since log entry from, lower case.
  std::vector<QString> SoundsSince(size_t from) const {
    std::vector<QString> names;
    for (size_t i = from; i < sound_.Log().size(); ++i)
      names.push_back(QFileInfo(sound_.Log()[i].file).completeBaseName().toLower());
    return names;
  }
  size_t SoundCount() const { return sound_.Log().size(); }
  // The tokens of the recordings spoken synchronously since log entry from ("ssto0002" -> "ssto").
  std::vector<QString> SpokenSince(size_t from) const {
    std::vector<QString> tokens;
    for (size_t i = from; i < sound_.Log().size(); ++i)
      if (sound_.Log()[i].mode == rt::PlayMode::Sync)
        tokens.push_back(QFileInfo(sound_.Log()[i].file).completeBaseName().toLower().left(4));
    return tokens;
  }
  // A synchronous recording is heard whole: no sound starts before it has ended.
  void ExpectNoRecordingCut() const {
    const std::vector<rt::PlayRecord>& log = sound_.Log();
    for (size_t i = 0; i + 1 < log.size(); ++i) {
      if (log[i].mode != rt::PlayMode::Sync) continue;
      EXPECT_GE(log[i + 1].startMs, log[i].startMs + std::llround(log[i].lengthMs))
          << log[i].file.toStdString() << " cut by " << log[i + 1].file.toStdString();
    }
  }

  // Every ball on the board shows at its cell with its colour's picture; every other
  // ball picture is hidden.
  void ExpectPicturesMatchBoard() {
    const Board& board = Game().CurrentBoard();
    std::vector<bool> held(board.Cells() + 1, false);
    ForEachCell(board, [&](const BoardCell& cell) {
      if (!cell.Occupied) return;
      held[cell.PicIndex] = true;
      rt::PictureBox& ball = Ball(cell.PicIndex);
      const rt::PictureBox& item = Control<rt::PictureBox>(QStringLiteral("picItem_%1").arg(cell.ColorIndex));
      EXPECT_TRUE(ball.Visible()) << "ball " << cell.PicIndex;
      EXPECT_EQ(ball.Left(), cell.Left) << "ball " << cell.PicIndex;
      EXPECT_EQ(ball.Top(), cell.Top) << "ball " << cell.PicIndex;
      EXPECT_EQ(ball.Picture().Pixmap().cacheKey(), item.Picture().Pixmap().cacheKey()) << "ball " << cell.PicIndex;
    });
    for (int k = 1; k <= board.Cells(); ++k) EXPECT_TRUE(held[k] || !Ball(k).Visible()) << "picture " << k << " shows no ball";
  }

  rt::VirtualClock clock_;
  rt::RecordingSoundDevice sound_;
  QTemporaryDir dir_;
  std::unique_ptr<frmMain> form_;
};
