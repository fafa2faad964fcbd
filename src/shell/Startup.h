#pragma once
// What both programs do at start before the main window loads.

class QApplication;

namespace Module1 {

// Registers the windows of the shell (main window, settings window).
void RegisterSharedWindows();
// Fonts, Qt's Japanese texts and the program title of message boxes; then the main window is
// reached (its load runs) and shown, and the event loop runs. Windows are registered first.
int RunMainWindow(QApplication& app);
// What RunMainWindow does before the main window: fonts, Qt's Japanese texts, the program title
// of message boxes and the version information of the running program's profile.
void PrepareProgram(QApplication& app);

} // namespace Module1
