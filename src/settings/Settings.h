#pragma once
// Loading the settings file into the settings state and saving it back. Besides the
// globals of SettingsState.h, part of what the file holds belongs to the main window
// (board size, deal cap, its position, the day's play time, the time bar, the sound
// menu item, the speech catalogue); the main window lends it through SettingsHost.
#include <QString>
#include <cstdint>

// What a save needs of one entry of the speech catalogue.
struct SpeechStatistics {
  int16_t ElementCount = 0;
  uint8_t Probability = 0;
  bool RepeatsAllowed = false;
  QString Played;
};

class SettingsHost {
 public:
  virtual ~SettingsHost() = default;

  virtual int16_t GameRows() const = 0;
  virtual void SetGameRows(int16_t rows) = 0;
  virtual int16_t GameColumns() const = 0;
  virtual void SetGameColumns(int16_t columns) = 0;
  virtual int16_t MaxBallsOnStart() const = 0;
  virtual void SetMaxBallsOnStart(int16_t balls) = 0;
  // Seconds played today.
  virtual float PlayTimeToday() const = 0;
  virtual void SetPlayTimeToday(float seconds) = 0;
  // The main window's position in twips.
  virtual float WindowTop() const = 0;
  virtual void SetWindowTop(float top) = 0;
  virtual float WindowLeft() const = 0;
  virtual void SetWindowLeft(float left) = 0;
  // The time bar's frame (fraTimeLeft).
  virtual void SetTimeLeftVisible(bool visible) = 0;
  // The check mark of the sound menu item (menSound).
  virtual void CheckSoundMenu(bool checked) = 0;
  // The screen's hourglass pointer while a save runs.
  virtual void SetBusyPointer(bool busy) = 0;
  // Folder of the speech recordings, relative to the program's folder.
  virtual QString SpeechPath() const = 0;
  // Speech catalogue entry of token n (1 .. the number of speech tokens).
  virtual SpeechStatistics SpeechEntry(int token) const = 0;
  virtual void SetPlayed(int token, const QString& played) = 0;
};

// Fills the settings state from IniFile, writing the default file first when there is
// none, or when it is empty and may be written. Values beyond their type's range take
// the nearest value of the range. Raises the runtime's file error when IniFile names
// something other than a file (a folder, a FIFO, a device), and whatever
// WriteDefaultSettings raises where there is no file.
void ReadSettings(SettingsHost& host);
// Writes the settings state to IniFile: 18 keys, and the speech statistics of every
// token as well unless NoSpeech is true or spoken comments are off. The keys are
// changed in the file as one write each would change it, and the file is written once.
// False when it could not be written; it then keeps what it held.
bool SaveSettings(SettingsHost& host, bool NoSpeech = false);
