#include "windows/frmOptions.h"

#include <array>
#include <QFontMetrics>
#include <cmath>

#include "runtime/Files.h"
#include "runtime/MsgBox.h"
#include "runtime/Numbers.h"
#include "runtime/Picture.h"
#include "runtime/Screen.h"
#include "runtime/TabControl.h"
#include "runtime/Twips.h"
#include "settings/ColorMap.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"
#include "support/Folders.h"
#include "support/MainCommands.h"
#include "windows/PicTranzparence.h"

namespace {

const QString& kGlobal = IniSection::Global;
const QString& kColors = IniSection::Colors;
const QString& kTimes = IniSection::Times;
const QString kLastTabKey = QStringLiteral("LASTOPTIONSTAB");

constexpr double kDialogFontPoints = 7.5;
const QString kSmallIndicator = QStringLiteral("QCheckBox::indicator { width: 11px; height: 11px; }");

// The standard times: a daily limit of 30 minutes and a tolerance of 30 seconds.
constexpr int kStandardMinutes = 30;
constexpr int kStandardToleranceSeconds = 30;

// A colour box and its ball picture inside fraOptions, in twips: pictures 0 to 4 and 10
// in the left column, 5 to 9 in the right one.
struct ColorRow {
  double boxLeft, boxTop, pictureLeft, pictureTop;
};
constexpr std::array<ColorRow, kBallPictures> kColorRows{{
    {270, 1530, 675, 1485},
    {270, 2160, 675, 2100},
    {270, 2790, 675, 2715},
    {270, 3420, 675, 3345},
    {270, 4050, 675, 3960},
    {1350, 1530, 1755, 1485},
    {1350, 2145, 1755, 2115},
    {1350, 2760, 1755, 2745},
    {1350, 3390, 1755, 3375},
    {1350, 4005, 1755, 4005},
    {270, 4635, 675, 4590},
}};

const QString kToleranceHint =
    QStringLiteral("Hinweis:\rDie Toleranzzeit bestimmt, wieviele Sekunden zwischen zwei Aktionen mindestens "
                   "vergehen müssen, damit die dazwischenliegende Zeit NICHT gewertet wird.\r\rDies ermöglicht "
                   "die Berechnung der REINEN Spielzeit ohne eventuelle Unterbrechungen ...");

bool Ticked(const rt::CheckBox& box) { return box.Value() == rt::kChecked; }
int TickValue(bool on) { return on ? rt::kChecked : rt::kUnchecked; }

}  // namespace

frmOptions::frmOptions() : Form(QStringLiteral("frmOptions")) {}

frmOptions& OptionsForm() { return frmOptions::The(); }

// ---- design ----

void frmOptions::Design() {
  SetCaption(QStringLiteral("Einstellungen"));
  SetBorder(rt::FormBorder::kFixedDialog);
  SetStartUpPosition(rt::StartUpPosition::kCenterOwner);
  SetClientSize(5040, 7230);

  tabOptions = new rt::TabControl(this, QStringLiteral("tabOptions"), 2);
  tabOptions->Move(270, 135, 4545, 6315);
  tabOptions->SetTabCaption(0, QStringLiteral("&Farben"));
  tabOptions->SetTabCaption(1, QStringLiteral("&Spielsteuerung"));
  DesignColorsTab();
  DesignSoundFrame();
  DesignTimesFrame();
  cmdResetHighscore = new rt::CommandButton(tabOptions->TabPage(1), QStringLiteral("cmdResetHighscore"));
  cmdResetHighscore->SetCaption(QStringLiteral("&Highscore zurücksetzen"));
  cmdResetHighscore->Move(270, 5805, 3975, 375);

  cmdCancel = new rt::CommandButton(this, QStringLiteral("cmdCancel"));
  cmdCancel->SetCaption(QStringLiteral("Abbrechen"));
  cmdCancel->Move(2295, 6705, 1320, 330);
  cmdCancel->SetCancel(true);
  cmdOK = new rt::CommandButton(this, QStringLiteral("cmdOK"));
  cmdOK->SetCaption(QStringLiteral("&OK"));
  cmdOK->Move(3825, 6705, 960, 330);
  cmdOK->SetDefault(true);

  UseDialogFont();
  PlaceInBlankStretch(txtParameters(0), lblParameters(0));
  PlaceInBlankStretch(txtParameters(1), lblParameters(1));
  BindHandlers();
}

// The dialog's captions were laid out for a narrow system font; a point smaller than the
// program's default lets the longest of them fit their boxes.
void frmOptions::UseDialogFont() {
  const QFont font = rt::MakeFont(QStringLiteral("MS Sans Serif"), kDialogFontPoints);
  for (QWidget* widget : Client()->findChildren<QWidget*>()) widget->setFont(font);
}

