#include "windows/frmGameExplanation.h"

#include "runtime/Events.h"
#include "runtime/Files.h"
#include "runtime/Picture.h"
#include "runtime/Screen.h"
#include "support/Folders.h"
#include "support/MainFunctions.h"
#include "support/Sound.h"

namespace {

const QString& kTutorialFolder = Folder::Tutorial;
const QString kPictureExtension = QStringLiteral(".JPG");
const QString kRepeatRequest = QStringLiteral("REPEAT");
const QString kExitRequest = QStringLiteral("EXIT");

// The marker sits on the ball the narration of the first board picture talks about.
constexpr double kMarkerLeft = 3780;
constexpr double kMarkerTop = 4905;

// Every effect and pause of the script is an ordinary effect wait (kind 0): effects follow
// the sound and effects switches, pure pauses always wait.
constexpr uint8_t kEffectKind = 0;
constexpr int kBlinks = 5;

void Pause(float ms) { PlayWaveAndWait(QString(), kEffectKind, ms); }

void Effect(const QString& name, float ms) { PlayWaveAndWait(name, kEffectKind, ms); }

// Narration plays whatever the sound switches say: the tutorial is meant to be heard.
void Narrate(const QString& name) { playsound(rt::AppFile(kTutorialFolder + name + QStringLiteral(".wav")), -1); }

}  // namespace

frmGameExplanation::frmGameExplanation() : Form(QStringLiteral("frmGameExplanation")) {}

frmGameExplanation& GameExplanationForm() { return frmGameExplanation::The(); }

// ---- design and load ----

void frmGameExplanation::Design() {
  SetBorder(rt::FormBorder::kDialogNoClose);
  SetStartUpPosition(rt::StartUpPosition::kCenterScreen);
  SetCaption(QStringLiteral("Spielerklärung"));
  SetMouseIcon(rt::LoadPicture(DesignPicture::LipsCursor), 16, 16);
  SetClientSize(7905, 8430);

  picGameBoard = new rt::PictureBox(this, QStringLiteral("picGameBoard"));
  picGameBoard->Move(90, 315, 6405, 7860);

  picMarkBall = new rt::PictureBox(this, QStringLiteral("picMarkBall"));
  picMarkBall->Move(6750, 225, 480, 480);
  picMarkBall->SetPicture(rt::LoadPicture(QStringLiteral(":/design/tut_marker.png")));
  picMarkBall->SetVisible(false);
  picMarkBall->ZOrder(0);

  cmdRepeat = new rt::CommandButton(this, QStringLiteral("cmdRepeat"));
  cmdRepeat->Move(6615, 5760, 1080, 1080);
  cmdRepeat->SetStyle(rt::kGraphicalStyle);
  cmdRepeat->SetPicture(rt::LoadButtonPicture(QStringLiteral(":/design/tut_repeat.png")));
  cmdRepeat->SetToolTipText(QStringLiteral("Spielerklärung wiederholen"));
  cmdRepeat->Click = [this] { cmdRepeat_Click(); };

  cmdOK = new rt::CommandButton(this, QStringLiteral("cmdOK"));
  cmdOK->Move(6615, 7110, 1080, 1080);
  cmdOK->SetStyle(rt::kGraphicalStyle);
  cmdOK->SetPicture(rt::LoadButtonPicture(QStringLiteral(":/design/tut_ok.png")));
  cmdOK->SetToolTipText(QStringLiteral("zum Spiel ..."));
  cmdOK->SetCancel(true);
  cmdOK->Click = [this] { cmdOK_Click(); };
}

void frmGameExplanation::Form_Load() {
  SetCaption(rt::App::Title + QStringLiteral(" - Spielerklärung"));
  picMarkBall->SetTop(kMarkerTop);
  picMarkBall->SetLeft(kMarkerLeft);
}

void frmGameExplanation::Form_Activate() {
  if (bStarted) return;
  bStarted = true;
  RunTutorial();
}

