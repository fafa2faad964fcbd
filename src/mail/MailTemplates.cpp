// The stored mails of a book.

#include "mail/MailTemplates.h"

#include "platform/ui/Dialogs.h"

namespace mail {

namespace {

const QString kQuery = QStringLiteral("Q_定型メール");
const QStringList kAttachmentFields = {QStringLiteral("添付1"), QStringLiteral("添付2"), QStringLiteral("添付3"),
                                       QStringLiteral("添付4"), QStringLiteral("添付5")};

void report(const db::Error& e)
{
    ui::dialogs().message(QString::number(e.number()) + QLatin1Char('\n') + e.description(), {}, ui::Icon::Exclamation);
}

int optionCode(const QString& text, int buttons)
{
    if (text.size() != 1)
        return -1;
    const int v = text[0].unicode() - u'0';
    return v >= 0 && v < buttons ? v : -1;
}

QVariant code(int option) { return option < 0 ? QVariant() : QVariant(QString::number(option)); }

} // namespace

MailTemplates::MailTemplates(const db::Database& book) : book_(book)
{
    rs_ = book_.openRecordset(kQuery, db::RecordsetType::Dynaset);
}

void MailTemplates::Fill()
{
    subjects_.clear();
    bookmarks_.clear();
    const int n = rs_.recordCount();
    const QList<QVariantList> rows = rs_.readColumns({QStringLiteral("件名")});
    for (int i = 0; i < n && i < rows.size(); ++i) {
        subjects_ << (rows[i].isEmpty() ? QString() : db::TextOf(rows[i][0]));
        bookmarks_ << rs_.bookmarkAt(i);
    }
}

bool MailTemplates::moveTo(int line)
{
    if (line < 0 || line >= bookmarks_.size())
        return false;
    try {
        rs_.setBookmark(bookmarks_[line]);
        return true;
    } catch (const db::Error&) {
        ui::dialogs().message(QStringLiteral("選択した定型メール「%1」はすでにありません。").arg(subjects_[line]), {},
                              ui::Icon::Exclamation);
        return false;
    }
}

bool MailTemplates::Show(int line, TemplateShowPart part, TemplateContent& area)
{
    if (!moveTo(line))
        return false;
    try {
        if (part == TemplateShowPart::All || part == TemplateShowPart::Names) {
            area.names = rs_.text(QStringLiteral("宛名"));
            area.addresses = rs_.text(QStringLiteral("メールアドレス"));
            area.cc = rs_.text(QStringLiteral("CC"));
        }
        if (part == TemplateShowPart::All || part == TemplateShowPart::SubjectBody) {
            area.subject = rs_.text(QStringLiteral("件名"));
            area.body = rs_.text(QStringLiteral("本文"));
            area.attachments.clear();
            for (const QString& f : kAttachmentFields) {
                const QString path = rs_.text(f);
                if (!path.isEmpty())
                    area.attachments << path;
            }
        }
        const int target = optionCode(rs_.text(QStringLiteral("対象者オプション")), 3);
        const int kind = optionCode(rs_.text(QStringLiteral("宛先オプション")), 3);
        const int salutation = optionCode(rs_.text(QStringLiteral("宛名本文挿入オプション")), 2);
        const int honorific = optionCode(rs_.text(QStringLiteral("敬称オプション")), 3);
        if (target >= 0)
            area.target = target;
        if (kind >= 0)
            area.kind = kind;
        if (salutation >= 0)
            area.salutation = salutation;
        if (honorific >= 0)
            area.honorific = honorific;
        return true;
    } catch (const db::Error& e) {
        report(e);
        return false;
    }
}

void MailTemplates::writeFields(const TemplateContent& a, bool emptyAsText)
{
    auto put = [&](const QString& field, const QString& text) {
        if (!text.isEmpty())
            rs_.setValue(field, text);
        else if (emptyAsText)
            rs_.setValue(field, QStringLiteral(""));
    };
    put(QStringLiteral("宛名"), a.names);
    put(QStringLiteral("メールアドレス"), a.addresses);
    put(QStringLiteral("CC"), a.cc);
    put(QStringLiteral("件名"), a.subject);
    put(QStringLiteral("本文"), a.body);
    for (int i = 0; i < kAttachmentFields.size(); ++i)
        put(kAttachmentFields[i], i < a.attachments.size() ? a.attachments[i] : QString());
    rs_.setValue(QStringLiteral("対象者オプション"), code(a.target));
    rs_.setValue(QStringLiteral("宛先オプション"), code(a.kind));
    rs_.setValue(QStringLiteral("宛名本文挿入オプション"), code(a.salutation));
    rs_.setValue(QStringLiteral("敬称オプション"), code(a.honorific));
}

int MailTemplates::Register(const TemplateContent& area)
{
    if (area.subject.isEmpty()) {
        ui::dialogs().question(QStringLiteral("題名が未記入です"), QStringLiteral("定型登録"), ui::Icon::None, ui::Buttons::OkCancel);
        return -1;
    }
    const int before = count();
    try {
        rs_.addNew();
        writeFields(area, false);
        rs_.update();
    } catch (const db::Error& e) {
        if (rs_.editMode() != db::EditMode::None)
            rs_.cancelUpdate();
        report(e);
        return -1;
    }
    Fill();
    return qMin(before, count() - 1);
}

bool MailTemplates::Update(int line, const TemplateContent& area)
{
    ui::Dialogs& d = ui::dialogs();
    const QString title = QStringLiteral("メール更新");
    if (area.subject.isEmpty()) {
        d.message(QStringLiteral("件名が入力されていません"), title);
        return false;
    }
    if (area.body.isEmpty()) {
        d.message(QStringLiteral("本文が入力されていません"), title);
        return false;
    }
    if (line < 0 || line >= count()) {
        d.message(QStringLiteral("更新する定型メールがリストボックスで選択されていません"), QStringLiteral("定型メール更新"));
        return false;
    }
    if (!moveTo(line))
        return false;
    try {
        if (rs_.text(QStringLiteral("件名")) != area.subject &&
            d.question(QStringLiteral("更新する件名が相違しますが、指定した内容で更新しますか？"), title) != ui::Answer::Yes)
            return false;
        rs_.edit();
        writeFields(area, true);
        rs_.update();
    } catch (const db::Error& e) {
        if (rs_.editMode() != db::EditMode::None)
            rs_.cancelUpdate();
        report(e);
        return false;
    }
    Fill();
    return true;
}

bool MailTemplates::Delete(int line)
{
    if (line < 0 || line >= count())
        return false;
    if (ui::dialogs().question(QStringLiteral("選択した定型メールを削除していいですか？"), QStringLiteral("定型削除")) !=
        ui::Answer::Yes)
        return false;
    if (!moveTo(line))
        return false;
    try {
        rs_.deleteRecord();
    } catch (const db::Error& e) {
        report(e);
        return false;
    }
    Fill();
    return true;
}

} // namespace mail
