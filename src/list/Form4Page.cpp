// The list window's records: the order change, the page move and the page fill.

#include "list/Form4.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/TextFit.h"
#include "records/DisplayOrder.h"
#include "shell/Module1.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

using namespace Module1;

namespace {

// The copy of the records goes in steps of about this long, so that the window keeps answering
// between them; each step takes as many rows as the last one's pace fits in (at most four times
// as many), so that a fast machine copies in few steps.
constexpr qint64 kStepNanoseconds = 25'000'000;
constexpr int kFirstStepRows = 1000;

} // namespace

void Form4::Option2_Click(int index)
{
    if (index < 0 || index > 5 || index + 1 == DisplayOrder)
        return;
    const int previous = DisplayOrder;
    const QString query = records::DisplayOrderQuery(index + 1);
    auto restoreOption = [&] {
        // The option of the order still shown is selected again, without running its handler.
        if (previous >= 1 && previous <= 6)
            Option2[size_t(previous - 1)]->setChecked(true);
    };
    try {
        // A saved query the book lacks is named as every window names it.
        if (!WindowDb.hasObject(query))
            throw db::Error(db::err::ObjectNotFound, query);
    } catch (const db::Error& e) {
        ReportError(e);
        restoreOption();
        return;
    }
    // Stored before the records are opened: a write would make the copy of the records finish
    // at once. What is shown does not depend on the store: a book that cannot be written lists.
    StoreDisplayOrder(index + 1);
    try {
        // The first page is read at once; the rest of the snapshot is copied from the event
        // loop (or as a page needs it), with the rows as they were now.
        db::Recordset opened = WindowDb.openSnapshotInSteps(listwin::OrderSnapshotSql(index + 1), listwin::OrderCountSql());
        PersonRs.close();
        PersonRs = opened;
        DisplayOrder = index + 1;
    } catch (const db::Error& e) {
        ReportError(e.number() == db::err::ObjectNotFound ? db::Error(db::err::ObjectNotFound, query) : e);
        restoreOption();
        if (previous >= 1 && previous <= 6) {
            const bool reported = StoreRefusalReported;
            StoreRefusalReported = true;  // the store has been told already, if refused
            StoreDisplayOrder(previous);
            StoreRefusalReported = reported;
        }
        return;
    }

    LastScrollValue = 0;
    ScrollMax = qint64(PersonRs.recordCount()) - 1;
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setRange(0, int(qMax<qint64>(0, ScrollMax)));
        HScroll1->setValue(0);
    }
    HScroll1->setEnabled(ScrollMax >= 0);
    ShowPage();
    CopyRecordsLater();
}

void Form4::CopyRecordsLater()
{
    if (!CopyTimer) {
        CopyTimer = new QTimer(this);
        CopyTimer->setInterval(0);
        connect(CopyTimer, &QTimer::timeout, this, [this] {
            try {
                QElapsedTimer took;
                took.start();
                if (!PersonRs.isOpen() || !PersonRs.copyMore(CopyStepRows)) {
                    CopyTimer->stop();
                    return;
                }
                const double pace = double(kStepNanoseconds) / double(qMax<qint64>(took.nsecsElapsed(), 1));
                CopyStepRows = int(std::clamp(CopyStepRows * pace, double(kFirstStepRows), CopyStepRows * 4.0));
            } catch (const db::Error& e) {
                CopyTimer->stop();
                ReportError(e);
            }
        });
    }
    CopyStepRows = kFirstStepRows;
    if (PersonRs.isOpen() && PersonRs.copyMore(0))
        CopyTimer->start();
    else
        CopyTimer->stop();
}

bool Form4::copyingRecords() const
{
    return CopyTimer && CopyTimer->isActive();
}

