#pragma once
// Demo database folders: the common database, a sample address book of fictional people with
// record folders and pictures, and "PMPath.txt"; or a book of N generated records.
// Existing address books are never replaced.

#include <QString>
#include <QStringList>

namespace demo {

// The sample folder; log collects what was written.
bool makeSampleFolder(const QString& folder, QString* error, QStringList* log = nullptr);
// A book of records generated people (and the common database when it is missing); "PMPath.txt"
// is written only when the folder has none. An empty name gives the default book name.
bool makeGeneratedBook(const QString& folder, int records, const QString& name, QString* error,
                       QStringList* log = nullptr);
// File name of the sample book.
QString sampleBookName();

} // namespace demo
