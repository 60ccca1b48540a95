#include "windows/frmTitle.h"

#include <cmath>

#include "runtime/Clock.h"
#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "runtime/Screen.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"
#include "support/Folders.h"
#include "support/MainCommands.h"
#include "support/Sound.h"
#include "windows/ClickAndBrowse.h"

namespace {

const QString kCopyrightNotice = QStringLiteral("Copyright © Quonk-Tirrel-Team");
const QString kWebAddress = QStringLiteral("https://www.example.org");

// The labels of lblCopyright: a notice pair and a web-address pair, dark copy first.
constexpr int kNoticeDark = 0;
constexpr int kNoticeLight = 1;
constexpr int kAddressDark = 2;
constexpr int kAddressLight = 3;

// The title closes at the first timer tick this long after the start-up began.
constexpr float kTitleSeconds = 2.1f;
constexpr int kUnloaderIntervalMs = 250;
constexpr double kSecondsPerDay = 86400;

constexpr rt::Color kPaleYellow = rt::RGB(255, 255, 128);
constexpr rt::Color kCream = rt::RGB(255, 255, 192);
constexpr rt::Color kSilver = rt::RGB(192, 192, 192);

struct LabelDesign {
  double left, top, width, height;
  rt::Color color;
};

// Each text stands twice: a black shadow one pixel to the right (the version line also
// one pixel lower) under a light copy.
const LabelDesign kVersionLabels[] = {{2340, 360, 3840, 330, rt::kBlack}, {2325, 345, 3840, 330, kPaleYellow}};
const LabelDesign kCopyrightLabels[] = {{2985, 2655, 5280, 285, rt::kBlack},
                                        {2970, 2655, 5280, 285, kCream},
                                        {5820, 2970, 2445, 240, rt::kBlack},
                                        {5805, 2970, 2445, 240, kCream}};

rt::Label& DesignLabel(rt::ControlArray<rt::Label>& array, QWidget* form, int index, const LabelDesign& design,
                       const QFont& font, int alignment) {
  rt::Label& label = array.Create(form, index);
  label.Move(design.left, design.top, design.width, design.height);
  label.SetForeColor(design.color);
  label.SetFont(font);
  label.SetAlignment(alignment);
  label.SetBackStyle(rt::kTransparent);
  label.SetVisible(false);
  return label;
}

void ShowPair(rt::ControlArray<rt::Label>& array, int first, const QString& caption) {
  for (int i = first; i <= first + 1; ++i) {
    array(i).SetCaption(caption);
    array(i).SetVisible(true);
  }
}

QString TwoDigits(int64_t value) { return rt::FormatDigits(value, 2); }

}  // namespace

QString TotalPlayTimeText(float Seconds) {
  // A hand-edited settings file may hold a negative total or none at all: nothing played.
  const double total = Seconds > 0 ? static_cast<double>(Seconds) : 0.0;
  // The remainder is exact, and the day count takes no fixed-width product, so totals of
  // many years still show their true number of days.
  const float dayRest = static_cast<float>(std::fmod(total, kSecondsPerDay));
  const double days = (total - dayRest) / kSecondsPerDay;
  const auto hours = static_cast<int64_t>(std::floor(dayRest / 3600.0));
  const float hourRest = static_cast<float>(dayRest - hours * 3600.0);
  const auto minutes = static_cast<int64_t>(std::floor(hourRest / 60.0));
  const float minuteRest = static_cast<float>(hourRest - minutes * 60.0);
  // Fractions of a second are cut off, not rounded.
  const auto seconds = static_cast<int64_t>(std::floor(minuteRest));

  QString text;
  if (days >= 1) text = QString::number(days, 'f', 0) + QStringLiteral(" Tage ");
  return text + TwoDigits(hours) + QLatin1Char(':') + TwoDigits(minutes) + QLatin1Char(':') + TwoDigits(seconds);
}

frmTitle::frmTitle() : Form(QStringLiteral("frmTitle")) {}

frmTitle& TitleForm() { return frmTitle::The(); }

