// Controls: arrays, the text box's change order, label sizing, clicks, drawing
// and pictures.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Events.h"
#include "runtime/Form.h"
#include "runtime/Twips.h"

namespace {

class ArrayForm : public rt::Form {
 public:
  ArrayForm() : Form("frmArrays") {}
  rt::ControlArray<rt::PictureBox> picOnBoard{"picOnBoard"};
  rt::PictureBox* picGameBackground = nullptr;
  rt::PictureBox* picScore = nullptr;
  std::vector<int> clicked;

 protected:
  void Design() override {
    SetClientSize(4800, 4800);
    picGameBackground = new rt::PictureBox(this, "picGameBackground");
    picGameBackground->Move(300, 300, 3600, 3600);
    rt::PictureBox& first = picOnBoard.Create(picGameBackground, 0);
    first.Move(0, 0, 480, 480);
    first.SetFont(rt::MakeFont("MS Serif", 18, true));
    first.SetBackColor(rt::RGB(0, 0, 255));
    picOnBoard.On(&rt::PictureBox::Click, [this](int Index) { clicked.push_back(Index); });
    picScore = new rt::PictureBox(picGameBackground, "picScore");
  }
};

void Click(QWidget* widget, QEvent::Type last = QEvent::MouseButtonRelease) {
  const QPointF at(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(last, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

TEST(ControlArray, LoadedElementsAreHiddenCopiesOfElementZeroAndPassTheirIndex) {
  ArrayForm form;
  form.Show();
  form.picOnBoard(0).SetPicture(rt::Picture(QPixmap(32, 32)));
  for (int i = 1; i <= 3; ++i) form.picOnBoard.Load(i);
  const rt::PictureBox& copy = form.picOnBoard(3);
  EXPECT_FALSE(copy.Visible());
  EXPECT_EQ(copy.objectName(), "picOnBoard_3");
  EXPECT_EQ(copy.parentWidget(), form.picGameBackground);
  EXPECT_EQ(copy.Width(), 480);
  EXPECT_EQ(copy.Height(), 480);
  EXPECT_EQ(copy.Font(), rt::MakeFont("MS Serif", 18, true));
  EXPECT_EQ(copy.BackColor(), rt::RGB(0, 0, 255));
  EXPECT_EQ(copy.Picture().Pixmap().cacheKey(), form.picOnBoard(0).Picture().Pixmap().cacheKey());
  EXPECT_FALSE(form.picOnBoard.Exists(4));

  form.picOnBoard(2).SetVisible(true);
  Click(&form.picOnBoard(2));
  Click(&form.picOnBoard(0));
  EXPECT_EQ(form.clicked, (std::vector<int>{2, 0}));

  const QObjectList stack = form.picGameBackground->children();
  EXPECT_GT(stack.indexOf(form.picScore), stack.indexOf(&form.picOnBoard(3)))
      << "a control placed over the array at design time stays in front of loaded elements";
}

TEST(ControlArray, ErrorsForMissingLoadedTwiceAndDesignTimeElements) {
  struct Case {
    const char* name;
    std::function<void(ArrayForm&)> action;
    int error;
  };
  const Case cases[] = {
      {"missing element", [](ArrayForm& f) { f.picOnBoard(7); }, rt::ErrNoSuchElement},
      {"loaded twice", [](ArrayForm& f) { f.picOnBoard.Load(1), f.picOnBoard.Load(1); }, rt::ErrAlreadyLoaded},
      {"unload element 0", [](ArrayForm& f) { f.picOnBoard.Unload(0); }, rt::ErrCannotUnloadDesign},
      {"after unload", [](ArrayForm& f) { f.picOnBoard.Load(1), f.picOnBoard.Unload(1), f.picOnBoard(1); },
       rt::ErrNoSuchElement},
  };
  for (const Case& c : cases) {
    ArrayForm form;
    form.Load();
    try {
      c.action(form);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const rt::RuntimeError& e) {
      EXPECT_EQ(e.Number(), c.error) << c.name;
    }
  }
}

TEST(ControlArray, AWindowLoadedAgainStartsItsArraysAfresh) {
  ArrayForm form;
  form.Load();
  form.picOnBoard.Load(1);
  form.Unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  form.Load();
  EXPECT_FALSE(form.picOnBoard.Exists(1));
  form.picOnBoard.Load(1);
  form.picOnBoard(1).SetVisible(true);
  form.Show();
  Click(&form.picOnBoard(1));
  EXPECT_EQ(form.clicked, std::vector<int>{1}) << "bound once, not once per load";
}

TEST(Controls, DoubleClickGivesClickThenDblClick) {
  ArrayForm form;
  form.Show();
  std::vector<std::string> log;
  form.picScore->Click = [&] { log.push_back("Click"); };
  form.picScore->DblClick = [&] { log.push_back("DblClick"); };
  Click(form.picScore);
  Click(form.picScore, QEvent::MouseButtonDblClick);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(form.picScore, &release);
  EXPECT_EQ(log, (std::vector<std::string>{"Click", "DblClick"}));
}

TEST(TextBox, ChangeRunsInsideTheSetterOnlyWhenTheTextDiffers) {
  QWidget window;
  rt::TextBox txtCommand(&window, "txtCommand");
  std::vector<std::string> log;
  txtCommand.Change = [&] { log.push_back("Change " + txtCommand.Text().toStdString()); };
  txtCommand.SetText("ShowHighScore");
  log.push_back("after set");
  txtCommand.SetText("ShowHighScore");
  txtCommand.SetText("");
  EXPECT_EQ(log, (std::vector<std::string>{"Change ShowHighScore", "after set", "Change "}));
}

TEST(TextBox, AChangeHandlerMayClearItsOwnBox) {
  QWidget window;
  rt::TextBox txtCommand(&window, "txtCommand");
  std::vector<std::string> seen;
  txtCommand.Change = [&] {
    seen.push_back(txtCommand.Text().toStdString());
    if (!txtCommand.Text().isEmpty()) txtCommand.SetText("");
  };
  txtCommand.SetText("SBUT");
  txtCommand.SetText("SBUT");
  EXPECT_EQ(seen, (std::vector<std::string>{"SBUT", "", "SBUT", ""}));
}

TEST(TextBox, MaxLengthLimitsTypingButNotTextSetInCode) {
  QWidget window;
  rt::TextBox txtParameters(&window, "txtParameters", 0);
  txtParameters.SetMaxLength(3);
  txtParameters.SetText("1440");
  EXPECT_EQ(txtParameters.Text(), "1440");
  txtParameters.SetText("99");
  txtParameters.setFocus();
  txtParameters.setCursorPosition(2);
  for (const char* key : {"9", "9"}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, QString::fromLatin1(key));
    QApplication::sendEvent(&txtParameters, &press);
  }
  EXPECT_EQ(txtParameters.Text(), "999");
}

TEST(Label, AutoSizeGrowsAWrappingLabelInHeightOnlyAndAPlainOneInBoth) {
  QWidget window;
  rt::Label lblmsg(&window, "lblmsg");
  lblmsg.Move(1605, 165, 3405, 195);
  lblmsg.SetWordWrap(true);
  lblmsg.SetAutoSize(true);
  lblmsg.SetCaption("Neues Spiel?");
  const double oneLine = lblmsg.Height();
  lblmsg.SetCaption(QString("Laufendes Spiel abbrechen? ").repeated(6));
  EXPECT_EQ(lblmsg.Width(), 3405);
  EXPECT_GT(lblmsg.Height(), 2 * oneLine);
  lblmsg.SetCaption("bisherige\rGesamtspielzeit:\r00:41:07");
  EXPECT_NEAR(lblmsg.Height(), 3 * oneLine, 15) << "a lone CR breaks the line";

  rt::Label lblPlain(&window, "lblPlain");
  lblPlain.Move(0, 0, 15, 15);
  lblPlain.SetAutoSize(true);
  lblPlain.SetCaption("Highscore:");
  EXPECT_GT(lblPlain.Width(), 15);
  EXPECT_EQ(lblPlain.Height(), oneLine);
}

TEST(PictureBox, DrawingSurvivesRepaintsAndClsClearsIt) {
  QWidget window;
  rt::PictureBox picOnBoard(&window, "picOnBoard");
  picOnBoard.Move(0, 0, 480, 480);
  picOnBoard.SetBackColor(rt::kWhite);
  picOnBoard.DrawBox(0, 0, 480 - 15, 480 - 15, rt::kBlack);
  picOnBoard.Refresh();
  const auto at = [&](int x, int y) { return rt::FromQColor(picOnBoard.Snapshot().pixelColor(x, y)); };
  EXPECT_EQ(at(0, 0), rt::kBlack);
  EXPECT_EQ(at(31, 31), rt::kBlack);
  EXPECT_EQ(at(16, 16), rt::kWhite);
  const QImage grabbed = picOnBoard.grab().toImage();
  EXPECT_EQ(rt::FromQColor(grabbed.pixelColor(31, 0)), rt::kBlack);
  picOnBoard.Cls();
  EXPECT_EQ(at(0, 0), rt::kWhite);
}

TEST(PictureBox, PrintWritesLineUnderLineAndMeasuresInItsFont) {
  QWidget window;
  rt::PictureBox picScore(&window, "picScore");
  picScore.Move(0, 0, 1500, 1500);
  picScore.SetBackColor(rt::kWhite);
  picScore.SetForeColor(rt::kBlack);
  picScore.SetFont(rt::MakeFont("MS Sans Serif", 9.75, true));
  const double height = picScore.TextHeight(" 12");
  picScore.Print("X");
  picScore.Print("X");
  const QImage shown = picScore.Snapshot();
  const int line = rt::Px(height);
  const auto inked = [&](int top) {
    for (int y = top; y < top + line; ++y)
      for (int x = 0; x < line; ++x)
        if (shown.pixelColor(x, y) != Qt::white) return true;
    return false;
  };
  EXPECT_TRUE(inked(0));
  EXPECT_TRUE(inked(line)) << "the second text goes under the first";
  EXPECT_FALSE(inked(2 * line));
  EXPECT_GT(picScore.TextWidth(" 120"), picScore.TextWidth(" 12"));
  picScore.SetFont(rt::MakeFont("MS Sans Serif", 18, true));
  EXPECT_GT(picScore.TextHeight(" 12"), height);
}

TEST(Picture, LoadErrorsForMissingUnreadableAndDamagedFiles) {
  QTemporaryDir dir;
  const auto put = [&](const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  };
  const auto shipped = [](const QString& relative) {
    QFile file(QStringLiteral(QUONK_SOURCE_DIR "/assets/") + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
  };
  const QByteArray ball = shipped("grafics/QQ_Balls0003.bmp");
  const QByteArray photo = shipped("tutorial/board_1.JPG");
  const QString fifo = dir.filePath("fifo.bmp");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  struct Case {
    QString path;
    int error;
  };
  for (const Case& c : {Case{dir.filePath("missing.bmp"), rt::ErrFileNotFound},
                        Case{dir.path(), rt::ErrFileNotFound},
                        Case{fifo, rt::ErrFileNotFound},  // opened without waiting for a writer
                        Case{put("broken.bmp", "no picture"), rt::ErrInvalidPicture},
                        Case{put("cut.bmp", ball.left(ball.size() - 1)), rt::ErrInvalidPicture},
                        Case{put("half.bmp", ball.left(ball.size() / 2)), rt::ErrInvalidPicture},
                        Case{put("cut.jpg", photo.left(photo.size() * 3 / 4)), rt::ErrInvalidPicture}}) {
    try {
      rt::LoadPicture(c.path);
      ADD_FAILURE() << c.path.toStdString();
    } catch (const rt::RuntimeError& e) {
      EXPECT_EQ(e.Number(), c.error) << c.path.toStdString();
    }
  }
  EXPECT_EQ(rt::LoadPicture(put("whole.bmp", ball)).Pixmap().width(), 32);
  EXPECT_FALSE(rt::LoadPicture(put("whole.jpg", photo)).IsEmpty());
  const QString good = dir.filePath("ball.png");
  QPixmap(32, 33).save(good);
  const rt::Picture picture = rt::LoadPicture(good);
  EXPECT_EQ(picture.Pixmap().size(), QSize(32, 33));
}

TEST(Colors, LongValuesAndTheStandardColours) {
  EXPECT_EQ(rt::RGB(255, 128, 0), 33023);
  EXPECT_EQ(rt::QBColor(12), rt::RGB(255, 0, 0));
  EXPECT_EQ(rt::QBColor(7), rt::RGB(192, 192, 192));
  EXPECT_EQ(rt::FromQColor(rt::ToQColor(rt::RGB(1, 2, 3))), rt::RGB(1, 2, 3));
  EXPECT_THROW(rt::QBColor(16), rt::RuntimeError);
}

}  // namespace
