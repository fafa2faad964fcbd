#pragma once
// What both programs do at start before the main window loads.

class QApplication;

namespace Module1 {

// Fonts, Qt's Japanese texts, the program title of message boxes and the windows every
// edition has; then the main window is reached (its load runs) and shown.
void RegisterSharedWindows();
int RunMainWindow(QApplication& app);

} // namespace Module1