void frmTitle::Design() {
  SetBorder(rt::FormBorder::kNoTitleBar);
  SetStartUpPosition(rt::StartUpPosition::kCenterScreen);
  SetClientSize(8595, 5400);
  SetBackColor(rt::kWhite);
  SetPicture(rt::LoadPicture(QStringLiteral(":/design/title.png")));
  SetMouseIcon(rt::LoadPicture(DesignPicture::LipsCursor), 16, 16);

  const QFont versionFont = rt::MakeFont(QStringLiteral("MS Sans Serif"), 9.75, true);
  for (int i = 0; i < 2; ++i) DesignLabel(lblVersion, this, i, kVersionLabels[i], versionFont, rt::kCenter);

  const QFont noticeFont = rt::MakeFont(QStringLiteral("MS Sans Serif"), 8.25, true);
  const QFont addressFont = rt::MakeFont(QStringLiteral("MS Sans Serif"), 8.25, true, true);
  for (int i = 0; i < 4; ++i)
    DesignLabel(lblCopyright, this, i, kCopyrightLabels[i], i < kAddressDark ? noticeFont : addressFont,
                rt::kRightJustify);
  lblCopyright(kAddressLight).SetMouseIcon(rt::LoadPicture(QStringLiteral(":/design/cursor_hand.png")), 12, 1);
  lblCopyright(kAddressLight).SetMousePointer(rt::kPointerCustom);
  lblCopyright.On(&rt::Label::Click, [this](int Index) { lblCopyright_Click(Index); });

  lblPlayTime = new rt::Label(this, QStringLiteral("lblPlayTime"));
  lblPlayTime->Move(90, 4725, 1365, 600);
  lblPlayTime->SetForeColor(kSilver);
  lblPlayTime->SetAlignment(rt::kCenter);
  lblPlayTime->SetBackStyle(rt::kTransparent);
  lblPlayTime->SetVisible(false);

  cmdExit = new rt::CommandButton(this, QStringLiteral("cmdExit"));
  cmdExit->Move(4005, 4725, 1230, 330);
  cmdExit->SetCaption(QStringLiteral("&OK"));
  cmdExit->SetDefault(true);
  cmdExit->SetVisible(false);
  cmdExit->Click = [this] { cmdExit_Click(); };

  timUnloader = new rt::TimerControl(this, QStringLiteral("timUnloader"));
  timUnloader->SetInterval(0);
  timUnloader->Timer = [this] { timUnloader_Timer(); };
}

void frmTitle::Form_Load() {
  const QString version = QStringLiteral("Freeware-Version: %1.%2.%3")
                              .arg(rt::App::Major)
                              .arg(rt::App::Minor)
                              .arg(rt::App::Revision);
  ShowPair(lblVersion, 0, version);
  // At start-up the title stays in front of the main window that opens behind it, as a
  // splash screen does, whatever the window manager does with the newly shown window;
  // a box the program shows meanwhile (an error at start, a dialog opened from the main
  // window's menu) comes in front of it.
  SetStaysOnTop(!InfoMode);
  if (InfoMode) ShowAboutContent();
}

void frmTitle::ShowAboutContent() {
  ShowPair(lblCopyright, kNoticeDark, kCopyrightNotice);
  ShowPair(lblCopyright, kAddressDark, kWebAddress);
  cmdExit->SetVisible(true);
  lblPlayTime->SetCaption(QStringLiteral("bisherige\rGesamtspielzeit:\r") + TotalPlayTimeText(AbsoluteTime));
  lblPlayTime->SetVisible(true);
}

void frmTitle::Form_Activate() {
  if (bActivated || InfoMode) return;
  SetMousePointer(rt::kPointerCustom);
  // Set before the main window shows, so that coming back to this window later starts
  // nothing again.
  bActivated = true;
  Refresh();
  // Taken before the main window loads: its loading time counts towards the title's time.
  sngStartTime = rt::Timer();
  OpenMainWindow();
  raise();
  timUnloader->SetInterval(kUnloaderIntervalMs);
  SendMainCommand(CommandWord::ProgramStart);
}

// At start-up the title closes itself once the main window is up; a close box (Alt+F4,
// the window manager) must not pull the window away while its activation still loads
// and starts the main window. The about box closes like its OK button.
void frmTitle::Form_QueryUnload(int& Cancel, int UnloadMode) {
  if (UnloadMode == rt::kCloseBox && !InfoMode) Cancel = 1;
}

void frmTitle::timUnloader_Timer() {
  const float now = rt::Timer();
  // After midnight the clock starts again at 0.
  const double wrap = now < sngStartTime ? kSecondsPerDay : 0.0;
  const auto elapsed = static_cast<float>(now - sngStartTime + wrap);
  if (elapsed < kTitleSeconds) return;

  // Read from the file, not the sound switch in memory: only an explicit "FALSE" silences
  // the goodbye sound, and the effects switch has no say.
  if (ReadIniValue(IniSection::Sound, IniKey::SoundOn).toUpper() != IniFlag::False)
    playsound(rt::AppFile(Folder::Sounds + QStringLiteral("Delballs.wav")), 0);
  SetMousePointer(rt::kPointerDefault);
  SendMainCommand(CommandWord::PlayTutorial);
  Unload();
}

void frmTitle::lblCopyright_Click(int Index) {
  if (Index != kAddressDark && Index != kAddressLight) return;
  ClickAndBrowse::BrowseURL(lblCopyright(Index).Caption());
}

void frmTitle::cmdExit_Click() { Unload(); }
