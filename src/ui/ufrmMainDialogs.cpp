// The main window's handlers that open dialogs: configuration, folder picker,
// about box. Placeholder bodies until they land.
#include "ufrmMain.h"

void TfrmMain::acConfigurationExecute() { }
void TfrmMain::Timer1Timer() { }
void TfrmMain::btOutputDirClick() { }
void TfrmMain::About1Click() { }
void TfrmMain::FormKeyUp(QKeyEvent *) { }
