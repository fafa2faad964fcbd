// The record window's hidden "電話" buttons against the real dialler: the hand-over, the modal
// wait, and the history kept in the record window's own book after another book became current.

#include "DiallerFixture.h"

#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"

#include <QScrollBar>
#include <QTimer>
#include <QtTest>

using namespace dfix;

class TestForm11Caller : public QObject, private DiallerCase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        startCase();
        ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form11"), [] { return new Form11; });
    }
    void cleanupTestCase()
    {
        ui::WindowRegistry::instance().unloadAll();
        endCase();
    }
    void init() { fresh(); }
    void cleanup() { drop(); }

    void callFromTheRecordWindow_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("field");
        QTest::newRow("home") << 0 << "自宅電話";
        QTest::newRow("mobile") << 1 << "携帯電話";
    }
    void callFromTheRecordWindow()
    {
        QFETCH(int, button);
        QFETCH(QString, field);
        const qint64 member = 12;
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"自宅電話\" = '03-1111-2222', \"携帯電話\" = '090-3333-4444' "
                                           "WHERE \"会員NO\" = ?"), {member});
        Form3 record;
        record.formLoad();
        record.hScroll1()->setValue(int(member) - 1);

        // Another book becomes current, as the main menu or the record window's book command does.
        const QString other = dir->filePath(QStringLiteral("別の住所録.mdb"));
        QString error;
        QVERIFY2(demo::makeGeneratedBook(dir->path(), 20, QStringLiteral("別の住所録"), &error), qPrintable(error));
        Module1::PublishCurrentBook(other);

        // What the dialler shows is read inside its modal wait and checked after it, so that a
        // failed check never leaves the wait open.
        QStringList seen;
        QString diallerBook;
        bool optionChosen = false;
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto* w = qobject_cast<Form11*>(ui::WindowRegistry::instance().find(QStringLiteral("Form11")));
            if (!w)
                return;
            seen << fixture::shown(w, QStringLiteral("Text2_0")) << fixture::shown(w, QStringLiteral("Text1_0"))
                 << fixture::shown(w, QStringLiteral("Text1_1"));
            optionChosen = fixture::checked(w, QStringLiteral("Option1_%1").arg(button));
            diallerBook = w->book().path();
            ran = w->isVisible();
            w->DialButton_Click();
            dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 1, 0)));
            buttonOf(w, QStringLiteral("QuitButton_0"))->click();
            buttonOf(w, QStringLiteral("QuitButton_1"))->click();
        });
        record.Command5_Click(button);
        QVERIFY(ran);
        QVERIFY(optionChosen);
        QCOMPARE(diallerBook, record.windowDb().path());
        QVERIFY(!ui::WindowRegistry::instance().isLoaded(QStringLiteral("Form11")));
        QCOMPARE(seen, (QStringList{QStringLiteral("00000012"), QStringLiteral("03-1111-2222"), QStringLiteral("090-3333-4444")}));
        QCOMPARE(line->written.first(), button == 0 ? QByteArray("ATDP0311112222;\r") : QByteArray("ATDP09033334444;\r"));

        // The call is in the record window's book, not in the book made current since.
        const auto rows = historyOf(book, member);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].duration, dialler::ZeroDuration().addSecs(60));
        QVERIFY(historyOf(other, member).empty());
        QVERIFY(!Module1::DialDatabase.isOpen());
    }
};

QTEST_MAIN(TestForm11Caller)
#include "tst_form11caller.moc"
