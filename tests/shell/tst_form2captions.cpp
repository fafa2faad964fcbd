// The settings window's 45 field-caption boxes and the rules of the caption row.

#include "tst_form2_fixture.h"

#include "platform/ui/Twips.h"
#include "shell/FieldCaptions.h"
#include "shell/SettingsStore.h"

#include <QLabel>

using namespace form2test;

class TestForm2Captions : public QObject, private form2test::Case {
    Q_OBJECT

    void setCaption(const QString& field, const QVariant& value)
    {
        const db::Database d = db::Database::open(book);
        d.execute(QStringLiteral("UPDATE \"住所録ラベル\" SET \"%1\" = ?").arg(field), {value});
    }

    void resetRow()
    {
        const db::Database d = db::Database::open(book);
        db::Recordset rs = d.openRecordset(QStringLiteral("住所録ラベル"));
        settings::resetFieldCaptions(rs);
    }

private slots:
    void initTestCase() { ui::setProgramTitle(QStringLiteral("TovariInfolta")); }

    void init()
    {
        startTest();
        book = makeBook(dir->filePath(QStringLiteral("名簿.mdb")), "名簿");
        openAsMenu(book);
    }

    void cleanup()
    {
        endTest();
    }

    // For each box: its field, what it shows for an empty field, what a reset writes, and
    // whether the empty text counts as empty or is a caption of its own.
    void captionRules_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("builtIn");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<bool>("emptyTextIsEmpty");
        struct R {
            const char* field;
            const char* builtIn;
            const char* reset;
            bool emptyTextIsEmpty;
        };
        const R rows[45] = {
            {"登録番号", "登録番号", "登録番号", false},
            {"登録日", "登録日", "登録日", true},
            {"登録区分", "登録区分", "登録区分", true},
            {"フリガナ", "フリガナ", "フリガナ", true},
            {"氏名", "氏名", "氏名", true},
            {"生年月日", "生年月日", "生年月日", true},
            {"郵便番号", "〒", "郵便番号", true},
            {"都道府県", "都道府県", "都道府県", true},
            {"市町村", "市町村", "市町村", true},
            {"番地", "番地", "番地", true},
            {"ビル", "ビル", "ビル", true},
            {"自宅電話", "自宅電話", "自宅電話", true},
            {"Eメールアドレス", "Ｅメールアドレス", "Eメールアドレス", true},
            {"職業", "職業", "職業", true},
            {"勤務先", "勤務先", "勤務先（学校）", true},
            {"職種", "職種（専攻）", "職種（専攻）", true},
            {"学年", "（学年）", "（学年）", true},
            {"携帯電話", "携帯電話", "携帯電話", true},
            {"携帯メールアドレス", "携帯メールアドレス", "携帯メールアドレス", true},
            {"趣味", "趣味", "趣味", true},
            {"特技", "特技", "特技", true},
            {"備考", "備考", "備考", true},
            {"記事", "記事", "記事", true},
            {"数値1", "数値１", "数値1", true},
            {"数値2", "数値２", "数値2", true},
            {"数値3", "数値３", "数値3", true},
            {"数値4", "数値４", "数値4", true},
            {"数値5", "数値５", "数値5", true},
            {"趣味ヘッド", "", "", true},
            {"特技ヘッド", "", "", true},
            {"備考ヘッド", "", "", true},
            {"退会日", "退会日", "退会日", true},
            {"性別", "性別", "性別", true},
            {"性別男", "男", "男", true},
            {"性別女", "女", "女", true},
            {"数値6", "数値６", "数値6", true},
            {"状態", "状態", "状態", false},
            {"状態会員", "会員", "会員", false},
            {"状態休会", "休会", "休会", false},
            {"状態退会", "退会", "退会", false},
            {"自宅FAX", "自宅FAX", "自宅FAX", true},
            {"数値7", "数値７", "数値7", true},
            {"数値8", "数値８", "数値8", true},
            {"数値9", "数値９", "数値9", true},
            {"数値10", "数値１０", "数値10", true},
        };
        for (int i = 0; i < 45; ++i)
            QTest::addRow("%d %s", i, rows[i].field) << i << QString::fromUtf8(rows[i].field)
                                                     << QString::fromUtf8(rows[i].builtIn)
                                                     << QString::fromUtf8(rows[i].reset) << rows[i].emptyTextIsEmpty;
    }
    void captionRules()
    {
        QFETCH(int, index);
        QFETCH(QString, field);
        QFETCH(QString, builtIn);
        QFETCH(QString, reset);
        QFETCH(bool, emptyTextIsEmpty);
        QCOMPARE(settings::fieldCaption(index).field, field);

        // A new book holds Null everywhere: the built-in caption.
        auto w = loadWindow();
        QCOMPARE(w->text2(index)->text(), builtIn);

        setCaption(field, QString(""));
        w->LoadFieldCaptions();
        QCOMPARE(w->text2(index)->text(), emptyTextIsEmpty ? builtIn : QString());

        setCaption(field, QStringLiteral("  "));  // spaces are a caption, for every box
        w->LoadFieldCaptions();
        QCOMPARE(w->text2(index)->text(), QString("  "));

        resetRow();
        QCOMPARE(caption(book, field), QVariant(reset));
        w->LoadFieldCaptions();
        QCOMPARE(w->text2(index)->text(), reset);  // after a reset the boxes show the reset column
        QVERIFY(dialogs->shown().isEmpty());
    }

    void storingABox_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("nextLoad");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QStringList>("messages");
        const QString longest = QString(127, QChar(u'あ')) + 'a';
        QTest::newRow("typed caption") << 4 << "お名前" << QVariant("お名前") << "お名前" << 0 << QStringList();
        QTest::newRow("emptied 登録番号 stores its name") << 0 << "" << QVariant("登録番号") << "登録番号" << 0
                                                           << QStringList();
        QTest::newRow("emptied 登録区分 stores its name") << 2 << "" << QVariant("登録区分") << "登録区分" << 0
                                                           << QStringList();
        QTest::newRow("emptied 備考 stores the empty text") << 21 << "" << QVariant("") << "備考" << 0
                                                              << QStringList();
        QTest::newRow("emptied 状態会員 stays empty") << 37 << "" << QVariant("") << "" << 0 << QStringList();
        QTest::newRow("spaces kept") << 5 << "  " << QVariant("  ") << "  " << 0 << QStringList();
        QTest::newRow("255 bytes fit") << 19 << longest << QVariant(longest) << longest << 0 << QStringList();
        QTest::newRow("256 bytes refused") << 19 << longest + 'b' << QVariant() << "趣味" << 1 << QStringList{TooLong};
    }
    void storingABox()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(QString, nextLoad);
        QFETCH(int, beeps);
        QFETCH(QStringList, messages);
        auto w = loadWindow();
        setEditMode(*w, true);
        typeAndLeave(*w, w->text2(index), typed);
        QCOMPARE(caption(book, settings::fieldCaption(index).field), stored);
        QCOMPARE(w->text2(index)->text(), typed);  // the box is not refilled
        QCOMPARE(dialogs->beeps(), beeps);
        QCOMPARE(dialogs->shownTexts(), messages);
        QCOMPARE(QApplication::focusWidget() == w->text2(index), beeps > 0);
        w.reset();
        QCOMPARE(loadWindow()->text2(index)->text(), nextLoad);
    }

    void outsideEditModeNothingIsStored()
    {
        auto w = loadWindow();
        QVERIFY(w->text2(4)->isReadOnly());
        w->text2(4)->setFocus(Qt::TabFocusReason);
        w->text2(4)->setText(QStringLiteral("お名前"));  // what the program could still put there
        w->command2(9)->setFocus(Qt::TabFocusReason);
        QVERIFY(caption(book, QStringLiteral("氏名")).isNull());
        // Ending edit mode locks them again.
        setEditMode(*w, true);
        QVERIFY(!w->text2(4)->isReadOnly());
        setEditMode(*w, false);
        QVERIFY(w->text2(4)->isReadOnly());
    }

    void entryInEditMode()
    {
        auto w = loadWindow();
        w->text2(28)->setFocus(Qt::TabFocusReason);  // empty, outside edit mode: nothing
        QCOMPARE(dialogs->beeps(), 0);
        setEditMode(*w, true);
        w->text2(4)->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(w->text2(4)->selectedText(), QString("氏名"));
        QCOMPARE(dialogs->beeps(), 0);
        w->text2(28)->setFocus(Qt::MouseFocusReason);  // an empty box beeps and keeps the focus
        QCoreApplication::processEvents();
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(QApplication::focusWidget(), w->text2(28));
    }

    void tabbingThroughChangesOnlyTheEmptyNamedBoxes()
    {
        resetRow();
        setCaption(QStringLiteral("登録番号"), QString(""));
        setCaption(QStringLiteral("登録区分"), QString(""));
        auto w = loadWindow();
        setEditMode(*w, true);
        for (int i = 0; i < settings::FieldCaptionCount; ++i)
            w->text2(i)->setFocus(Qt::TabFocusReason);
        w->command2(9)->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < settings::FieldCaptionCount; ++i) {
            const QString field = settings::fieldCaption(i).field;
            // 登録番号 holds the empty text, which is its caption; 登録区分 shows its built-in name.
            const QString expected = i == 0 ? QString("登録番号") : settings::fieldCaption(i).reset;
            QCOMPARE(caption(book, field), QVariant(expected));
        }
    }

    void layout()
    {
        auto w = loadWindow();
        const QList<int>& order = settings::captionColumnOrder();
        QCOMPARE(order.size(), 42);
        for (int r = 0; r < order.size(); ++r) {
            const QRect g = w->text2(order[r])->geometry();
            QCOMPARE(g, ui::twipsRect(1920, 360 + r * 240, 1695, 270));
            QCOMPARE(w->label3(order[r])->geometry().top(), g.top());
        }
        for (int heading : {28, 29, 30}) {
            const QRect beside = w->text2(heading + 9)->geometry();
            QCOMPARE(w->text2(heading)->geometry(), ui::twipsRect(6120, 0, 3015, 270).translated(0, beside.top()));
            QVERIFY(w->label3(heading)->geometry().right() < w->text2(heading)->geometry().left());
        }
        QCOMPARE(w->label3(6)->text(), QString("〒"));
        QCOMPARE(w->label3(28)->text(), QString("趣味上ラベル"));
    }
};

QTEST_MAIN(TestForm2Captions)
#include "tst_form2captions.moc"
