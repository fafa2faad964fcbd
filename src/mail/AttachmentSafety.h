#pragma once
// Attachments come from anyone: before one is handed to the desktop to open, its type is judged
// from its content and its name, and programs, libraries, scripts, installers and launchers are
// kept back.

#include <QString>

namespace mail {

// Why the file must not be opened ("実行可能なプログラム", ...), or "" when it may be opened.
// A file that cannot be read gives "" too: the desktop opener then reports it.
QString UnsafeAttachmentReason(const QString& path);

} // namespace mail
