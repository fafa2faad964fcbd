#include "platform/shell/DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace desktop {

bool DesktopOpener::openUrl(const QString& address, QString* error)
{
    const std::optional<QUrl> url = webAddress(address, error);
    if (!url)
        return false;
    if (!QDesktopServices::openUrl(*url)) {
        if (error)
            *error = QStringLiteral("ブラウザを起動できませんでした: ") + url->toString();
        return false;
    }
    return true;
}

bool DesktopOpener::openFile(const QString& path, QString* error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("ファイルが指定されていません");
        return false;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        if (error)
            *error = QStringLiteral("ファイルが見つかりません: ") + path;
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) {
        if (error)
            *error = QStringLiteral("ファイルを開けませんでした: ") + path;
        return false;
    }
    return true;
}

}  // namespace desktop
