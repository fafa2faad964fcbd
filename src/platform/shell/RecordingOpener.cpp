#include "platform/shell/RecordingOpener.h"

namespace desktop {

bool RecordingOpener::openUrl(const QString& address, QString* error)
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
    return true;
}

bool RecordingOpener::openFile(const QString& path, QString* error)
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
    return true;
}

}  // namespace desktop
