#pragma once
// Shared by the dialler's window tests: a sample folder opened as the main window opens it,
// dialogs that can act while a message is shown, the fake modem line, and readers of the
// dialler's controls and of the book's history.

#include "../records/RecordsFixture.h"
#include "platform/comm/FakeModemLine.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Formats.h"
#include "tools/CallHistory.h"
#include "tools/Form11.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

namespace dfix {

// Scripted dialogs that also run a step of the test while a message box is up, as the user
// would click about the window before confirming it.
class HookedDialogs : public ui::ScriptedDialogs {
public:
    using ScriptedDialogs::ScriptedDialogs;
    std::function<void(const QString&)> onMessage;
    void message(const QString& text, const QString& title = {}, ui::Icon icon = ui::Icon::None) override
    {
        ScriptedDialogs::message(text, title, icon);
        if (onMessage) {
            const auto f = onMessage;
            f(text);
        }
    }
};

inline QLineEdit* lineEdit(QWidget* w, const QString& name) { return qobject_cast<QLineEdit*>(fixture::control(w, name)); }
inline QAbstractButton* buttonOf(QWidget* w, const QString& name) { return qobject_cast<QAbstractButton*>(fixture::control(w, name)); }
inline QListView* list(QWidget* w) { return qobject_cast<QListView*>(fixture::control(w, QStringLiteral("List1"))); }

// The call buttons "ダイアル", "ｷｬﾝｾﾙ", "通話終了", "終了", a blank, then "全履歴削除" and "選択履歴削除":
// "1" on, "0" off.
inline QString buttons(QWidget* w)
{
    QString s;
    for (const char* n : {"DialButton", "CancelButton", "QuitButton_0", "QuitButton_1", "", "Command2_0", "Command2_1"}) {
        if (!*n) {
            s += QLatin1Char(' ');
            continue;
        }
        s += buttonOf(w, QString::fromLatin1(n))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    }
    return s;
}
inline const QString Idle = QStringLiteral("1001 11");
inline const QString Dialling = QStringLiteral("0100 00");
inline const QString Connected = QStringLiteral("0010 00");
inline const QString IdleAfterDial = QStringLiteral("1001 00");

inline const QString StatusCaption = QStringLiteral("電話番号をﾀﾞｲｱﾙする場合は、[ﾀﾞｲｱﾙ] をｸﾘｯｸします");
inline const QString LiftHandset = QStringLiteral("受話器をあげて、[OK] をｸﾘｯｸしてください。");

// The lines the history list shows.
inline QStringList lines(Form11* w)
{
    QStringList out;
    for (int i = 0; i < w->historyModel()->rowCount(); ++i)
        out << w->historyModel()->line(i);
    return out;
}

inline void selectLine(Form11* w, int line)
{
    QListView* l = list(w);
    l->selectionModel()->select(l->model()->index(line, 0), QItemSelectionModel::ClearAndSelect);
}

// A member's rows in a book file, in the history's order.
inline std::vector<dialler::HistoryRow> historyOf(const QString& book, qint64 member)
{
    const db::Database d = db::Database::open(book);
    return dialler::ReadHistoryRows(dialler::OpenMemberHistory(d, member));
}

inline QVariant historyValue(const QString& book, qint64 member, int row, const QString& field)
{
    const db::Database d = db::Database::open(book);
    db::Recordset rs = dialler::OpenMemberHistory(d, member);
    rs.setAbsolutePosition(row);
    return rs.value(field);
}

// The common settings row, read or written directly.
inline QVariant setting(const QString& folder, const QString& field)
{
    const db::Database d = db::Database::open(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    return d.scalar(QStringLiteral("SELECT \"%1\" FROM \"基本情報\"").arg(field));
}
inline void setSetting(const QString& folder, const QString& field, const QVariant& value)
{
    const db::Database d = db::Database::open(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    d.execute(QStringLiteral("UPDATE \"基本情報\" SET \"%1\" = ?").arg(field), {value});
}

class DiallerCase {
protected:
    HookedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    comm::FakeModemLine* line = nullptr;
    std::unique_ptr<comm::ScopedModemLine> lineScope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book;

    void startCase()
    {
        dialogs = new HookedDialogs(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
    }
    void endCase()
    {
        scope.reset();
        delete dialogs;
        dialogs = nullptr;
    }
    void fresh()
    {
        dir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(demo::makeSampleFolder(dir->path(), &error), qPrintable(error));
        book = fixture::samplePath(*dir);
        fixture::openCommon(dir->path());
        fixture::openBook(book);
        line = new comm::FakeModemLine;
        lineScope = std::make_unique<comm::ScopedModemLine>(line);
        dialogs->onMessage = nullptr;
        dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 0, 0)));
    }
    void drop()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        dialogs->onMessage = nullptr;
        dialogs->clearRecord();
        lineScope.reset();
        delete line;
        line = nullptr;
        fixture::closeShared();
        Module1::DialDatabase = db::Database();
        dir.reset();
    }

    // The dialler loaded for a member, as a caller hands it over: numbers, then the option.
    std::unique_ptr<Form11> open(qint64 member, const QString& home = QStringLiteral("03-1234-5678"),
                                 const QString& mobile = QStringLiteral("090-1111-2222"), int option = 0)
    {
        Module1::DialMemberNo = Module1::FormatMemberNo(member);
        auto w = std::make_unique<Form11>();
        w->formLoad();
        lineEdit(w.get(), QStringLiteral("Text2_0"))->setText(Module1::DialMemberNo);
        lineEdit(w.get(), QStringLiteral("Text2_1"))->setText(QStringLiteral("山田 太郎"));
        lineEdit(w.get(), QStringLiteral("Text1_1"))->setText(mobile);
        lineEdit(w.get(), QStringLiteral("Text1_0"))->setText(home);
        if (option >= 0)
            buttonOf(w.get(), QStringLiteral("Option1_%1").arg(option))->click();
        return w;
    }
};

} // namespace dfix
