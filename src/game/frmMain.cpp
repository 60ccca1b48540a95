#include "game/frmMain.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/ScoreDisplay.h"
#include "msgbox/MsgBoxCall.h"
#include "runtime/ErrorBox.h"
#include "runtime/Files.h"
#include "runtime/Keys.h"
#include "runtime/Menu.h"
#include "runtime/MsgBox.h"
#include "runtime/Numbers.h"
#include "runtime/Random.h"
#include "runtime/Screen.h"
#include "settings/ColorMap.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"
#include "speech/LastSpeechFile.h"
#include "support/Folders.h"
#include "support/MainFunctions.h"
#include "support/Sound.h"
#include "windows/frmGameExplanation.h"
#include "windows/frmOptions.h"
#include "windows/frmTitle.h"

namespace {


// The margin around the panels, 15 pixels.
constexpr float kMarginX = 15.0f * rt::Screen::TwipsPerPixelX;
constexpr float kMarginY = 15.0f * rt::Screen::TwipsPerPixelY;
// The time bar stands 18 pixels shorter than its frame.
constexpr double kTimeBarInsetY = 18.0 * rt::Screen::TwipsPerPixelY;

constexpr rt::Color kRed = rt::RGB(255, 0, 0);
constexpr rt::Color kGreen = rt::RGB(0, 255, 0);
constexpr rt::Color kOrange = rt::RGB(255, 128, 0);

// The frames of the vanishing animation: the removal shows all but the last.
constexpr int kAnimationPictures = 5;

}  // namespace

frmMain::frmMain() : Form(QStringLiteral("frmMain")) {}

frmMain& MainForm() { return frmMain::The(); }

void frmMain::SendCommand(const QString& word) { txtCommand->SetText(word); }

void ConnectMainCommands() {
  ConnectMainWindow({[] {
                       frmMain& main = MainForm();
                       main.Load();
                       main.Show();
                     },
                     [](const QString& word) { MainForm().SendCommand(word); }});
}

// ---- design ----

void frmMain::Design() {
  SetBorder(rt::FormBorder::kFixedSingle);
  SetIcon(rt::LoadPicture(DesignPicture::Icon));
  SetMouseIcon(rt::LoadPicture(DesignPicture::LipsCursor));
  SetKeyPreview(true);
  SetClientSize(7000, 8500);
  DesignScorePanel();
  DesignBoard();
  DesignMenus();

  txtCommand = new rt::TextBox(this, QStringLiteral("txtCommand"));
  txtCommand->SetText(QStringLiteral("txtCommand"));
  txtCommand->SetVisible(false);
  txtCommand->Change = [this] { txtCommand_Change(); };

  timTutorialStart = new rt::TimerControl(this, QStringLiteral("timTutorialStart"));
  timTutorialStart->SetInterval(0);
  timTutorialStart->Timer = [this] { timTutorialStart_Timer(); };
}

void frmMain::DesignScorePanel() {
  fraScore = new rt::Frame(this, QStringLiteral("fraScore"));
  fraScore->Move(90, 45, 4380, 1455);

  const QFont scoreFont = rt::MakeFont(QStringLiteral("MS Serif"), 18, true);
  const struct {
    double left, top;
    QString caption;
  } labels[] = {{270, 180, QStringLiteral("Highscore:")},
                {270, 765, QStringLiteral("Punkte:")},
                {3015, 180, QStringLiteral("00000")},
                {3015, 765, QStringLiteral("00000")}};
  for (int i = 0; i < 4; ++i) {
    rt::Label& label = lblScore.Create(fraScore, i);
    label.SetFont(scoreFont);
    label.SetCaption(labels[i].caption);
    label.SetBackStyle(rt::kTransparent);
    if (i < 2) {
      label.SetAutoSize(true);
      label.Move(labels[i].left, labels[i].top);
    } else {
      label.SetAlignment(rt::kRightJustify);
      label.Move(labels[i].left, labels[i].top, 1095, 420);
    }
  }

  picPercentScore.Create(fraScore, 0).Move(135, 630, 4065, 105);
  picPercentScore(0).SetBackColor(kRed);
  picPercentScore.Create(fraScore, 1).Move(135, 1170, 4065, 105);
  picPercentScore(1).SetBackColor(kGreen);

  fraTimeLeft = new rt::Frame(this, QStringLiteral("fraTimeLeft"));
  fraTimeLeft->Move(135, 2025, 375, 825);
  fraTimeLeft->SetToolTipText(QStringLiteral("Anzeige Restspielzeit"));
  fraTimeLeft->MouseMove = [this](int Button, int Shift, double X, double Y) {
    fraTimeLeft_MouseMove(Button, Shift, X, Y);
  };
  shpTime = new rt::Shape(fraTimeLeft, QStringLiteral("shpTime"));
  shpTime->Move(90, 180, 195, 555);
  shpTime->SetFillStyle(rt::Shape::kSolid);
  shpTime->SetFillColor(kGreen);
}