// A time box sits in the blank stretch of its caption, between the text and the unit;
// where that stretch lies depends on the font.
void frmOptions::PlaceInBlankStretch(rt::TextBox& box, const rt::Label& caption) {
  const QString text = caption.Caption();
  const QFontMetrics metrics(caption.Font());
  const qsizetype first = text.indexOf(QStringLiteral("  "));
  const qsizetype last = text.lastIndexOf(QStringLiteral("  ")) + 2;
  const double start = caption.Left() + rt::Twips(metrics.horizontalAdvance(text.left(first)));
  const double stretch = rt::Twips(metrics.horizontalAdvance(text.mid(first, last - first)));
  box.SetLeft(rt::CLng(start + (stretch - box.Width()) / 2));
}

void frmOptions::DesignColorsTab() {
  fraOptions = new rt::Frame(tabOptions->TabPage(0), QStringLiteral("fraOptions"));
  fraOptions->SetCaption(QStringLiteral(" Farben "));
  fraOptions->Move(1035, 630, 2580, 5280);
  const std::array<QString, 3> modes{QStringLiteral("Standardfarben"), QStringLiteral("Zufällige Farben"),
                                     QStringLiteral("Folgende Farben:")};
  for (int i = 0; i < 3; ++i) {
    rt::OptionButton& option = optColors.Create(fraOptions, i);
    option.SetCaption(modes[static_cast<size_t>(i)]);
    option.Move(270, 360 + 360 * i, 2085, 285);
  }
  for (int i = 0; i < kBallPictures; ++i) {
    const ColorRow& row = kColorRows[static_cast<size_t>(i)];
    rt::CheckBox& box = chk.Create(fraOptions, i);
    box.Move(row.boxLeft, row.boxTop, 195, 330);
    // The colour boxes have no caption and are narrower than the style's check mark box:
    // a smaller one is drawn whole.
    box.setStyleSheet(kSmallIndicator);
    picItem.Create(fraOptions, i).Move(row.pictureLeft, row.pictureTop, 480, 480);
  }
}

void frmOptions::DesignSoundFrame() {
  QWidget* tab = tabOptions->TabPage(1);
  fraSoundB = new rt::Frame(tab, QStringLiteral("fraSoundB"));
  fraSoundB->SetCaption(QStringLiteral("  "));
  fraSoundB->Move(270, 585, 3975, 1950);
  // The master switch stands over the frame's top edge as its title.
  rt::CheckBox& soundOn = chkKidOption.Create(tab, 0);
  soundOn.SetCaption(QStringLiteral("Ton an"));
  soundOn.Move(450, 495, 825, 375);

  rt::CheckBox& effects = chkKidOption.Create(fraSoundB, 1);
  effects.SetCaption(QStringLiteral("Klangeffekte"));
  effects.Move(405, 405, 1590, 285);
  Line1 = new rt::Line(fraSoundB, QStringLiteral("Line1"));
  Line1->SetPoints(405, 855, 3690, 855);
  lblKids = new rt::Label(fraSoundB, QStringLiteral("lblKids"));
  lblKids->SetCaption(QStringLiteral("für Vorschul-Kinder"));
  lblKids->SetAlignment(rt::kCenter);
  lblKids->SetBackStyle(rt::kOpaque);
  lblKids->Move(1350, 765, 1455, 195);
  rt::CheckBox& learn = chkKidOption.Create(fraSoundB, 2);
  learn.SetCaption(QStringLiteral("Lernmodus (Erklärung Spiel + Schaltflächen)"));
  learn.Move(405, 990, 3525, 375);
  rt::CheckBox& comments = chkKidOption.Create(fraSoundB, 3);
  comments.SetCaption(QStringLiteral("Quonk Tirrels Bemerkungen"));
  comments.Move(405, 1350, 3210, 375);
}

