#pragma once
// Turning the senders of fetched mail into personal records of the book the mail window loaded:
// checked first, then (when replacing) the old records deleted and the new ones added in one
// transaction, the record folders made after it commits. Window-free.

#include "mail/MailWindowLines.h"
#include "platform/db/Database.h"
#include "shell/DbFile.h"

#include <QList>
#include <QString>

namespace mail {

struct RegistrationResult {
    bool ok = false;
    QString error;      // "number\ndescription" when nothing was registered
    qint32 added = 0;
    qint32 leftOut = 0; // senders whose address is too long for "Eメール"
    QString folderError;  // the records were added, but their folders could not all be made
};

// Adds one record per sender numbered after the highest "会員NO" (from 1 when replacing, after
// every record is deleted). A name too long for "氏名" is cut at a character boundary; a sender
// whose address does not fit "Eメール" is left out and counted. Any database failure rolls the
// whole registration back. Folders of every record (and "Preview" in each) are made afterwards.
RegistrationResult AddSenderRecords(const db::Database& book, const Module1::DbFile& bookFile,
                                    const QList<MailSender>& senders, bool replace);

// True when the book's file is "Ｅメール専用住所録" with the extension ".mdb" in any case.
bool IsMailOnlyBook(const Module1::DbFile& bookFile);

// "差出人住所録登録": the file check, the questions (title "住所録登録"), the registration and
// its report. True when records were written.
bool RegisterSenders(const db::Database& book, const Module1::DbFile& bookFile, const QList<MailSender>& senders);

// The registration into an empty book, asked at most once per window load: no senders, a book
// with records or a question already asked do nothing; No writes nothing. True when written.
bool RegisterSendersIntoEmptyBook(const db::Database& book, const Module1::DbFile& bookFile,
                                  const QList<MailSender>& senders, bool& askedThisLoad);

// Reports a registration: a failure in an exclamation box, senders left out in a message.
void ReportRegistration(const RegistrationResult& result);

} // namespace mail
