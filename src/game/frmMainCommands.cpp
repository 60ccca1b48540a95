// The command channel: the other windows write a command word into txtCommand.
#include "game/frmMain.h"

void frmMain::txtCommand_Change() {}
