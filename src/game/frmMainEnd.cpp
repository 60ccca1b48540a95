// The end of a game and the start of the next one.
#include "game/frmMain.h"

// Until the end of a game has its sounds, save, comment and question, a board without a
// group of two or more only closes.
void frmMain::FinishGame() { GameOver = true; }

void frmMain::menGameNew_Click() {}

void frmMain::menRestoreOriginal_Click() {}
