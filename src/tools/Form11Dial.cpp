// Dialling through the modem and the states of the call buttons.
//
// States (buttons on):   ダイアル ｷｬﾝｾﾙ 通話終了 終了 deletes
//   Idle                   on      off    off    on    on
//   Dialling, Handing over off     on     off    off   off
//   Connected              off     off    on     off   off
//   Idle after a dial      on      off    off    on    off   (no call was made)

#include "tools/Form11.h"

#include "platform/comm/ModemLine.h"
#include "platform/ui/Dialogs.h"
#include "records/FieldLimits.h"
#include "shell/Module1.h"
#include "tools/CallHistory.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Module1;
namespace history = dialler::history;

namespace {

QString failureMessage(const comm::WaitResult& r)
{
    switch (r.end) {
    case comm::WaitEnd::Answered: return QStringLiteral("ダイアルできませんでした（%1）").arg(r.text);
    case comm::WaitEnd::TimedOut: return QStringLiteral("モデムから応答がありません");
    case comm::WaitEnd::LineLost: return QStringLiteral("モデムとの通信が切れました（%1）").arg(r.text);
    case comm::WaitEnd::Cancelled: break;
    }
    return {};
}

} // namespace

void Form11::DialButton_Click()
{
    // The rows of a call need the member, and the call's purpose must fit its row.
    if (!MemberNo) {
        ui::dialogs().beep();
        return;
    }
    if (!FitsPurpose(Text4))
        return;
    QPointer<Form11> self(this);
    SetCallButtons(false, true, false, false);
    SetDeleteButtons(false);
    const QString remembered = Status->text();
    BuildDialNumbers();
    const QString number = Option1[0]->isChecked() ? HomeDialString : MobileDialString;
    Status->setText(QStringLiteral("ﾀﾞｲｱﾙ中 - ") + number);
    DialNumber(number);
    if (!self)
        return;
    if (CallActive)
        SetCallButtons(false, false, true, false);
    else
        SetCallButtons(true, false, false, true);
    Status->setText(remembered);
}

void Form11::DialNumber(const QString& number)
{
    CallActive = false;
    // A cancel left over from an earlier dial must not end this one.
    CancelRequested = false;
    if (number.isEmpty()) {
        ui::dialogs().beep();
        return;
    }
    Label3[0]->clear();
    Label3[1]->clear();
    comm::ModemLine& line = comm::modemLine();
    QString error;
    if (!line.open(ComPort, &error)) {
        ui::dialogs().message(QStringLiteral("通信ポートは使用できません。CommPort ﾌﾟﾛﾊﾟﾃｨを別のﾎﾟｰﾄに設定してください。"));
        return;
    }
    PortInUse = true;
    QPointer<Form11> self(this);
    // The history keeps the string that was sent, whatever the options show by the answer.
    const comm::WaitResult r = line.command(comm::DialCommand(number), DialTimeoutMs);
    if (!self)
        return;  // gone during the wait; it hung up as it went

    if (r.end == comm::WaitEnd::Answered && r.answer == comm::ModemAnswer::Ok) {
        const QDateTime start = ui::dialogs().now();
        try {
            HistoryRs.addNew();
            HistoryRs.setValue(history::MemberNo, *MemberNo);
            HistoryRs.setValue(history::Number, number);
            HistoryRs.setValue(history::Start, start);
            // A purpose typed during the wait is kept when it fits its field.
            if (!Text4->text().isEmpty() && records::FitsLimit(Text4->text(), history::PurposeLimit))
                HistoryRs.setValue(history::Purpose, Text4->text());
            HistoryRs.update();
            ActiveCall = HistoryRs.lastModified();
            CallActive = true;
        } catch (const db::Error& e) {
            try {
                if (HistoryRs.isOpen())
                    HistoryRs.cancelUpdate();
            } catch (const db::Error&) {
            }
            ReportError(e);
        }
        ui::dialogs().beep();
        Label3[0]->setText(dialler::FormatClock(start));
        ui::dialogs().message(QStringLiteral("受話器をあげて、[OK] をｸﾘｯｸしてください。"));
        if (!self)
            return;
    } else if (r.end == comm::WaitEnd::Cancelled) {
        CancelRequested = false;
    }
    line.hangUp();
    PortInUse = false;
    if (r.end != comm::WaitEnd::Cancelled && !(r.end == comm::WaitEnd::Answered && r.answer == comm::ModemAnswer::Ok))
        ui::dialogs().message(failureMessage(r), {}, ui::Icon::Exclamation);
}

void Form11::CancelButton_Click()
{
    CancelRequested = true;
    comm::modemLine().cancel();
    SetCallButtons(true, false, false, true);
    // A cancel while the handset message is shown aborts the call that had begun.
    if (CallActive)
        AbortActiveCall();
    SetDeleteButtons(true);
}

void Form11::AbortActiveCall()
{
    CallActive = false;
    try {
        HistoryRs.setBookmark(ActiveCall);
        HistoryRs.edit();
        HistoryRs.setValue(history::End, ui::dialogs().now());
        HistoryRs.setValue(history::Aborted, true);
        HistoryRs.update();
    } catch (const db::Error& e) {
        ReportError(e);
    }
}

void Form11::QuitButton_Click(int index)
{
    if (index == 1) {
        close();
        return;
    }
    if (index != 0)
        return;
    if (CallActive) {
        CallActive = false;
        try {
            HistoryRs.setBookmark(ActiveCall);
            const QDateTime start = HistoryRs.value(history::Start).toDateTime();
            const QDateTime end = ui::dialogs().now();
            const QDateTime duration = dialler::DurationValue(start, end);
            HistoryRs.edit();
            HistoryRs.setValue(history::End, end);
            HistoryRs.setValue(history::Aborted, false);
            HistoryRs.setValue(history::Duration, duration);
            HistoryRs.update();
            Label3[1]->setText(dialler::FormatClock(end) + QStringLiteral(" (") + dialler::FormatClock(duration) + QLatin1Char(')'));
        } catch (const db::Error& e) {
            ReportError(e);
        }
    }
    FillHistoryList();
    SetCallButtons(true, false, false, true);
    SetDeleteButtons(true);
}

void Form11::EndWhateverIsUnderWay()
{
    if (PortInUse) {
        comm::ModemLine& line = comm::modemLine();
        line.cancel();
        line.hangUp();
        PortInUse = false;
    }
    if (CallActive)
        AbortActiveCall();
}