void frmOptions::DesignTimesFrame() {
  fraTimes = new rt::Frame(tabOptions->TabPage(1), QStringLiteral("fraTimes"));
  fraTimes->SetCaption(QStringLiteral(" Zeiteinstellungen "));
  fraTimes->Move(270, 2610, 3975, 3120);

  // Each time box sits in the blank stretch of its caption, before the unit.
  rt::Label& limitCaption = lblParameters.Create(fraTimes, 0);
  limitCaption.SetCaption(QStringLiteral("Limitierte Spielzeit - täglich:           min"));
  limitCaption.Move(135, 360, 2760, 285);
  rt::TextBox& limit = txtParameters.Create(fraTimes, 0);
  limit.Move(2070, 315, 375, 330);
  limit.SetMaxLength(3);
  limit.SetText(QStringLiteral("999"));
  rt::Label& toleranceCaption = lblParameters.Create(fraTimes, 1);
  toleranceCaption.SetCaption(QStringLiteral("Toleranzzeit:           sec"));
  toleranceCaption.Move(1125, 765, 1860, 285);
  rt::TextBox& tolerance = txtParameters.Create(fraTimes, 1);
  tolerance.Move(2070, 720, 375, 330);
  tolerance.SetMaxLength(2);
  tolerance.SetText(QStringLiteral("99"));

  cmdTimeStandard = new rt::CommandButton(fraTimes, QStringLiteral("cmdTimeStandard"));
  cmdTimeStandard->SetCaption(QStringLiteral("Stan&dard"));
  cmdTimeStandard->Move(2880, 495, 960, 375);
  Line2 = new rt::Line(fraTimes, QStringLiteral("Line2"));
  Line2->SetPoints(180, 1215, 3780, 1215);
  rt::Label& hint = lblParameters.Create(fraTimes, 2);
  hint.SetWordWrap(true);
  hint.SetCaption(QStringLiteral("Erläuterung Toleranzzeit ..."));
  hint.Move(180, 1350, 3660, 1680);
}

void frmOptions::BindHandlers() {
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
  cmdResetHighscore->Click = [this] { cmdResetHighscore_Click(); };
  cmdTimeStandard->Click = [this] { cmdTimeStandard_Click(); };
  chkKidOption.On(&rt::CheckBox::Click, [this](int Index) { chkKidOption_Click(Index); });
  optColors.On(&rt::OptionButton::Click, [this](int Index) { optColors_Click(Index); });
  txtParameters.On(&rt::TextBox::Change, [this](int Index) { txtParameters_Change(Index); });
  txtParameters.On(&rt::TextBox::GotFocus, [this](int Index) { txtParameters_GotFocus(Index); });
}

// ---- load ----

void frmOptions::Form_Load() {
  SavedHighscore = Highscore;
  txtParameters(0).SetEnabled(AllowTimeSettingsEdit);
  txtParameters(1).SetEnabled(AllowTimeSettingsEdit);
  cmdTimeStandard->SetEnabled(AllowTimeSettingsEdit);

  // Only a hand-edited file holds a tab or colour mode the dialog has not got: those
  // show the first tab and the standard colours.
  const int tab = rt::ClampCInt(rt::Val(ReadIniValue(kGlobal, kLastTabKey)));
  tabOptions->SetTab(tab >= 0 && tab < tabOptions->Tabs() ? tab : 0);
  LoadBallPictures();
  optColors(optColors.Exists(ColorChoice) ? ColorChoice : 0).SetValue(true);
  TickStoredColors();
  if (ColorChoice != ColorMode::Chosen) EnableCheckboxes(false);

  chkKidOption(0).SetValue(TickValue(SoundOn));
  chkKidOption(1).SetValue(TickValue(EffectsOn));
  chkKidOption(2).SetValue(TickValue(LearnMode));
  chkKidOption(3).SetValue(TickValue(CommentsOn));
  EnableSoundOptions(Ticked(chkKidOption(0)));

  cmdResetHighscore->SetEnabled(Highscore > 0);
  txtParameters(0).SetText(rt::CStr(static_cast<float>(std::floor(RestrictedTime / 60.0))));
  txtParameters(1).SetText(rt::CStr(ToleranceTime));
  lblParameters(2).SetCaption(kToleranceHint);
  // The stored seconds decide, not the minutes shown: a limit of 30.5 minutes shows as 30
  // but is no standard time.
  const bool standardTimes = ToleranceTime == kStandardToleranceSeconds && RestrictedTime == kStandardMinutes * 60;
  cmdTimeStandard->SetEnabled(AllowTimeSettingsEdit && !standardTimes);
}

void frmOptions::LoadBallPictures() {
  for (int i = 0; i < kBallPictures; ++i) {
    picItem(i).SetPicture(rt::LoadPicture(BallPictureFile(i)));
    MakePictureTransparent(picItem(i));
  }
}

// Ticks the boxes of the stored colour list. A missing list reads as zeros: box 0 is
// ticked by the first entry and unticked again by the second, so none stays ticked.
void frmOptions::TickStoredColors() {
  for (int i = 1; i <= BallColors; ++i) {
    const int v = ReadChosenColor(i);
    // A number without a box comes only from a hand-edited file; it ticks nothing.
    if (chk.Exists(v)) chk(v).SetValue(rt::kChecked);
    if (i == 2 && v == 0) {
      chk(0).SetValue(rt::kUnchecked);
      return;
    }
  }
}

// ---- buttons ----

