#pragma once
// Connects the window's signals to the TfrmMain handlers of the same names.

namespace torvane {

class MainWindow;
class QtPlatform;
class TfrmMain;

void ConnectHandlers(MainWindow& window, QtPlatform& platform, TfrmMain& form);

}  // namespace torvane
