#include "platform/shell/RecordingOpener.h"

namespace desktop {

bool RecordingOpener::openUrl(const QString& address, QString* error, Outcome outcome)
{
    requestedUrls << address;
    const std::optional<QUrl> url = webAddress(address, error);
    if (!url)
        return false;
    if (!succeed) {
        if (error)
            *error = failure;
        return false;
    }
    openedUrls << *url;
    if (outcome)
        outcome(ends);
    return true;
}

bool RecordingOpener::openFile(const QString& path, QString* error, Outcome outcome)
{
    requestedFiles << path;
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("ファイルが指定されていません");
        return false;
    }
    if (!succeed) {
        if (error)
            *error = failure;
        return false;
    }
    if (outcome)
        outcome(ends);
    return true;
}

}  // namespace desktop
