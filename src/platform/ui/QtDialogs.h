#pragma once
// The real dialogs: QMessageBox with Japanese button texts, QFileDialog, QPrintDialog, the clock.

#include "platform/ui/Dialogs.h"

#include <QStringList>

namespace ui {

class QtDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = {}, Icon icon = Icon::None) override;
    Answer question(const QString& text, const QString& title = {}, Icon icon = Icon::None,
                    Buttons buttons = Buttons::YesNo) override;
    void beep() override;
    std::optional<QString> openFile(const OpenFileOptions& options) override;
    bool printerDialog(QPrinter* printer) override;
    QDate today() override;
    // A window-modal progress dialog with a cancel button, shown after about a second.
    std::unique_ptr<Progress> progress(const QString& label, qint64 maximum, const QString& title = {}) override;
};

// The Qt name filter of a file-type entry: Qt separates patterns by spaces and reads them from
// the parentheses, and "*.*" means every file as it did on the old platform.
QString nameFilterText(const FileFilter& filter);

}  // namespace ui
