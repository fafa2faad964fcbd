#pragma once
// Shared by the tests of the record window's editing and search: a fresh sample folder for each
// test, the window loaded on it and shown, and boxes typed into and left the way a user does.

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Boxes.h"
#include "records/Form3.h"

#include <QApplication>
#include <QTest>

namespace editfx {

inline const QDate kToday(2024, 4, 1);

class Fixture : protected fixture::WindowCase {
protected:
    void startCase() { fixture::WindowCase::startCase(kToday); }

    // The window on the book, shown and active so that focus changes commit.
    std::unique_ptr<Form3> load(bool edit = true)
    {
        fixture::openCommon(dir->path());
        fixture::openBook(book);
        auto w = std::make_unique<Form3>();
        w->formLoad();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the record window did not become active");
        if (edit)
            w->Command9_Click(0);
        return w;
    }

    static QWidget* box(QWidget* w, const QString& name) { return fixture::control(w, name); }
    // The box or a part of it (the line edit of a combo box) has the focus.
    static bool hasFocus(const QWidget* b)
    {
        const QWidget* f = QApplication::focusWidget();
        return f && (f == b || b->isAncestorOf(f));
    }

    // Enters the box by Tab, puts the text in as typed and leaves by Tab for another box.
    static void typeAndLeave(QWidget* w, const QString& name, const QString& text,
                             const QString& next = QStringLiteral("Text1_10"))
    {
        QWidget* b = box(w, name);
        b->setFocus(Qt::TabFocusReason);
        records::SetBoxText(b, text);
        box(w, next == name ? QStringLiteral("Text1_11") : next)->setFocus(Qt::TabFocusReason);
    }

    // A field of the record with that number, read from the book file itself.
    QVariant stored(const QString& field, int memberNo) const
    {
        return fixture::scalar(book, QStringLiteral("SELECT \"%1\" FROM \"個人台帳\" WHERE \"会員NO\" = %2").arg(field).arg(memberNo));
    }
    void exec(const QString& sql, const QVariantList& params = {}) const { fixture::exec(book, sql, params); }

    // The refusal: the standard message, then the focus back in the box with its text kept.
    void expectRefused(QWidget* w, const QString& name, const QString& text)
    {
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("入力データが不正またはデータが長すぎます")});
        QCOMPARE(dialogs->shown().first().title, ui::programTitle());
        QTRY_VERIFY(hasFocus(box(w, name)));
        QCOMPARE(records::BoxText(box(w, name)), text);
    }
};

} // namespace editfx
