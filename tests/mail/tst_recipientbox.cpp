// The recipient box: the whole text is its text whatever part the line edit holds, the start of
// a long text is what it lays out until something can edit or read it in full, and a change made
// through the line edit itself replaces the whole text.

#include "mail/RecipientBox.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QtTest>

namespace {

// n entries "uN@example.jp" joined by ";".
QString addressList(int n)
{
    QStringList parts;
    for (int i = 0; i < n; ++i)
        parts << QStringLiteral("u%1@example.jp").arg(i);
    return parts.join(u';');
}

QString base(const mail::RecipientBox& box) { return static_cast<const QLineEdit&>(box).text(); }

enum class Then { Nothing, FocusIn, KeyPress, BaseSetText, BaseClear, SetShort, Clear };

} // namespace

Q_DECLARE_METATYPE(Then)

class TestRecipientBox : public QObject {
    Q_OBJECT

private slots:
    void wholeText_data()
    {
        const qsizetype n = mail::RecipientBox::ShownLength;
        const QString longList = addressList(1000);
        // A character outside the basic plane across the cut stays whole in the start.
        const QString pairAtCut = QString(n - 1, u'a') + QStringLiteral("𠮷") + QString(100, u'b');
        QTest::addColumn<QString>("text");
        QTest::addColumn<Then>("then");
        QTest::addColumn<QString>("whole");
        QTest::addColumn<bool>("startOnly");
        QTest::addColumn<qsizetype>("laidOut");

        QTest::newRow("short text held whole") << QStringLiteral("a@example.jp;b@example.jp") << Then::Nothing
                                               << QStringLiteral("a@example.jp;b@example.jp") << false << qsizetype(25);
        QTest::newRow("text of exactly the shown length held whole")
            << QString(n, u'x') << Then::Nothing << QString(n, u'x') << false << n;
        QTest::newRow("long list: only its start laid out") << longList << Then::Nothing << longList << true << n;
        QTest::newRow("surrogate pair at the cut not split") << pairAtCut << Then::Nothing << pairAtCut << true << n - 1;
        QTest::newRow("focus gives the line edit the whole text")
            << longList << Then::FocusIn << longList << false << longList.size();
        QTest::newRow("a key gives the line edit the whole text first")
            << longList << Then::KeyPress << longList << false << longList.size();
        QTest::newRow("set through the line edit replaces the whole text")
            << longList << Then::BaseSetText << QStringLiteral("typed@example.jp") << false << qsizetype(16);
        QTest::newRow("cleared through the line edit is empty") << longList << Then::BaseClear << QString() << false
                                                                << qsizetype(0);
        QTest::newRow("a short text after a long one") << longList << Then::SetShort << QStringLiteral("x@example.jp")
                                                       << false << qsizetype(12);
        QTest::newRow("cleared") << longList << Then::Clear << QString() << false << qsizetype(0);
    }

    void wholeText()
    {
        QFETCH(QString, text);
        QFETCH(Then, then);
        QFETCH(QString, whole);
        QFETCH(bool, startOnly);
        QFETCH(qsizetype, laidOut);
        mail::RecipientBox box;
        box.setText(text);
        switch (then) {
        case Then::Nothing:
            break;
        case Then::FocusIn: {
            QFocusEvent e(QEvent::FocusIn, Qt::MouseFocusReason);
            QApplication::sendEvent(&box, &e);
            break;
        }
        case Then::KeyPress: {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
            QApplication::sendEvent(&box, &e);
            break;
        }
        case Then::BaseSetText:
            static_cast<QLineEdit&>(box).setText(QStringLiteral("typed@example.jp"));
            break;
        case Then::BaseClear:
            static_cast<QLineEdit&>(box).clear();
            break;
        case Then::SetShort:
            box.setText(QStringLiteral("x@example.jp"));
            break;
        case Then::Clear:
            box.clear();
            break;
        }
        QCOMPARE(box.text(), whole);
        QCOMPARE(box.showsStartOnly(), startOnly);
        QCOMPARE(base(box).size(), laidOut);
        QCOMPARE(whole.left(base(box).size()), base(box));
        if (startOnly)
            QCOMPARE(box.cursorPosition(), 0);  // the start of the list in view
    }

    // Typing after the whole text was handed over edits the whole text.
    void typingEditsTheWholeText()
    {
        const QString longList = addressList(1000);
        mail::RecipientBox box;
        box.setText(longList);
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&box, &in);
        box.setCursorPosition(int(longList.size()));
        QTest::keyClicks(&box, QStringLiteral(";z@example.jp"));
        QCOMPARE(box.text(), longList + QStringLiteral(";z@example.jp"));
        QVERIFY(!box.showsStartOnly());
    }

    // Assistive technology starting reads the whole text, and while it runs a long text is
    // handed over whole; the box keeps its accessible name.
    void assistiveTechnologyReadsTheWholeText()
    {
        const QString longList = addressList(1000);
        mail::RecipientBox box;
        box.setAccessibleName(QStringLiteral("メールアドレス"));
        box.setText(longList);
        QVERIFY(box.showsStartOnly());
        // What the platform tells its observers when a screen reader starts.
        static_cast<QAccessible::ActivationObserver&>(box).accessibilityActiveChanged(true);
        QVERIFY(!box.showsStartOnly());
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("メールアドレス"));
        QCOMPARE(a->text(QAccessible::Value), longList);
        QCOMPARE(a->role(), QAccessible::EditableText);
        QCOMPARE(box.text(), longList);
    }
};

QTEST_MAIN(TestRecipientBox)
#include "tst_recipientbox.moc"