void Form4::StoreDisplayOrder(int order)
{
    // Into the window's own book; a book without a settings row has nowhere to keep it.
    if (!WindowSettingsRs.isOpen() || WindowSettingsRs.eof() || WindowSettingsRs.bof())
        return;
    try {
        WindowSettingsRs.edit();
        WindowSettingsRs.setValue(BookSettings::DisplayOrder, QString::number(order));
        WindowSettingsRs.update();
    } catch (const db::Error& e) {
        try {
            if (WindowSettingsRs.isOpen() && WindowSettingsRs.editMode() != db::EditMode::None)
                WindowSettingsRs.cancelUpdate();
        } catch (const db::Error&) {
        }
        // Told once while the window is loaded: a book that refuses the first store refuses
        // every later one for the same reason.
        if (!StoreRefusalReported) {
            StoreRefusalReported = true;
            ReportError(e);
        }
    }
}

void Form4::HScroll1_Change()
{
    Form4_HScroll1_Change();
}

bool Form4::HasCurrentRecord() const
{
    return PersonRs.isOpen() && PersonRs.recordCount() > 0 && !PersonRs.eof() && !PersonRs.bof();
}

void Form4::Form4_HScroll1_Change()
{
    if (!HasCurrentRecord())
        return;
    const qint64 v = std::clamp<qint64>(HScroll1->value(), 0, ScrollMax);
    try {
        // Straight to the position, however far it lies.
        PersonRs.setAbsolutePosition(int(v));
        LastScrollValue = v;
        ShowPage();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form4::SetScrollValue(qint64 value)
{
    // A value that does not change runs nothing.
    HScroll1->setValue(int(value));
}

void Form4::ApplyListHeadings()
{
    const std::array<QString, listwin::HeadingCount> headings = listwin::ListHeadings(listwin::ReadCaptionRow(CaptionRs));
    for (int h = 0; h < listwin::HeadingCount; ++h)
        if (Label1[size_t(h)]->text() != headings[size_t(h)]) {
            QLabel* l = Label1[size_t(h)];
            l->setText(headings[size_t(h)]);
            // A heading longer than its column is shown whole in a smaller font.
            ui::fitText(l, l->x(), l->x() + l->width());
        }
    SyncAccessibleNames(headings);
}

void Form4::ShowPage()
{
    ApplyListHeadings();
    Label4->setText(QString::number(qint64(HScroll1->value()) + 1) + QLatin1Char('/') + QString::number(ScrollMax + 1));

    std::array<std::array<QString, listwin::CellColumns>, listwin::PageRows> page{};
    RowNames.fill(QVariant());
    if (HasCurrentRecord()) {
        try {
            const listwin::CaptionRow captions = listwin::ReadCaptionRow(CaptionRs);
            const QStringList& fields = listwin::ListCellFields();
            // The twenty records from the one the records stand on, read at once; the records
            // stay where they are.
            const QList<QVariantList> rows = PersonRs.readColumns(fields, PersonRs.absolutePosition(), listwin::PageRows);
            const QDate today = ui::dialogs().today();
            static const QHash<QString, int> place = [&] {
                QHash<QString, int> h;
                for (int i = 0; i < fields.size(); ++i)
                    h.insert(fields[i], i);
                return h;
            }();
            const int nameAt = place.value(QStringLiteral("氏名"));
            for (int r = 0; r < rows.size() && r < listwin::PageRows; ++r) {
                const QVariantList& values = rows[r];
                if (values.isEmpty())
                    continue;
                page[size_t(r)] = listwin::ListCellTexts(
                    [&](const QString& f) {
                        const int i = place.value(f, -1);
                        return i >= 0 && i < values.size() ? values[i] : QVariant();
                    },
                    captions, today);
                RowNames[size_t(r)] = values.value(nameAt);
            }
        } catch (const db::Error& e) {
            ReportError(e);
        }
    }
    for (int k = 0; k < listwin::CellColumns; ++k) {
        for (int r = 0; r < listwin::PageRows; ++r) {
            QLineEdit* e = Cells[size_t(k)][size_t(r)];
            const QString& text = page[size_t(r)][size_t(k)];
            if (e->text() != text) {
                e->setText(text);
                e->setCursorPosition(0);
            }
        }
    }
}