void frmMain::DesignBoard() {
  imgBackground = new rt::Image(this, QStringLiteral("imgBackground"));
  imgBackground->Move(1665, 1755);

  // Empty cells show the white the ball pictures are drawn on.
  picGameBackground = new rt::PictureBox(this, QStringLiteral("picGameBackground"));
  picGameBackground->Move(1800, 1800, 5280, 5760);
  picGameBackground->SetBackColor(rt::kWhite);

  picOnBoard.Create(picGameBackground, 0).Move(0, 0, 480, 480);
  picOnBoard(0).SetVisible(false);
  picOnBoard.On(&rt::PictureBox::Click, [this](int Index) { picOnBoard_Click(Index); });
  picOnBoard.On(&rt::PictureBox::DblClick, [this](int Index) { picOnBoard_DblClick(Index); });

  // Created after the ball pictures, so it stays in front of them.
  picScore = new rt::PictureBox(picGameBackground, QStringLiteral("picScore"));
  picScore->SetBackColor(kOrange);
  picScore->SetForeColor(rt::kWhite);
  picScore->SetFont(rt::MakeFont(QStringLiteral("MS Sans Serif"), 9.75, true));
  picScore->SetVisible(false);
  picScore->Click = [this] { picScore_Click(); };

  for (int i = 0; i < kBallPictures; ++i) {
    rt::PictureBox& item = picItem.Create(this, i);
    item.Move(0, 0, 480, 480);
    item.SetAutoSize(true);
    item.SetVisible(false);
  }
  for (int i = 0; i < kAnimationPictures; ++i) {
    rt::PictureBox& frame = picVAnim.Create(this, i);
    frame.Move(0, 0, 480, 480);
    frame.SetAutoSize(true);
    frame.SetVisible(false);
  }
}

void frmMain::DesignMenus() {
  menGame = AddMenu(QStringLiteral("menGame"), QStringLiteral("&Spiel"));
  menGameNew = menGame->AddItem(QStringLiteral("menGameNew"), QStringLiteral("&Neu"), QStringLiteral("F2"));
  menRestoreOriginal = menGame->AddItem(QStringLiteral("menRestoreOriginal"),
                                        QStringLiteral("&Anfangsstellung wiederherstellen"), QStringLiteral("F5"));
  menBackmove = menGame->AddItem(QStringLiteral("menBackmove"), QStringLiteral("&Zug zurück"), QStringLiteral("Del"));
  menBackmove->SetEnabled(false);
  menMoveForward =
      menGame->AddItem(QStringLiteral("menMoveForward"), QStringLiteral("Zug &vor"), QStringLiteral("Shift+Del"));
  menMoveForward->SetEnabled(false);
  menGame->AddItem(QStringLiteral("menSep1"), QStringLiteral("-"));
  menSound = menGame->AddItem(QStringLiteral("menSound"), QStringLiteral("&Ton"));
  menSound->SetChecked(false);
  menGame->AddItem(QStringLiteral("menSep2"), QStringLiteral("-"));
  menOptions = menGame->AddItem(QStringLiteral("menOptions"), QStringLiteral("Einstellungen"));
  menGame->AddItem(QStringLiteral("menSep2b"), QStringLiteral("-"));
  menQuit = menGame->AddItem(QStringLiteral("menQuit"), QStringLiteral("&Beenden"));

  menHelp = AddMenu(QStringLiteral("menHelp"), QStringLiteral("&Hilfe"));
  menGameExplanation = menHelp->AddItem(QStringLiteral("menGameExplanation"), QStringLiteral("Spielerklärung"));
  menHelp->AddItem(QStringLiteral("menSep3"), QStringLiteral("-"));
  menInfo = menHelp->AddItem(QStringLiteral("menInfo"), QStringLiteral("&Info"));

  menGameNew->Click = [this] { menGameNew_Click(); };
  menRestoreOriginal->Click = [this] { menRestoreOriginal_Click(); };
  menBackmove->Click = [this] { menBackmove_Click(); };
  menMoveForward->Click = [this] { menMoveForward_Click(); };
  menSound->Click = [this] { menSound_Click(); };
  menOptions->Click = [this] { menOptions_Click(); };
  menQuit->Click = [this] { menQuit_Click(); };
  menGameExplanation->Click = [this] { menGameExplanation_Click(); };
  menInfo->Click = [this] { menInfo_Click(); };
}

