// The record taken elsewhere: its pictures to the image viewer, its web page to the browser, its
// position to the list window, its numbers to the dialler and its address to a new mail.

#include "records/Form3.h"

#include "platform/mail/Composer.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Boxes.h"
#include "records/RecordListLine.h"
#include "records/ViewerHandOver.h"
#include "platform/ui/Dialogs.h"
#include "shell/Formats.h"
#include "shell/Module1.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QScrollBar>

using namespace Module1;

namespace {

// Rows of the list window's page.
constexpr int kListPageRows = 20;

void SetChildText(QWidget* window, const QString& name, const QString& text)
{
    if (auto* box = window->findChild<QWidget*>(name))
        records::SetBoxText(box, text);
}

} // namespace

void Form3::Image1_Click()
{
    if (IsBookEmpty())
        return;
    try {
        ImageSubfolder.clear();
        ViewerDirAttr = 0;
        db::Recordset& rs = Cursor.record();
        const QVariant number = rs.value(QStringLiteral("会員NO"));
        if (number.isNull())
            return;
        records::ShowRecordPictures(WindowDbFile, number.toLongLong(), rs.text(QStringLiteral("氏名")));
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

bool Form3::ShowMember(const QString& bookPath, const QVariant& memberNo)
{
    // Only a record of the book this window shows, found by its number among its own records.
    auto canonical = [](const QString& path) {
        const QString c = QFileInfo(path).canonicalFilePath();
        return c.isEmpty() ? path : c;
    };
    const bool sameBook = !bookPath.isEmpty() && canonical(bookPath) == canonical(WindowDbFile.FullPath);
    if (!sameBook || IsBookEmpty() || memberNo.isNull() || !memberNo.isValid()) {
        ui::dialogs().beep();
        return false;
    }
    try {
        const std::vector<int> found = Cursor.records().positionsWhere(
            {QStringLiteral("会員NO")}, [&](const QVariantList& v) { return db::matches(v[0], db::Op::Eq, memberNo); });
        if (found.empty()) {
            ui::dialogs().beep();
            return false;
        }
        MoveToLine(found.front());
        return Cursor.position() == found.front();
    } catch (const db::Error& e) {
        ReportError(e);
        return false;
    }
}

void Form3::Command2_Click()
{
    const QString address = records::BoxText(Text1[30]);
    if (records::IsBlankAfterLeadingSpaces(address))
        return;
    OpenUrl(address);
}

void Form3::Command3_Click()
{
    auto& registry = ui::WindowRegistry::instance();
    if (!registry.hasFactory(QStringLiteral("Form4")))
        return;
    registry.show(QStringLiteral("Form4"));
    QWidget* list = registry.find(QStringLiteral("Form4"));
    if (!list)
        return;
    // The list window's page shows the twenty records from its scroll bar's value on.
    const int position = HScroll1->value();
    if (auto* bar = list->findChild<QScrollBar*>(QStringLiteral("HScroll1"))) {
        const int first = bar->value();
        if (position < first || position > first + kListPageRows - 1)
            bar->setValue(position);  // its change shows the page that starts here
    }
    if (auto* cell = list->findChild<QWidget*>(QStringLiteral("Text1_0")))
        cell->setFocus(Qt::OtherFocusReason);
}

void Form3::Command5_Click(int index)
{
    if (IsBookEmpty() || (index != 0 && index != 1))
        return;
    try {
        db::Recordset& rs = Cursor.record();
        // Set before the dialler is first touched: its load selects this member's call history.
        DialMemberNo = FormatMemberNo(rs.value(QStringLiteral("会員NO")).toLongLong());
        auto& registry = ui::WindowRegistry::instance();
        if (!registry.hasFactory(QStringLiteral("Form11")))
            return;
        // The call history is kept in this window's own book, whatever book is current now.
        DialDatabase = WindowDb;
        QWidget* dialler = registry.reach(QStringLiteral("Form11"));
        if (!dialler)
            return;
        SetChildText(dialler, QStringLiteral("Text2_0"), DialMemberNo);
        SetChildText(dialler, QStringLiteral("Text2_1"), rs.text(QStringLiteral("氏名")));
        SetChildText(dialler, QStringLiteral("Text1_1"), rs.text(QStringLiteral("携帯電話")));
        SetChildText(dialler, QStringLiteral("Text1_0"), rs.text(QStringLiteral("自宅電話")));
        // Clicked, not only turned on, so that the dialler's own handler runs.
        if (auto* option = dialler->findChild<QAbstractButton*>(QStringLiteral("Option1_%1").arg(index)))
            option->click();
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    ui::ShowModal(QStringLiteral("Form11"));
}

void Form3::Command6_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    const int box = index == 0 ? 9 : 15;
    if (records::IsBlankAfterLeadingSpaces(records::BoxText(Text1[size_t(box)])))
        return;
    ComposeMailTo(box);
}

void Form3::ComposeMailTo(int boxIndex)
{
    if (boxIndex < 0 || boxIndex >= int(Text1.size()) || !Text1[size_t(boxIndex)])
        return;
    // The box's text goes to the mail program as data of one "mailto:" address, never a command.
    const QStringList addresses = mailclient::splitAddresses(records::BoxText(Text1[size_t(boxIndex)]));
    // A mail program that ends with a failure (none set up on the desktop) is reported as a
    // failure to start it is, whenever it ends; the window goes on meanwhile.
    const auto reportFailure = [](const QString& failure) {
        if (!failure.isEmpty())
            ReportError(mailclient::ComposeFailure, failure);
    };
    QString error;
    if (!mailclient::composer().compose(addresses, &error, reportFailure))
        ReportError(mailclient::ComposeFailure, error);
}
