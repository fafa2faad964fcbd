// The dialler's call history: the list, a line's row, the purpose, deleting and memos.

#include "tools/Form11.h"

#include "platform/ui/Dialogs.h"
#include "shell/Module1.h"
#include "tools/CallHistory.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>

using namespace Module1;
namespace history = dialler::history;

int Form11::SelectedLine() const
{
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

bool Form11::HistoryHasRows() const
{
    try {
        return HistoryRs.isOpen() && HistoryRs.recordCount() > 0;
    } catch (const db::Error&) {
        return false;
    }
}

void Form11::FillHistoryList()
{
    if (HistoryHasRows()) {
        HistoryModel->setSource(HistoryRs.recordCount(), [this](int from, int count) {
            try {
                return dialler::ReadHistoryRows(HistoryRs, from, count);
            } catch (const db::Error& e) {
                ReportError(e);
                return std::vector<dialler::HistoryRow>();
            }
        });
    } else {
        HistoryModel->clear();
    }
    List1->selectionModel()->clear();
}

void Form11::List1_Click()
{
    const int line = SelectedLine();
    if (line < 0 || !HistoryHasRows())
        return;
    try {
        HistoryRs.setAbsolutePosition(line);
        if (HistoryRs.text(history::Number) != history::MemoNumber) {
            Text4->setText(HistoryRs.text(history::Purpose));
        } else {
            Text6[0]->setText(dialler::FormatMemoDate(HistoryRs.value(history::Start).toDateTime()));
            Text6[1]->setText(HistoryRs.text(history::Purpose));
        }
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form11::Command1_Click()
{
    if (Text1[0]->text().isEmpty() && Text1[1]->text().isEmpty())
        return;
    if (!FitsPurpose(Text4))
        return;
    const QString purpose = Text4->text();
    if (!purpose.isEmpty() && HistoryHasRows()) {
        try {
            const int line = SelectedLine();
            if (line >= 0)
                HistoryRs.setAbsolutePosition(line);
            else
                HistoryRs.moveLast();
            if (HistoryRs.text(history::Purpose) == purpose)
                return;
            HistoryRs.edit();
            HistoryRs.setValue(history::Purpose, purpose);
            HistoryRs.update();
        } catch (const db::Error& e) {
            ReportError(e);
        }
    }
    FillHistoryList();
}

void Form11::Command2_Click(int index)
{
    if (!HistoryHasRows() || (index != 0 && index != 1))
        return;
    if (!DialButton->isEnabled()) {
        ui::dialogs().beep();
        return;
    }
    if (index == 0) {
        if (ui::dialogs().question(QStringLiteral("すべての通話履歴を削除しますがよろしいですか？"), QStringLiteral("全履歴削除"))
            != ui::Answer::Yes)
            return;
        try {
            dialler::DeleteMemberHistory(Book, *MemberNo);
        } catch (const db::Error& e) {
            // Nothing was deleted; the list stays as it was.
            ReportError(e);
            return;
        }
        try {
            HistoryRs.close();
            HistoryRs = dialler::OpenMemberHistory(Book, *MemberNo);
        } catch (const db::Error& e) {
            ReportError(e);
        }
        Text4->clear();
        FillHistoryList();
        return;
    }
    const int line = SelectedLine();
    if (line < 0)
        return;
    if (ui::dialogs().question(QStringLiteral("選択した通話履歴を削除しますがよろしいですか？"), QStringLiteral("選択履歴削除"))
        != ui::Answer::Yes)
        return;
    try {
        HistoryRs.setAbsolutePosition(line);
        HistoryRs.deleteRecord();
    } catch (const db::Error& e) {
        ReportError(e);
    }
    FillHistoryList();
}

void Form11::Command3_Click()
{
    if (!MemberNo) {
        ui::dialogs().beep();
        return;
    }
    const std::optional<QDateTime> date = Text6[0]->text().isEmpty() ? std::nullopt : dialler::ParseMemoDate(Text6[0]->text());
    if (!date || Text6[1]->text().isEmpty()) {
        ui::dialogs().beep();
        return;
    }
    if (!FitsPurpose(Text6[1]))
        return;
    try {
        const int line = SelectedLine();
        if (line >= 0) {
            HistoryRs.setAbsolutePosition(line);
            HistoryRs.edit();
        } else {
            HistoryRs.addNew();
            HistoryRs.setValue(history::MemberNo, *MemberNo);
            HistoryRs.setValue(history::Number, history::MemoNumber);
            HistoryRs.setValue(history::Duration, dialler::ZeroDuration());
        }
        HistoryRs.setValue(history::Start, *date);
        HistoryRs.setValue(history::End, *date);
        HistoryRs.setValue(history::Purpose, Text6[1]->text());
        HistoryRs.update();
    } catch (const db::Error& e) {
        try {
            if (HistoryRs.isOpen())
                HistoryRs.cancelUpdate();
        } catch (const db::Error&) {
        }
        ReportError(e);
    }
    FillHistoryList();
}

void Form11::Text6_GotFocus(int index)
{
    if (index == 0 && Text6[0]->text().isEmpty())
        Text6[0]->setText(dialler::FormatMemoDate(ui::dialogs().now()));
}
