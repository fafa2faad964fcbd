#pragma once
// Qt's own dialogs (file, print) speak Japanese.

class QApplication;

namespace ui {

// Loads Qt's Japanese translation from Qt's translations folder and installs it on the
// application. Returns false when no translation could be loaded (Qt's texts then stay English).
bool installJapaneseTranslations(QApplication& app);

}  // namespace ui
