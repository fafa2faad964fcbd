#include "mail/AttachmentSafety.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>

namespace mail {

namespace {

const QString kProgram = QStringLiteral("実行可能なプログラムです");
const QString kLibrary = QStringLiteral("共有ライブラリです");
const QString kScript = QStringLiteral("スクリプトです");
const QString kWindows = QStringLiteral("Windows のプログラムまたはインストーラです");
const QString kLauncher = QStringLiteral("デスクトップの起動ファイルです");

// Names that the desktop would run, whatever their content looks like.
QString ReasonOfSuffix(const QString& suffix)
{
    static const QSet<QString> windows = {"exe", "com", "scr", "pif", "msi", "msp", "msix", "appx", "cpl", "dll",
                                          "sys", "lnk", "hta", "reg", "inf", "application", "gadget"};
    static const QSet<QString> scripts = {"sh",  "bash", "zsh", "ksh", "csh", "fish", "py",  "pyw", "pyc", "pl",
                                          "pm",  "rb",   "php", "lua", "tcl", "js",   "mjs", "jse", "vbs", "vbe",
                                          "wsf", "wsh",  "ps1", "psm1", "bat", "cmd",  "jar", "run", "awk", "command"};
    // Suffixes that name a program for the desktop. Data suffixes that executables sometimes wear
    // ("bin", "out") are judged by content instead: their files are as often plain data.
    static const QSet<QString> programs = {"elf", "appimage", "deb", "rpm", "snap", "flatpak", "flatpakref"};
    if (suffix == QLatin1String("desktop"))
        return kLauncher;
    if (suffix == QLatin1String("so"))
        return kLibrary;
    if (windows.contains(suffix))
        return kWindows;
    if (scripts.contains(suffix))
        return kScript;
    if (programs.contains(suffix))
        return kProgram;
    return {};
}

QString ReasonOfMime(const QMimeType& type)
{
    const auto is = [&](const char* name) { return type.inherits(QString::fromLatin1(name)); };
    if (is("application/x-desktop"))
        return kLauncher;
    if (is("application/x-sharedlib"))
        return kLibrary;
    if (is("application/x-msdownload") || is("application/x-ms-dos-executable") || is("application/x-msi")
        || is("application/x-ms-shortcut") || is("application/vnd.microsoft.portable-executable"))
        return kWindows;
    if (is("application/x-executable") || is("application/x-pie-executable") || is("application/x-elf")
        || is("application/vnd.appimage") || is("application/vnd.debian.binary-package") || is("application/x-rpm"))
        return kProgram;
    if (is("application/x-shellscript") || is("text/x-python") || is("text/x-python3") || is("application/x-perl")
        || is("text/x-perl") || is("application/x-ruby") || is("application/x-php") || is("text/javascript")
        || is("application/javascript") || is("application/x-java-archive") || is("text/x-lua") || is("text/x-tcl")
        || is("application/x-msdos-program") || is("text/vbscript") || is("application/x-powershell"))
        return kScript;
    return {};
}

} // namespace

QString UnsafeAttachmentReason(const QString& path)
{
    const QFileInfo info(path);
    // The desktop goes by the last suffix only: "report.pdf.exe" is a program,
    // "www.example.com.pdf" a document. A name without a dot has no suffix.
    const QString name = info.fileName().toLower();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        const QString reason = ReasonOfSuffix(name.mid(dot + 1));
        if (!reason.isEmpty())
            return reason;
    }

    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(4096);
    if (head.startsWith("\x7f" "ELF"))
        return kProgram;  // executables and shared objects alike
    if (head.startsWith("MZ"))
        return kWindows;
    if (head.startsWith("#!"))
        return kScript;
    if (head.contains("[Desktop Entry]"))
        return kLauncher;

    const QMimeDatabase mimes;
    for (const QMimeType& type : {mimes.mimeTypeForData(head), mimes.mimeTypeForFile(info, QMimeDatabase::MatchExtension)}) {
        const QString reason = ReasonOfMime(type);
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

} // namespace mail