// ---- load and layout ----

void frmMain::Form_Load() {
  rt::Randomize();
  IniFile = rt::AppFile(QStringLiteral("QT.Ini"));
  ReadSettings(*this);
  playTime_.ResetTick();
  InitGameDefaultsAndLayout();
  fraTimeLeft->SetHeight(imgBackground->Height());
  shpTime->SetHeight(fraTimeLeft->Height() - kTimeBarInsetY);
  playTime_.SetTimeBarHeight(rt::CLng(shpTime->Height()));
  PlaceWindowAtStart();
  LoadFinished = true;
}

void frmMain::InitGameDefaultsAndLayout() {
  ApplyBoardDefaults(SettingsRows_, SettingsColumns_, MaxBallsOnStart_, BallColors);
  GameRows_ = SettingsRows_;
  GameColumns_ = SettingsColumns_;
  BallSet = QStringLiteral("QQ_Balls");
  BackgroundPicture = QStringLiteral("BG_Orange.bmp");
  AnimSet = QStringLiteral("QQ_Anim");
  SetCaption(rt::App::Title);

  fraScore->Move(kMarginX, kMarginY);
  if (DailyLimitInForce(RestrictedTime)) {
    fraTimeLeft->SetTop(fraScore->Top() + fraScore->Height() + kMarginY);
    imgBackground->SetLeft(fraTimeLeft->Left() + fraTimeLeft->Width() + kMarginX);
  }
  imgBackground->SetPicture(rt::LoadPicture(rt::AppFile(Folder::Graphics + BackgroundPicture)));
  imgBackground->SetTop(fraScore->Top() + fraScore->Height() + kMarginY);
  imgBackground->Refresh();

  for (int i = 0; i < kAnimationPictures; ++i)
    picVAnim(i).SetPicture(rt::LoadPicture(SetPictureFile(AnimSet, i)));
  for (int i = 0; i < kBallPictures; ++i) {
    picItem(i).SetVisible(false);
    if (i < BallColors) picItem(i).SetPicture(rt::LoadPicture(BallPictureFile(i)));
  }
  CellWidth = rt::CLng(picItem(0).Width());
  CellHeight = rt::CLng(picItem(0).Height());
  FitBoardToScreen();
  picGameBackground->SetWidth(int32_t{GameColumns_} * CellWidth);
  picGameBackground->SetHeight(int32_t{GameRows_} * CellHeight);

  // The board area is the background picture, or the board where a large board from the
  // settings file outgrows the picture: the window always holds the whole board.
  const double areaWidth = std::max(imgBackground->Width(), picGameBackground->Width());
  const double areaHeight = std::max(imgBackground->Height(), picGameBackground->Height());
  const double frameWidth = Width() - ScaleWidth();
  const double frameHeight = Height() - ScaleHeight();
  SetWidth(imgBackground->Left() + areaWidth + kMarginX + frameWidth);
  const float scoreRight = static_cast<float>(fraScore->Left() + fraScore->Width());
  const float areaRight = static_cast<float>(imgBackground->Left() + areaWidth);
  if (scoreRight > areaRight)
    SetWidth(fraScore->Left() + fraScore->Width() + kMarginX + frameWidth);
  else
    fraScore->SetLeft((Width() - fraScore->Width()) / 2);
  SetHeight(fraScore->Top() + fraScore->Height() + kMarginY + areaHeight + kMarginY + frameHeight);

  LoadBallControls();
  PercentBarWidth = rt::CLng(picPercentScore(0).Width());
  DealNewBoard();
  picGameBackground->Move(imgBackground->Left() + (areaWidth - picGameBackground->Width()) / 2,
                          imgBackground->Top() + (areaHeight - picGameBackground->Height()) / 2);
  ShowScore(true);
  AnalyzeSpeechFiles();
}

// A board larger than the screen can show (a hand-edited settings file) is played in
// this run with as many columns and rows as fit beside the panels, never fewer than the
// background picture holds: the window is at least that large whatever the board.
void frmMain::FitBoardToScreen() {
  const auto fitting = [](double room, double picture, int32_t cell) {
    const double cells = std::floor(std::max(room, picture) / cell);
    return static_cast<int16_t>(std::clamp<double>(cells, 1, std::numeric_limits<int16_t>::max()));
  };
  const double roomWidth = LargestScaleWidth() - imgBackground->Left() - kMarginX;
  const double roomHeight = LargestScaleHeight() - imgBackground->Top() - kMarginY;
  GameColumns_ = std::min(GameColumns_, fitting(roomWidth, imgBackground->Width(), CellWidth));
  GameRows_ = std::min(GameRows_, fitting(roomHeight, imgBackground->Height(), CellHeight));
}

