#pragma once
// Writes a demo address book: the schema's new file, then categories, captions and people,
// all in one transaction through prepared statements.

#include "People.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace demo {

struct BookContent {
    QString title;
    QList<QPair<QString, QString>> captions;   // "住所録ラベル" field -> caption
    int records = 0;
};

// Creates the book at path (refusing an existing file) with records people numbered from 1;
// onRecord sees each person as it is written.
bool writeBook(const QString& path, const BookContent& content, PersonGenerator& people,
               const std::function<void(const Person&)>& onRecord, QString* error);

} // namespace demo
