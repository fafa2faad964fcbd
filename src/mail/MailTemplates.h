#pragma once
// The stored mails ("定型メール") of a book: the list of their subjects, showing one in the
// compose area, storing the compose area as a new one, overwriting and deleting. Each line of
// the list keeps the bookmark of its row, so a command acts on the row the line showed, and a
// row gone since the list was filled is reported instead. Window-free.

#include "platform/db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mail {

// What a template holds: the compose area and four option choices (index of the chosen
// button; -1 when a stored code is missing or unknown, which leaves that group as it is).
struct TemplateContent {
    QString names, addresses, cc, subject, body;
    QStringList attachments;
    int target = -1;      // Option1
    int kind = -1;        // Option2
    int salutation = -1;  // Option7
    int honorific = -1;   // Option8
};

enum class TemplateShowPart { All, Names, SubjectBody };  // Option10

class MailTemplates {
public:
    // Opens "Q_定型メール" of the book for the window's whole life.
    explicit MailTemplates(const db::Database& book);

    // Reads the rows again: one subject and one bookmark a line.
    void Fill();
    const QStringList& subjects() const { return subjects_; }
    int count() const { return int(subjects_.size()); }

    // "定型表示": the parts asked for copied into `area` (attachments replace the list), the four
    // options always. False (after a box) when the row is gone or cannot be read.
    bool Show(int line, TemplateShowPart part, TemplateContent& area);

    // "定型登録": refused with "題名が未記入です" without a subject; empty boxes stay unset, the
    // first five attachments stored. The new line's index on success, else -1.
    int Register(const TemplateContent& area);

    // "定型更新": the checks and the question when the subject differs, then every field written
    // (empty text for an empty box). True when written.
    bool Update(int line, const TemplateContent& area);

    // "定型削除": the question, then the row deleted. True when deleted.
    bool Delete(int line);

private:
    bool moveTo(int line);
    void writeFields(const TemplateContent& area, bool emptyAsText);
    db::Database book_;
    db::Recordset rs_;
    QStringList subjects_;
    QList<db::Bookmark> bookmarks_;
};

} // namespace mail
