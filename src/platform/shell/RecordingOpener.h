#pragma once
// An opener for tests: refuses what the desktop opener refuses and records what it would open.

#include "platform/shell/Opener.h"

#include <QList>
#include <QStringList>

namespace desktop {

class RecordingOpener : public Opener {
public:
    // Addresses as handed in, whether refused or not.
    QStringList requestedUrls;
    // The web addresses that passed and would have been opened.
    QList<QUrl> openedUrls;
    // Files as handed in.
    QStringList requestedFiles;
    // Result of an open that passed the checks; `failure` is its error text when false.
    bool succeed = true;
    QString failure = QStringLiteral("開けませんでした");
    // What the desktop's program says when it ends, at once, after an open that passed: empty
    // when it took the address or file.
    QString ends;

    bool openUrl(const QString& address, QString* error, Outcome outcome) override;
    // Refuses an empty path; does not look at the file system.
    bool openFile(const QString& path, QString* error, Outcome outcome) override;
};

}  // namespace desktop