void frmOptions::cmdOK_Click() {
  WriteIniValue(kGlobal, kLastTabKey, QString::number(tabOptions->Tab()));
  const int mode = SelectedColorMode();
  if (mode == ColorMode::Chosen && TickedColorCount() != BallColors) {
    rt::MsgBox(QString::number(TickedColorCount()) + QStringLiteral(" Farben wurden markiert!\r") +
                   QString::number(BallColors) + QStringLiteral(" Farben werden benötigt!"),
               rt::kOkOnly | rt::kInformationSign, rt::App::Title);
    return;
  }
  ColorChoice = static_cast<int16_t>(mode);
  WriteIniValue(kColors, IniKey::ColorChoice, QString::number(mode));
  if (mode == ColorMode::Chosen) WriteColorList();

  SoundOn = Ticked(chkKidOption(0));
  EffectsOn = Ticked(chkKidOption(1));
  CommentsOn = Ticked(chkKidOption(3));
  LearnMode = Ticked(chkKidOption(2));

  RestrictedTime = static_cast<float>(rt::Val(txtParameters(0).Text()) * 60);
  ToleranceTime = static_cast<float>(rt::Val(txtParameters(1).Text()));
  WriteIniValue(kTimes, IniKey::RestrictedTime, rt::CStr(RestrictedTime));
  WriteIniValue(kTimes, IniKey::ToleranceTime, rt::CStr(ToleranceTime));
  SendMainCommand(CommandWord::TimeRefresh);
  Unload();
}

int frmOptions::SelectedColorMode() const {
  for (int i = 0; i <= ColorMode::Chosen; ++i)
    if (optColors(i).Value()) return i;
  return 0;
}

int frmOptions::TickedColorCount() const {
  int count = 0;
  for (int i = 0; i < kBallPictures; ++i) count += Ticked(chk(i)) ? 1 : 0;
  return count;
}

// The ticked picture numbers in ascending order become colours 1 to n. Keys beyond n
// from an earlier, longer list stay: nothing reads past the number of colours.
void frmOptions::WriteColorList() {
  int n = 0;
  for (int i = 0; i < kBallPictures; ++i) {
    if (!Ticked(chk(i))) continue;
    ++n;
    WriteIniValue(kColors, ChooseColorKey(n), QString::number(i));
  }
}

void frmOptions::cmdCancel_Click() {
  RestoreHighscore();
  Unload();
}

// The close box is a cancel as well: a highscore reset the user did not confirm with OK
// must not be lost.
void frmOptions::Form_QueryUnload(int& Cancel, int UnloadMode) {
  (void)Cancel;
  if (UnloadMode == rt::kCloseBox) RestoreHighscore();
}

void frmOptions::RestoreHighscore() {
  Highscore = SavedHighscore;
  SendMainCommand(CommandWord::ShowHighScore);
}

void frmOptions::cmdResetHighscore_Click() {
  const QString question = QStringLiteral("Wollen Sie den HighScore von ") + QString::number(Highscore) +
                           QStringLiteral(" Punkten tatsächlich auf Null zurücksetzen?");
  if (rt::MsgBox(question, rt::kYesNo | rt::kQuestionSign, rt::App::Title) != rt::kAnswerYes) return;
  Highscore = 0;
  SendMainCommand(CommandWord::ShowHighscore);
}

void frmOptions::cmdTimeStandard_Click() {
  txtParameters(0).SetText(QString::number(kStandardMinutes));
  txtParameters(1).SetText(QString::number(kStandardToleranceSeconds));
  cmdTimeStandard->SetEnabled(false);
}

// ---- switches, colours and times ----

void frmOptions::chkKidOption_Click(int Index) {
  if (Index == 0) EnableSoundOptions(Ticked(chkKidOption(0)));
}

void frmOptions::EnableSoundOptions(bool Status) {
  fraSoundB->SetEnabled(Status);
  for (int i = 1; i <= 3; ++i) chkKidOption(i).SetEnabled(Status);
}

void frmOptions::optColors_Click(int Index) { EnableCheckboxes(Index == ColorMode::Chosen); }

void frmOptions::EnableCheckboxes(bool Status) {
  for (int i = 0; i < kBallPictures; ++i) chk(i).SetEnabled(Status);
}

void frmOptions::txtParameters_Change(int Index) {
  (void)Index;
  const bool standard = rt::Val(txtParameters(0).Text()) == kStandardMinutes &&
                        rt::Val(txtParameters(1).Text()) == kStandardToleranceSeconds;
  cmdTimeStandard->SetEnabled(!standard);
}

void frmOptions::txtParameters_GotFocus(int Index) {
  rt::TextBox& box = txtParameters(Index);
  box.SetSelStart(0);
  box.SetSelLength(static_cast<int>(box.Text().size()));
}
