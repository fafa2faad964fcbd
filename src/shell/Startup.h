#pragma once
// What both programs do at start before the main window loads.

class QApplication;

namespace Module1 {

// Sets up the memory allocator before anything else runs (first thing in main, before the
// QApplication): the C library keeps freed blocks of up to some megabytes for the next use
// instead of handing them back and mapping them afresh, so that work that takes and frees one
// large buffer after another (a PDF takes a fresh buffer for each page) does not fault its
// memory in again each time.
void PrepareMemory();

// Registers the windows of the shell (main window, settings window).
void RegisterSharedWindows();
// Fonts, Qt's Japanese texts and the program title of message boxes; then the main window is
// reached (its load runs) and shown, and the event loop runs. Windows are registered first.
int RunMainWindow(QApplication& app);
// What RunMainWindow does before the main window: fonts, Qt's Japanese texts, the program title
// of message boxes and the version information of the running program's profile.
void PrepareProgram(QApplication& app);

} // namespace Module1
