// The dialler's load and its dialling settings in "基本情報": shown at load, stored at each
// change, restored at the next opening.

#include "DiallerFixture.h"

#include <QLabel>
#include <QtTest>

using namespace dfix;

class TestForm11Settings : public QObject, private DiallerCase {
    Q_OBJECT

    static QString checkedOf(QWidget* w, const QString& name, int count)
    {
        QString s;
        for (int i = 0; i < count; ++i)
            s += fixture::checked(w, QStringLiteral("%1_%2").arg(name).arg(i)) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { fresh(); }
    void cleanup() { drop(); }

    void load_data()
    {
        QTest::addColumn<QString>("com");
        QTest::addColumn<QVariant>("push");
        QTest::addColumn<QVariant>("outside");
        QTest::addColumn<QVariant>("outsideNumber");
        QTest::addColumn<QVariant>("usePrefix");
        QTest::addColumn<QVariant>("prefix");
        QTest::addColumn<QString>("port");      // Option2 checked, "000" none
        QTest::addColumn<QString>("lineType");  // Option3
        QTest::addColumn<QString>("outsideOpt");  // Option4
        QTest::addColumn<QString>("text3");
        QTest::addColumn<QString>("prefixOpt");  // Option5
        QTest::addColumn<QString>("text5");
        const QVariant null;
        QTest::newRow("COM2, push, outside 0, 0033") << "2" << QVariant(true) << QVariant(true) << QVariant(0) << QVariant(true)
                                                  << QVariant("0077") << "010" << "10" << "10" << "0" << "0100" << "0077";
        QTest::newRow("COM3, tone line, no outside, no prefix") << "3" << QVariant(false) << QVariant(false) << QVariant(81)
                                                                << QVariant(false) << QVariant("") << "001" << "01" << "01" << "81"
                                                                << "1000" << "";
        QTest::newRow("empty port: none chosen") << "" << QVariant(true) << QVariant(false) << QVariant(0) << QVariant(false)
                                                 << QVariant("") << "000" << "10" << "01" << "0" << "1000" << "";
        QTest::newRow("port 7: none chosen") << "7" << QVariant(true) << QVariant(false) << QVariant(0) << QVariant(false)
                                             << QVariant("") << "000" << "10" << "01" << "0" << "1000" << "";
        QTest::newRow("Nulls") << "1" << null << null << null << null << null << "100" << "01" << "01" << "" << "1000" << "";
    }
    void load()
    {
        QFETCH(QString, com);
        QFETCH(QVariant, push);
        QFETCH(QVariant, outside);
        QFETCH(QVariant, outsideNumber);
        QFETCH(QVariant, usePrefix);
        QFETCH(QVariant, prefix);
        QFETCH(QString, port);
        QFETCH(QString, lineType);
        QFETCH(QString, outsideOpt);
        QFETCH(QString, text3);
        QFETCH(QString, prefixOpt);
        QFETCH(QString, text5);
        fixture::closeShared();
        setSetting(dir->path(), QStringLiteral("com"), com);
        setSetting(dir->path(), QStringLiteral("プッシュ回線"), push);
        setSetting(dir->path(), QStringLiteral("外線使用"), outside);
        setSetting(dir->path(), QStringLiteral("外線番号"), outsideNumber);
        setSetting(dir->path(), QStringLiteral("付加番号使用"), usePrefix);
        setSetting(dir->path(), QStringLiteral("付加番号"), prefix);
        fixture::openCommon(dir->path());
        fixture::openBook(book);
        Module1::ComPort.clear();
        auto w = open(10);
        QCOMPARE(checkedOf(w.get(), QStringLiteral("Option2"), 3), port);
        QCOMPARE(checkedOf(w.get(), QStringLiteral("Option3"), 2), lineType);
        QCOMPARE(checkedOf(w.get(), QStringLiteral("Option4"), 2), outsideOpt);
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Text3")), text3);
        QCOMPARE(checkedOf(w.get(), QStringLiteral("Option5"), 4), prefixOpt);
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Text5")), text5);
        QCOMPARE(Module1::ComPort, com);
        // The load stored nothing.
        QCOMPARE(setting(dir->path(), QStringLiteral("com")).toString(), com);
        QCOMPARE(setting(dir->path(), QStringLiteral("付加番号使用")), usePrefix.isNull() ? QVariant() : QVariant(qint64(usePrefix.toBool())));
        // The frame of every opening.
        QCOMPARE(w->windowTitle(), Module1::FitBytes(QStringLiteral("電話"), 160) + QStringLiteral("2024年04月01日(月) "));
        QCOMPARE(buttons(w.get()), Idle);
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Status")), StatusCaption);
        QVERIFY(fixture::shown(w.get(), QStringLiteral("Label3_0")).isEmpty());
        QVERIFY(fixture::shown(w.get(), QStringLiteral("Label3_1")).isEmpty());
        QVERIFY(fixture::shown(w.get(), QStringLiteral("Text4")).isEmpty());
    }

    // Each option stores its field at once and the next opening shows it; "0036" and "指定番号"
    // hold only while the window is open.
    void optionsStoredAndRestored()
    {
        {
            auto w = open(10);
            buttonOf(w.get(), QStringLiteral("Option2_2"))->click();
            QCOMPARE(Module1::ComPort, QStringLiteral("3"));
            buttonOf(w.get(), QStringLiteral("Option3_1"))->click();
            buttonOf(w.get(), QStringLiteral("Option4_0"))->click();
            buttonOf(w.get(), QStringLiteral("Option5_1"))->click();
            buttonOf(w.get(), QStringLiteral("Option5_2"))->click();
        }
        QCOMPARE(setting(dir->path(), QStringLiteral("com")).toString(), QStringLiteral("3"));
        QCOMPARE(setting(dir->path(), QStringLiteral("プッシュ回線")).toInt(), 0);
        QCOMPARE(setting(dir->path(), QStringLiteral("外線使用")).toInt(), 1);
        QCOMPARE(setting(dir->path(), QStringLiteral("付加番号使用")).toInt(), 1);
        {
            auto w = open(10);
            QCOMPARE(checkedOf(w.get(), QStringLiteral("Option2"), 3), QStringLiteral("001"));
            QCOMPARE(checkedOf(w.get(), QStringLiteral("Option3"), 2), QStringLiteral("01"));
            QCOMPARE(checkedOf(w.get(), QStringLiteral("Option4"), 2), QStringLiteral("10"));
            QCOMPARE(checkedOf(w.get(), QStringLiteral("Option5"), 4), QStringLiteral("0100"));
            buttonOf(w.get(), QStringLiteral("Option5_0"))->click();
            buttonOf(w.get(), QStringLiteral("Option5_3"))->click();
        }
        auto w = open(10);
        QCOMPARE(checkedOf(w.get(), QStringLiteral("Option5"), 4), QStringLiteral("1000"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    // A common database that cannot be written: every choice holds for the window all the same
    // (the port, the outside-line number dialled), and the refusal is told once a load.
    void settingsThatCannotBeStoredStillHold()
    {
        setSetting(dir->path(), QStringLiteral("外線使用"), true);
        setSetting(dir->path(), QStringLiteral("外線番号"), 0);
        setSetting(dir->path(), QStringLiteral("com"), QStringLiteral("1"));
        Module1::CommonDb = db::Database::open(dir->path() + QStringLiteral("/共通情報/共通情報.mdb"), db::OpenMode::ReadOnly);
        Module1::CommonSettingsRs = Module1::CommonDb.openRecordset(QStringLiteral("基本情報"), db::RecordsetType::Table);
        auto w = open(10);
        buttonOf(w.get(), QStringLiteral("Option2_2"))->click();
        QCOMPARE(Module1::ComPort, QStringLiteral("3"));
        buttonOf(w.get(), QStringLiteral("Option3_1"))->click();
        buttonOf(w.get(), QStringLiteral("Option4_1"))->click();
        buttonOf(w.get(), QStringLiteral("Option4_0"))->click();
        lineEdit(w.get(), QStringLiteral("Text3"))->setText(QStringLiteral("9"));
        w->Text3_LostFocus();
        auto refusals = [&] {
            int n = 0;
            for (const auto& m : dialogs->shown())
                n += m.text.startsWith(QStringLiteral("3027\n")) ? 1 : 0;
            return n;
        };
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(refusals(), 1);
        w->DialButton_Click();
        QCOMPARE(line->written.first(), QByteArray("ATDP90312345678;\r"));
        QCOMPARE(setting(dir->path(), QStringLiteral("com")).toString(), QStringLiteral("1"));
        QCOMPARE(setting(dir->path(), QStringLiteral("外線番号")).toLongLong(), 0);
        buttonOf(w.get(), QStringLiteral("QuitButton_0"))->click();
        w.reset();
        // A new load tells it again.
        auto again = open(10);
        buttonOf(again.get(), QStringLiteral("Option2_1"))->click();
        QCOMPARE(Module1::ComPort, QStringLiteral("2"));
        QCOMPARE(refusals(), 2);
        dialogs->clearRecord();
    }

    // The outside-line box stores digits only; anything else is refused, the box emptied and
    // the stored number kept, and never reaches the modem.
    void outsideLineBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("9") << "9" << true;
        QTest::newRow("full-width ９") << "９" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("-1") << "-1" << false;
        QTest::newRow("1E3") << "1E3" << false;
        QTest::newRow("letter") << "a" << false;
    }
    void outsideLineBox()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        setSetting(dir->path(), QStringLiteral("外線使用"), true);
        setSetting(dir->path(), QStringLiteral("外線番号"), 0);
        auto w = open(10);
        lineEdit(w.get(), QStringLiteral("Text3"))->setText(typed);
        w->Text3_LostFocus();
        QCOMPARE(setting(dir->path(), QStringLiteral("外線番号")).toLongLong(), accepted ? 9 : 0);
        QCOMPARE(dialogs->beeps(), accepted ? 0 : 1);
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Text3")), accepted ? typed : QString());
        w->DialButton_Click();
        QCOMPARE(line->written.first(), accepted ? QByteArray("ATDP90312345678;\r") : QByteArray("ATDP00312345678;\r"));
    }

    // The custom prefix is stored as typed, kept when the box is emptied, and only its digits
    // are dialled; an empty box adds no prefix.
    void customPrefix()
    {
        auto w = open(10, QStringLiteral("03"), QStringLiteral("090"), 1);
        buttonOf(w.get(), QStringLiteral("Option5_3"))->click();
        lineEdit(w.get(), QStringLiteral("Text5"))->setText(QStringLiteral("00;77H"));
        w->Text5_LostFocus();
        QCOMPARE(setting(dir->path(), QStringLiteral("付加番号")).toString(), QStringLiteral("00;77H"));
        w->DialButton_Click();
        QCOMPARE(line->written.first(), QByteArray("ATDP0077090;\r"));
        buttonOf(w.get(), QStringLiteral("QuitButton_0"))->click();
        lineEdit(w.get(), QStringLiteral("Text5"))->clear();
        w->Text5_LostFocus();
        QCOMPARE(setting(dir->path(), QStringLiteral("付加番号")).toString(), QStringLiteral("00;77H"));
        w->DialButton_Click();
        QCOMPARE(line->written[2], QByteArray("ATDP090;\r"));
        // The home number never carries a prefix.
        buttonOf(w.get(), QStringLiteral("QuitButton_0"))->click();
        buttonOf(w.get(), QStringLiteral("Option5_1"))->click();
        buttonOf(w.get(), QStringLiteral("Option1_0"))->click();
        w->DialButton_Click();
        QCOMPARE(line->written[4], QByteArray("ATDP03;\r"));
        QVERIFY(dialogs->shown().size() == 3);  // the three handset messages
    }

    // Controls reachable by assistive technology under their system names.
    void controlsAreNamed()
    {
        auto w = open(10);
        for (const char* n : {"Text2_0", "Text2_1", "Option1_0", "Option1_1", "Text1_0", "Text1_1", "Label2_0", "Text4", "Command1",
                              "Status", "DialButton", "CancelButton", "QuitButton_0", "QuitButton_1", "Label1_6", "Label3_0",
                              "Label1_7", "Label3_1", "Option2_0", "Option2_2", "Option3_0", "Option3_1", "Option4_0", "Option4_1",
                              "Text3", "Option5_0", "Option5_3", "Text5", "Label4", "Label1_1", "Text6_0", "Label1_8", "Text6_1",
                              "Command3", "Label1_0", "Label1_2", "Label1_3", "Label1_4", "Label1_5", "List1", "Command2_0",
                              "Command2_1"}) {
            QWidget* c = w->findChild<QWidget*>(QString::fromLatin1(n));
            QVERIFY2(c, n);
            QVERIFY2(!c->accessibleDescription().isEmpty(), n);
        }
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Option5_1")), QStringLiteral("0033（NTTコミュニケーション）"));
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Command2_0")), QStringLiteral("全履歴削除"));
        QCOMPARE(w->findChild<QWidget*>(QStringLiteral("Text4"))->accessibleName(), QStringLiteral("用件"));
    }
};

QTEST_MAIN(TestForm11Settings)
#include "tst_form11settings.moc"