// A window stored at (0, 0), or right of or below the screen, opens centred; any other
// stored place is kept, moved onto the screen as it shows when it lies partly off it.
void frmMain::PlaceWindowAtStart() {
  const double screenWidth = rt::Screen::Width();
  const double screenHeight = rt::Screen::Height();
  const bool centre = (Left() == 0 && Top() == 0) || Top() >= screenHeight || Left() >= screenWidth;
  if (centre) CentreOnScreen();
}

// ---- settings host ----

float frmMain::WindowTop() const { return static_cast<float>(Top()); }
void frmMain::SetWindowTop(float top) { SetTop(top); }
float frmMain::WindowLeft() const { return static_cast<float>(Left()); }
void frmMain::SetWindowLeft(float left) { SetLeft(left); }
void frmMain::SetTimeLeftVisible(bool visible) { fraTimeLeft->SetVisible(visible); }
void frmMain::CheckSoundMenu(bool checked) { menSound->SetChecked(checked); }

void frmMain::SetBusyPointer(bool busy) {
  rt::Screen::SetMousePointer(busy ? rt::kPointerHourglass : rt::kPointerDefault);
}


// ---- close ----


void frmMain::Form_QueryUnload(int& Cancel, int UnloadMode) {
  (void)Cancel;
  if (UnloadMode != rt::kCloseBox && UnloadMode != rt::kSessionEnd && UnloadMode != rt::kTaskManager) return;
  // The first deal's waits let a close request in while the settings and the speech
  // catalogue are still being loaded: a save then would overwrite them with half a state.
  // Nothing has been played yet, so there is nothing to save.
  if (!LoadFinished) rt::EndProcess();
  SaveSettingsOnClose();
  rt::EndProcess();
}

void frmMain::menQuit_Click() {
  if (SoundBusy) return;
  SaveSettingsOnClose();
  Unload();
}

// ---- menus ----

void frmMain::ActualizeMenu(MenuItem Point, bool Status) {
  switch (Point) {
    case MenuItem::Backmove:
      UndoEnabled = Status;
      menBackmove->SetEnabled(Status);
      return;
    case MenuItem::MoveForward:
      menMoveForward->SetEnabled(Status);
      return;
  }
}

void frmMain::menSound_Click() {
  menSound->SetChecked(!menSound->Checked());
  SoundOn = menSound->Checked();
}

void frmMain::menOptions_Click() {
  rt::Screen::SetMousePointer(rt::kPointerHourglass);
  OptionsForm().Load();
  rt::Screen::SetMousePointer(rt::kPointerDefault);
  OptionsForm().ShowModal();
  // With learn mode switched on, the shut-up switch may be explained once more.
  speech_.SetShutUpExplained(!LearnMode);
  menSound->SetChecked(SoundOn);
}
void frmMain::menGameExplanation_Click() {
  rt::Screen::SetMousePointer(rt::kPointerHourglass);
  GameExplanationForm().Load();
  rt::Screen::SetMousePointer(rt::kPointerDefault);
  GameExplanationForm().ShowModal();
}
void frmMain::menInfo_Click() {
  InfoMode = true;
  TitleForm().ShowModal();
}

void frmMain::timTutorialStart_Timer() {
  timTutorialStart->SetInterval(0);
  menGameExplanation_Click();
}

// ---- keys ----

void frmMain::Form_KeyDown(int KeyCode, int Shift) {
  if (KeyCode == rt::Key::F9 && Shift == 0) playsound(LastSpeechFile, 0);
  if (KeyCode == rt::Key::F6 && Shift == rt::kShiftMask) ShowBestGroupSize();
  if (KeyCode == rt::Key::F8 && Shift == rt::kShiftMask) ShowColorScale();
  if (KeyCode == rt::Key::Delete && Shift == 0 && game_.MoveIndex() == 0) {
    ShowGroupScore(false);
    ClearMarks();
  }
}

void frmMain::ShowBestGroupSize() {
  NoButtonExplanation = true;
  const int16_t n = BestGroupSize();
  FMsgB(QStringLiteral("Maximale Anzahl von verbundenen Bällen: ") + rt::CStr(int32_t{n}),
        kNoticeStyle, rt::App::Title);
}

// Runs the time bar through the whole colour scale, 100 % down to 0 %.
void frmMain::ShowColorScale() {
  for (int p = 100; p >= 0; --p) {
    shpTime->SetFillColor(ColorForPercent(static_cast<float>(p)));
    shpTime->Refresh();
    PlayWaveAndWait(QString(), 0, 100);
  }
}
