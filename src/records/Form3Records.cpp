// Adding and deleting records, and opening another address book in the record window.

#include "records/Form3.h"
#include "edition/Profile.h"

#include "platform/ui/Dialogs.h"
#include "records/DisplayOrder.h"
#include "records/RecordFolder.h"
#include "shell/Formats.h"
#include "shell/Module1.h"
#include "shell/SelectDatabaseFile.h"

#include <QPushButton>

using namespace Module1;

namespace {

// A number taken meanwhile by another window is retried with the largest number read anew; this
// many tries, then the duplicate key is reported.
constexpr int kAddAttempts = 5;

// One more than the largest "会員NO" of the records (as numbers); 1 without records.
qint64 NextMemberNo(const db::Recordset& records)
{
    bool any = false;
    qint64 largest = 0;
    for (const QVariantList& row : records.readColumns({QStringLiteral("会員NO")})) {
        if (row.isEmpty() || row.first().isNull())
            continue;
        const qint64 no = row.first().toLongLong();
        largest = any ? qMax(largest, no) : no;
        any = true;
    }
    return any ? largest + 1 : 1;
}

// Adds the new record through the records and returns its number.
qint64 AddNewRecord(db::Recordset& records, const QVariant& category, const QDate& today)
{
    const qint64 no = NextMemberNo(records);
    records.addNew();
    records.setValue(QStringLiteral("会員NO"), no);
    records.setValue(QStringLiteral("登録日"), today);
    records.setValue(QStringLiteral("性別"), QStringLiteral("1"));
    records.setValue(QStringLiteral("状態"), QStringLiteral("1"));
    records.setValue(QStringLiteral("会員区分"), category);
    records.setValue(QStringLiteral("フリガナ"), QStringLiteral("ｼﾝｼﾞﾝ"));
    records.setValue(QStringLiteral("氏名"), QStringLiteral("新規登録"));
    records.update();
    return no;
}

} // namespace

// ---- adding ----

QVariant Form3::NewRecordCategory()
{
    // An empty book has no record on the screen to take the category from: the first one.
    return IsBookEmpty() ? QVariant(qint64(1)) : Cursor.record().value(QStringLiteral("会員区分"));
}

void Form3::AddRecord()
{
    if (!CommitBeforeLeaving())
        return;
    if (ui::dialogs().question(QStringLiteral("新規顧客登録を行いますか？"), QStringLiteral("顧客登録"), ui::Icon::None,
                               ui::Buttons::YesNo)
        != ui::Answer::Yes) {
        EnableCommandButtons();
        return;
    }
    // While adding, a change of the scroll bar moves nothing.
    PreviousMode = RecordMode;
    RecordMode = Adding;
    const auto finish = [this] {
        RecordMode = PreviousMode;
        EnableCommandButtons();
    };

    QVariant category;
    try {
        category = NewRecordCategory();
    } catch (const db::Error& e) {
        ReportError(e);
        finish();
        return;
    }

    qint64 no = 0;
    bool reopened = false;
    for (int attempt = 1;; ++attempt) {
        try {
            no = AddNewRecord(Cursor.records(), category, ui::dialogs().today());
            break;
        } catch (const db::Error& e) {
            if (Cursor.records().isOpen())
                Cursor.records().cancelUpdate();
            bool retry = false;
            if (e.number() == db::err::DuplicateKey && attempt < kAddAttempts) {
                // The number was taken meanwhile: the records again, and the largest number anew.
                try {
                    OpenRecordsetByDisplayOrder();
                    reopened = true;
                    retry = true;
                } catch (const db::Error& reopenError) {
                    ReportError(reopenError);
                }
            } else {
                ReportError(e);
            }
            if (retry)
                continue;
            if (reopened)
                ShowReopenedRecords();
            finish();
            return;
        }
    }

    try {
        // The new record stands after all others until the records are next opened.
        db::Recordset& records = Cursor.records();
        records.setBookmark(records.lastModified());
        Cursor.follow();
        ClearRecordControls();
        ShowRecord();
        FillRecordList();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    finish();

    // A folder left by a deleted record of the same number is kept, pictures and all.
    EnsureFolder(records::RecordFolder(WindowDbFile, no));
    EnsureFolder(records::RecordPreviewFolder(WindowDbFile, no));
    try {
        ShowRecordPicture();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

// ---- deleting ----

QString Form3::DeleteQuestion() const
{
    return QStringLiteral("表示されているレコードを削除しますが、よろしいですか？");
}

void Form3::DeleteRecord()
{
    if (IsBookEmpty())
        return;
    if (!CommitBeforeLeaving())
        return;
    if (ui::dialogs().question(DeleteQuestion(), QStringLiteral("削除"), ui::Icon::None, ui::Buttons::YesNo)
        != ui::Answer::Yes) {
        EnableCommandButtons();
        return;
    }
    try {
        Cursor.record().deleteRecord();
    } catch (const db::Error& e) {
        // The book keeps the record; the window stays on it.
        ReportError(e);
        EnableCommandButtons();
        return;
    }
    try {
        OpenRecordsetByDisplayOrder();
    } catch (const db::Error& e) {
        ReportError(e);
        // The records as they were, less the deleted one.
        Cursor.moveTo(Cursor.position());
    }
    SetCaption(BookTitle() + QString(10, QLatin1Char(' ')) + WindowDbFile.FullPath);
    // The deleted record's folder and pictures stay on disk.
    ShowReopenedRecords();
    LeaveEditModeWhenEmpty();
    EnableCommandButtons();
}

// ---- another book ----

void Form3::OpenDatabaseFile()
{
    if (!CommitBeforeLeaving())
        return;
    // On a cancel or a failure the window's own record stays as it was.
    DbFile chosen = WindowDbFile;
    if (!SelectDatabaseFile(chosen, chosen))
        return;
    try {
        SwitchBook(chosen);
    } catch (const db::Error& e) {
        ReportError(e);
    }
    EnableCommandButtons();
}

void Form3::SwitchBook(DbFile chosen)
{
    if (!SplitDbFilePath(chosen, chosen))
        throw db::Error(db::err::NotADatabase, chosen.FullPath);
    // Everything the window needs of the new book is opened before anything is replaced.
    db::Database book = db::Database::open(chosen.FullPath);
    db::Recordset settings = book.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
    records::OpenedRecords opened = records::OpenRecordsByDisplayOrder(book, settings);
    db::Recordset captions;
    try {
        captions = book.openRecordset(QStringLiteral("住所録ラベル"), db::RecordsetType::Table);
    } catch (const db::Error&) {
        // Without the caption row the built-in captions are shown, as at the load.
    }

    // From here on the window keeps to the new book; the shared state names it as a whole, so
    // that the windows opened from here (list, printing, viewer, dialler) see the same book.
    WindowDb = book;
    WindowSettingsRs = settings;
    StoreRefusalReported = false;
    WindowDbFile = chosen;
    CurrentDb = book;
    BookSettingsRs = settings;
    CurrentDbFile = chosen;
    CurrentDbFileCopy = chosen;
    DisplayOrder = opened.displayOrder;
    CategoryRs = opened.categories;
    CaptionRs = captions;
    Cursor.reset(opened.main);

    SetCaption(edition::profile().EditionName + QLatin1Char(' ') + WindowDbFile.FullPath);
    ApplyFieldCaptions();
    ApplyListHeadings();
    try {
        FillLookupCombos();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    ShowReopenedRecords();
    LeaveEditModeWhenEmpty();
}
