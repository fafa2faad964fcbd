#include "platform/shell/DesktopOpener.h"

#include <QFileInfo>

namespace desktop {

bool DesktopOpener::openUrl(const QString& address, QString* error, Outcome outcome)
{
    const std::optional<QUrl> url = webAddress(address, error);
    if (!url)
        return false;
    // Encoded, the address holds no space nor anything a program could read as an option.
    if (!handOver(program_, {QString::fromLatin1(url->toEncoded())}, std::move(outcome), error)) {
        if (error)
            *error = QStringLiteral("ブラウザを起動できませんでした: ") + *error;
        return false;
    }
    return true;
}

bool DesktopOpener::openFile(const QString& path, QString* error, Outcome outcome)
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
    // The absolute path, so that no file name can be read as an option.
    if (!handOver(program_, {info.absoluteFilePath()}, std::move(outcome), error)) {
        if (error)
            *error = QStringLiteral("ファイルを開けませんでした: ") + *error;
        return false;
    }
    return true;
}

}  // namespace desktop
