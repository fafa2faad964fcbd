#pragma once
// The folder of one record, beside its address book: the data folder and the record number
// without leading zeros, with the thumbnails in its "Preview" subfolder.

#include "shell/DbFile.h"

#include <QString>

namespace records {

QString RecordFolder(const Module1::DbFile& book, qint64 memberNo);
QString RecordPreviewFolder(const Module1::DbFile& book, qint64 memberNo);
// "共通情報" of the folder that holds the address books.
QString CommonFolder(const Module1::DbFile& book);

// The first file of a folder, in case-folded name order, that is a picture which can be loaded;
// "" when there is none (or no such folder).
QString FirstPictureIn(const QString& folder);

// The record's picture: the first picture of its "Preview" folder, else the first picture of
// "共通情報" (the common default); "" when neither has one.
QString RecordPicture(const Module1::DbFile& book, qint64 memberNo);

} // namespace records