// The window has no close box; a close request from the window manager (Alt+F4) is
// taken as the OK button, so that it never pulls the controls from under a running script.
void frmGameExplanation::Form_QueryUnload(int& Cancel, int UnloadMode) {
  if (UnloadMode != rt::kCloseBox) return;
  Cancel = 1;
  cmdOK_Click();
}

// Every close ends this opening: the next one starts the tutorial again.
void frmGameExplanation::Form_Unload() { bStarted = false; }

// ---- the tutorial ----

void frmGameExplanation::RunTutorial() {
  // The script clears the request at its start, so each run ends with the request made
  // during it.
  do {
    bRunning = true;
    SetMousePointer(rt::kPointerCustom);
    PlayTutorialScript();
    SetMousePointer(rt::kPointerDefault);
    bRunning = false;
  } while (sCommand.toUpper() == kRepeatRequest);
  if (sCommand.toUpper() == kExitRequest) Unload();
}

void frmGameExplanation::PlayTutorialScript() {
  sCommand.clear();
  picGameBoard->SetWidth(6405);
  picGameBoard->SetHeight(7860);
  picGameBoard->SetLeft(90);
  picGameBoard->SetTop(315);
  ShowPicture(QStringLiteral("TutTitle"));
  Refresh();
  Pause(1200);
  if (!NarrateUntilRequest({"tut01", "tut02", "tut02b"})) return;

  // The board pictures are screenshots of the main window: its title and menu bars and
  // its left frame edge lie outside this window.
  picGameBoard->SetTop(-720);
  picGameBoard->SetLeft(-45);
  picGameBoard->SetWidth(6450);
  picGameBoard->SetHeight(8670);
  ShowPicture(QStringLiteral("board_1"));
  Refresh();
  Pause(1200);
  if (!NarrateUntilRequest({"tut03", "tut04", "tut04b"})) return;
  BlinkMarker();

  ShowPicture(QStringLiteral("board_2"));
  picGameBoard->Refresh();
  if (!NarrateUntilRequest({"tut05", "tut06"})) return;

  // The move played out: the group vanishes, the balls above it fall.
  ShowPicture(QStringLiteral("board_3"));
  picGameBoard->Refresh();
  Effect(QStringLiteral("DelBalls"), EffectWait::DelBalls);
  Pause(80);
  ShowPicture(QStringLiteral("board_4"));
  picGameBoard->Refresh();
  Pause(80);
  ShowPicture(QStringLiteral("board_5"));
  picGameBoard->Refresh();
  Effect(QStringLiteral("SetBall"), EffectWait::SetBall);
  if (!NarrateUntilRequest({"tut07", "tut07b", "tut08"})) return;
  Narrate(QStringLiteral("tut08b"));
}

void frmGameExplanation::ShowPicture(const QString& name) {
  picGameBoard->SetPicture(rt::LoadPicture(rt::AppFile(kTutorialFolder + name + kPictureExtension)));
}

bool frmGameExplanation::NarrateUntilRequest(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    Narrate(QLatin1String(name));
    rt::DoEvents();
    if (!sCommand.isEmpty()) return false;
  }
  return true;
}

// The blinking runs to its end whatever was asked meanwhile: it is short, and the
// request is read after the next narration.
void frmGameExplanation::BlinkMarker() {
  for (int i = 0; i < kBlinks; ++i) {
    Pause(300);
    Effect(QStringLiteral("Bblink"), EffectWait::Bblink);
    picMarkBall->SetVisible(true);
    Pause(300);
    picMarkBall->SetVisible(false);
    Effect(QStringLiteral("Bblink"), EffectWait::Bblink);
  }
}

// ---- buttons ----

void frmGameExplanation::cmdRepeat_Click() {
  if (bRunning) {
    sCommand = kRepeatRequest;
    return;
  }
  RunTutorial();
}

void frmGameExplanation::cmdOK_Click() {
  if (bRunning) {
    sCommand = kExitRequest;
    return;
  }
  SetMousePointer(rt::kPointerCustom);
  Narrate(QStringLiteral("tut09"));
  SetMousePointer(rt::kPointerDefault);
  Unload();
}
