// The system message box and the runtime error box.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ProgramEnd.h"
#include "runtime/ErrorBox.h"
#include "runtime/MsgBox.h"

namespace {

struct ResponderReset : ::testing::Test {
  void TearDown() override { rt::SetMsgBoxResponder({}); }
};

TEST(MsgBox, ButtonSetsDefaultsAndEscape) {
  struct Case {
    int style;
    std::vector<std::pair<const char*, int>> buttons;
    int defaultIndex;
    int escape;
  };
  const Case cases[] = {
      {0, {{"OK", 1}}, 0, 1},
      {1 + 256, {{"OK", 1}, {"Abbrechen", 2}}, 1, 2},
      {2 + 512 + 48, {{"Abbrechen", 3}, {"Wiederholen", 4}, {"Ignorieren", 5}}, 2, 0},
      {3 + 512, {{"Ja", 6}, {"Nein", 7}, {"Abbrechen", 2}}, 2, 2},
      {4 + 32 + 256, {{"Ja", 6}, {"Nein", 7}}, 1, 0},
      {5, {{"Wiederholen", 4}, {"Abbrechen", 2}}, 0, 2},
      {64 + 512, {{"OK", 1}}, 0, 1},
  };
  for (const Case& c : cases) {
    const std::vector<rt::MsgBoxButton> buttons = rt::MsgBoxButtons(c.style);
    ASSERT_EQ(buttons.size(), c.buttons.size()) << "style " << c.style;
    for (size_t i = 0; i < buttons.size(); ++i) {
      EXPECT_EQ(buttons[i].text, c.buttons[i].first) << "style " << c.style;
      EXPECT_EQ(buttons[i].answer, c.buttons[i].second) << "style " << c.style;
    }
    EXPECT_EQ(rt::MsgBoxDefaultIndex(c.style), c.defaultIndex) << "style " << c.style;
    EXPECT_EQ(rt::MsgBoxEscapeAnswer(c.style), c.escape) << "style " << c.style;
  }
}

TEST_F(ResponderReset, TheResponderAnswersInsteadOfABoxAndSeesTheRequest) {
  std::vector<rt::MsgBoxRequest> asked;
  rt::SetMsgBoxResponder([&](const rt::MsgBoxRequest& request) {
    asked.push_back(request);
    return rt::kAnswerYes;
  });
  EXPECT_EQ(rt::MsgBox("Wollen Sie?", 36, "Quonk-Tirrel"), rt::kAnswerYes);
  EXPECT_EQ(rt::MsgBox("Ohne Titel"), rt::kAnswerYes);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].prompt, "Wollen Sie?");
  EXPECT_EQ(asked[0].style, 36);
  EXPECT_EQ(asked[1].title, "Quonk-Tirrel") << "an empty title shows the application title";
  EXPECT_EQ(asked[1].style, 0);
}

TEST(MsgBox, TheRealBoxAnswersWithTheClickedButtonAndStartsOnTheDefault) {
  QString defaultText;
  QString shownText;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    defaultText = box->defaultButton()->text();
    shownText = box->text();
    for (QAbstractButton* button : box->buttons())
      if (button->text() == "Nein") button->click();
  });
  EXPECT_EQ(rt::MsgBox("4 Farben wurden markiert!\r5 Farben werden benötigt!", 4 + 32 + 256), rt::kAnswerNo);
  EXPECT_EQ(defaultText, "Nein");
  EXPECT_EQ(shownText, "4 Farben wurden markiert!\n5 Farben werden benötigt!");
}

TEST(ErrorBoxDeathTest, AnUnhandledErrorInAHandlerShowsTheBoxAndEndsWithAnErrorCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ExpectProgramEnd();
        rt::SetMsgBoxResponder([](const rt::MsgBoxRequest& request) {
          std::fprintf(stderr, "[%s|%d|%s]", qPrintable(request.prompt), request.style, qPrintable(request.title));
          return rt::kAnswerOk;
        });
        rt::RunHandler([] { rt::Raise(rt::ErrInvalidPicture); });
        std::fprintf(stderr, "went on");
      },
      ::testing::ExitedWithCode(1), "\\[Laufzeitfehler '481':\nUngültiges Bild\\|16\\|Quonk-Tirrel\\]$");
}

TEST(ErrorBoxDeathTest, EndProcessRunsNothingFurther) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ExpectProgramEnd();
        rt::RunHandler([] { rt::EndProcess(0); });
        std::fprintf(stderr, "went on");
      },
      ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("went on")));
}

}  // namespace
