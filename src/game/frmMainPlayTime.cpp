// The day's play time.
#include "game/frmMain.h"

void frmMain::RefreshPlayTime() {}

void frmMain::EndForToday() {}
