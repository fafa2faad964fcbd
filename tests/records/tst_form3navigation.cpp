// Moving through the record window: the scroll bar, the record list, the kana index, the six
// display orders, and the list rebuilt by "リスト再表示".

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Form3.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QLabel>
#include <QApplication>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableView>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

using fixture::shown;

namespace {

QAbstractItemView* list1(Form3* w)
{
    return w->findChild<QAbstractItemView*>(QStringLiteral("List1"));
}

QString line(Form3* w, int i)
{
    QAbstractItemModel* m = list1(w)->model();
    return m->index(i, 0).data().toString();
}

// Scroll bar, list line, label and shown record all name position p.
void expectAt(Form3* w, int p, int count)
{
    QCOMPARE(w->cursor().position(), p);
    QCOMPARE(w->hScroll1()->value(), p);
    QCOMPARE(list1(w)->currentIndex().row(), p);
    QVERIFY(list1(w)->selectionModel()->isSelected(list1(w)->model()->index(p, 0)));
    QCOMPARE(shown(w, QStringLiteral("Label15")), QStringLiteral("%1/%2").arg(p + 1).arg(count));
    QVERIFY2(line(w, p).startsWith(shown(w, QStringLiteral("Text1_0")) + QLatin1Char(' ')), qPrintable(line(w, p)));
}

} // namespace

class TestForm3Navigation : public QObject, private fixture::WindowCase {
    Q_OBJECT

    QString storedOrder(const QString& path)
    {
        return fixture::scalar(path, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\"")).toString();
    }

private slots:
    void initTestCase() { startCase(); }

    void cleanupTestCase() { endCase(); }

    void init() { freshFolder(); }

    void cleanup() { dropFolder(); }

    // What the screen shows, not what the selection model says: after two steps of the scroll
    // bar's arrow only the current record's line is drawn selected.
    void onlyTheCurrentLineIsDrawnSelected()
    {
        auto w = load();
        w->resize(1200, 900);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::qWait(50);
        for (int step = 0; step < 2; ++step) {
            w->hScroll1()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QTest::qWait(50);
        }
        expectAt(w.get(), 2, w->cursor().count());
        QAbstractItemView* view = list1(w.get());
        // The window's backing store: what was painted, region by region, as a screen shows it.
        const QPixmap painted = w->screen()->grabWindow(w->winId());
        const QPoint origin = view->viewport()->mapTo(w.get(), QPoint(0, 0));
        const QImage shot = painted.toImage();
        const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
        QList<int> drawnSelected;
        for (int row = 0; row < 6; ++row) {
            const QRect r = view->visualRect(view->model()->index(row, 0)).translated(origin);
            int hits = 0, all = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x < r.left() + view->viewport()->width(); x += 3, ++all)
                    hits += shot.valid(x, y) && QColor(shot.pixel(x, y)) == highlight;
            if (all > 0 && hits * 4 > all)
                drawnSelected << row;
        }
        QCOMPARE(drawnSelected, QList<int>{2});
    }

    void listHasALinePerRecordInOrder()
    {
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '3'"));
        auto w = load(book);
        QCOMPARE(list1(w.get())->model()->rowCount(), 40);
        // Rows of one fixed height: filling the list never measures its rows one by one.
        auto* table = qobject_cast<QTableView*>(list1(w.get()));
        QVERIFY(table);
        QCOMPARE(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        db::Database d = db::Database::open(book);
        db::Recordset rs = d.openRecordset(QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY \"フリガナ\", "
                                                          "\"都道府県\", \"市町村\", \"番地\", \"生年月日\", \"会員NO\""),
                                           db::RecordsetType::Snapshot);
        for (int i = 0; !rs.eof(); rs.moveNext(), ++i)
            QVERIFY(line(w.get(), i).startsWith(QStringLiteral("%1 ").arg(rs.value(QStringLiteral("会員NO")).toInt(), 8, 10, QLatin1Char('0'))));
        expectAt(w.get(), 0, 40);
    }

    void moves_data()
    {
        // Steps: "bar:n" sets the scroll bar, "next"/"previous" step it, "list:n" makes line n the
        // list's current line, "click:n" clicks it, "down"/"end" are keys in the list.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("position");
        QTest::newRow("last by the scroll bar") << QStringList{"bar:39"} << 39;
        QTest::newRow("first after the last") << QStringList{"bar:39", "bar:0"} << 0;
        QTest::newRow("next twice") << QStringList{"next", "next"} << 2;
        QTest::newRow("previous from the last") << QStringList{"bar:39", "previous"} << 38;
        QTest::newRow("far forward then back") << QStringList{"bar:30", "bar:7"} << 7;
        QTest::newRow("list line") << QStringList{"list:12"} << 12;
        QTest::newRow("list last line") << QStringList{"list:39"} << 39;
        QTest::newRow("mouse on a list line") << QStringList{"click:4"} << 4;
        QTest::newRow("key down in the list") << QStringList{"list:5", "down"} << 6;
        QTest::newRow("key End in the list") << QStringList{"click:2", "end"} << 39;
    }
    void moves()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, position);
        auto w = load(book);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QAbstractItemView* list = list1(w.get());
        QScrollBar* bar = w->hScroll1();
        for (const QString& step : steps) {
            const QStringList p = step.split(QLatin1Char(':'));
            const int n = p.size() > 1 ? p[1].toInt() : 0;
            if (p[0] == QLatin1String("bar"))
                bar->setValue(n);
            else if (p[0] == QLatin1String("next"))
                bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            else if (p[0] == QLatin1String("previous"))
                bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
            else if (p[0] == QLatin1String("list"))
                list->setCurrentIndex(list->model()->index(n, 0));
            else if (p[0] == QLatin1String("click")) {
                const QModelIndex i = list->model()->index(n, 0);
                list->scrollTo(i);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(i).center());
            } else if (p[0] == QLatin1String("down"))
                QTest::keyClick(list, Qt::Key_Down);
            else if (p[0] == QLatin1String("end"))
                QTest::keyClick(list, Qt::Key_End);
        }
        QApplication::processEvents();
        expectAt(w.get(), position, 40);
        // The record shown is the record the cursor stands on.
        QCOMPARE(QStringLiteral("%1").arg(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), 8, 10, QLatin1Char('0')),
                 shown(w.get(), QStringLiteral("Text1_0")));
    }

    void kanaIndex_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("memberNo");
        QTest::newRow("column ｲ before any row") << QList<int>{11} << 2;
        QTest::newRow("row ﾊ then column ｲ: ﾋ") << QList<int>{5, 11} << 3;
        QTest::newRow("row ｱ passes over empty and full-width readings") << QList<int>{0} << 1;
        QTest::newRow("row ﾏ") << QList<int>{6} << 4;
        QTest::newRow("beyond every reading: the last record") << QList<int>{9} << 4;
    }
    void kanaIndex()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, memberNo);
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = NULL"));
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"フリガナ\" = CASE \"会員NO\" WHEN 1 THEN 'ｱｵｷ' WHEN 2 THEN 'ｲﾄｳ' "
                                           "WHEN 3 THEN 'ﾋﾗﾀ' WHEN 4 THEN 'ﾏﾂﾓﾄ' WHEN 5 THEN 'タナカ' WHEN 6 THEN 'あおき' "
                                           "WHEN 7 THEN '' END WHERE \"会員NO\" <= 7"));
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '3'"));
        auto w = load(book);
        for (int label : clicks)
            w->Label1_Click(label);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("%1").arg(memberNo, 8, 10, QLatin1Char('0')));
        expectAt(w.get(), w->cursor().position(), 40);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void kanaIndexByTheMouse()
    {
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '3'"));
        auto w = load(book);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(fixture::control(w.get(), QStringLiteral("Label1_9")), Qt::LeftButton);
        // No reading of the sample reaches "ﾜ": the last record.
        expectAt(w.get(), 39, 40);
    }

    void kanaIndexOutsideReadingOrderMovesNothing()
    {
        auto w = load(book);
        w->hScroll1()->setValue(3);
        w->Label1_Click(0);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("表示順番が「ふりがな」のみ有効です"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("Infolta"));
        QCOMPARE(dialogs->shown().first().buttons, ui::Buttons::Ok);
        expectAt(w.get(), 3, 40);
    }

    void orders_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("orderBy");
        QTest::newRow("登録番号") << 0 << "\"会員NO\"";
        QTest::newRow("登録日") << 1 << "\"登録日\", \"フリガナ\", \"会員NO\"";
        QTest::newRow("フリガナ") << 2 << "\"フリガナ\", \"都道府県\", \"市町村\", \"番地\", \"生年月日\", \"会員NO\"";
        QTest::newRow("登録区分") << 3 << "\"会員区分\", \"フリガナ\", \"都道府県\", \"市町村\", \"番地\", \"会員NO\"";
        QTest::newRow("生年月日") << 4 << "\"生年月日\", \"フリガナ\", \"会員NO\"";
        QTest::newRow("誕生日順") << 5 << "\"誕生日\", \"会員NO\"";
    }
    void orders()
    {
        QFETCH(int, index);
        QFETCH(QString, orderBy);
        // Start from another order, somewhere in the middle.
        const int start = index == 0 ? 2 : 1;
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {QString::number(start)});
        auto w = load(book);
        w->hScroll1()->setValue(17);
        qobject_cast<QRadioButton*>(fixture::control(w.get(), QStringLiteral("Option2_%1").arg(index)))->click();

        QCOMPARE(storedOrder(book), QString::number(index + 1));
        QCOMPARE(w->displayOrder(), index + 1);
        QVERIFY(fixture::checked(w.get(), QStringLiteral("Option2_%1").arg(index)));
        QVERIFY(!fixture::checked(w.get(), QStringLiteral("Option2_%1").arg(start - 1)));
        db::Database d = db::Database::open(book);
        db::Recordset rs = d.openRecordset(QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY ") + orderBy,
                                           db::RecordsetType::Snapshot);
        for (int i = 0; !rs.eof(); rs.moveNext(), ++i)
            QVERIFY(line(w.get(), i).startsWith(QStringLiteral("%1 ").arg(rs.value(QStringLiteral("会員NO")).toInt(), 8, 10, QLatin1Char('0'))));
        expectAt(w.get(), 0, 40);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void birthdayOrderRewritesTheDaysFirst()
    {
        // Stale days, and a record that lost its birth date: the rewrite comes before the order.
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"誕生日\" = '12/31'"));
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"生年月日\" = NULL WHERE \"会員NO\" = 30"));
        auto w = load(book);
        w->Option2_Click(5);
        const QString wrong = QStringLiteral(
            "SELECT COUNT(*) FROM \"個人台帳\" WHERE \"誕生日\" IS NOT (CASE WHEN \"生年月日\" IS NULL THEN '' "
            "ELSE substr(\"生年月日\", 6, 2) || '/' || substr(\"生年月日\", 9, 2) END)");
        QCOMPARE(fixture::scalar(book, wrong).toInt(), 0);
        // Records without a birth date ("" first) open first, at once.
        const int first = fixture::scalar(book, QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY \"誕生日\", \"会員NO\"")).toInt();
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("%1").arg(first, 8, 10, QLatin1Char('0')));
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"誕生日\" FROM \"個人台帳\" WHERE \"会員NO\" = 30")), QVariant(QString("")));
        QCOMPARE(storedOrder(book), QStringLiteral("6"));
    }

    void sameOrderOrEmptyBookChangesNothing()
    {
        auto w = load(book);
        w->hScroll1()->setValue(9);
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ''"));
        w->Option2_Click(0);  // the order in force
        expectAt(w.get(), 9, 40);
        QCOMPARE(storedOrder(book), QString(""));
        w.reset();

        const QString empty = dir->filePath(QStringLiteral("空.mdb"));
        QString error;
        QVERIFY2(db::schema::createAddressBook(empty, QStringLiteral("空"), &error), qPrintable(error));
        auto e = load(empty);
        qobject_cast<QRadioButton*>(fixture::control(e.get(), QStringLiteral("Option2_2")))->click();
        QCOMPARE(storedOrder(empty), QStringLiteral("1"));
        QCOMPARE(e->displayOrder(), 1);
        // The buttons keep showing the order in force.
        QVERIFY(fixture::checked(e.get(), QStringLiteral("Option2_0")));
        QVERIFY(!fixture::checked(e.get(), QStringLiteral("Option2_2")));
        QVERIFY(dialogs->shown().isEmpty());
    }

    // A move to a record with the same picture neither reads nor scales it again; a picture file
    // rewritten since, or a box of another size, is read again.
    void pictureReadAgainOnlyWhenItChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("reads");
        QTest::newRow("nothing changed") << "" << 0;
        QTest::newRow("the default picture rewritten") << "file" << 1;
        QTest::newRow("the box resized") << "box" << 1;
    }
    void pictureReadAgainOnlyWhenItChanged()
    {
        QFETCH(QString, change);
        QFETCH(int, reads);
        auto w = load(book);
        w->show();
        auto* image = qobject_cast<QLabel*>(fixture::control(w.get(), QStringLiteral("Image1")));
        QVERIFY(image);
        w->hScroll1()->setValue(1);  // record 2: the common default picture
        const QString common = dir->filePath(QStringLiteral("共通情報/default.png"));
        QCOMPARE(w->shownPicture(), common);
        const int before = w->pictureReads();
        const qint64 shown = image->pixmap().cacheKey();
        if (change == QLatin1String("file")) {
            QImage red(64, 48, QImage::Format_RGB32);
            red.fill(Qt::red);
            QVERIFY(red.save(common, "PNG"));
            QFile f(common);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
        } else if (change == QLatin1String("box")) {
            image->resize(image->width() + 20, image->height());
        }
        w->hScroll1()->setValue(2);  // record 3: the default picture too
        QCOMPARE(w->shownPicture(), common);
        QCOMPARE(w->pictureReads() - before, reads);
        QCOMPARE(image->pixmap().cacheKey() == shown, reads == 0);
        if (change == QLatin1String("file")) {
            const QImage now = image->pixmap().toImage();
            QCOMPARE(now.pixelColor(now.width() / 2, now.height() / 2), QColor(Qt::red));
        }
    }

    void editModeMoveSelectsTheBoxAgainAndShowsThePicture()
    {
        auto w = load(book);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Command9_Click(0);
        auto* name = qobject_cast<QLineEdit*>(fixture::control(w.get(), QStringLiteral("Text1_2")));
        name->setFocus(Qt::TabFocusReason);
        w->hScroll1()->setValue(1);
        // The box still being edited shows the new record, its text selected for typing over.
        QCOMPARE(name->text(), fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 2")).toString());
        QVERIFY(name->hasFocus());
        QCOMPARE(name->selectedText(), name->text());
        // The picture follows the records in edit mode and after it.
        QVERIFY2(w->shownPicture().endsWith(QStringLiteral("/共通情報/default.png")), qPrintable(w->shownPicture()));
        w->Command9_Click(0);
        w->hScroll1()->setValue(0);
        QVERIFY2(w->shownPicture().endsWith(QStringLiteral("/1/Preview/sn_photo1.png")), qPrintable(w->shownPicture()));
        w->hScroll1()->setValue(4);
        QVERIFY2(w->shownPicture().endsWith(QStringLiteral("/5/Preview/sn_photo1.png")), qPrintable(w->shownPicture()));
    }

    void orderChangeInEditModeCommitsIntoTheRecordOnTheScreen()
    {
        auto w = load(book);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Command9_Click(0);
        w->hScroll1()->setValue(3);
        const QString firstByReading = QStringLiteral(
            "SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY \"フリガナ\", \"都道府県\", \"市町村\", \"番地\", \"生年月日\", \"会員NO\"");
        const int first = fixture::scalar(book, firstByReading).toInt();
        QVERIFY(first != 4);
        const QString before = fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = %1").arg(first)).toString();
        QWidget* name = fixture::control(w.get(), QStringLiteral("Text1_2"));
        name->setFocus(Qt::TabFocusReason);
        records::SetBoxText(name, QStringLiteral("編集中の名前"));
        w->Option2_Click(2);  // the focus stays in the box, as with a key press
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 4")).toString(),
                 QStringLiteral("編集中の名前"));
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = %1").arg(first)).toString(), before);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("%1").arg(first, 8, 10, QLatin1Char('0')));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_2")), before);
        // Leaving the box now stores what it shows into the record it shows.
        fixture::control(w.get(), QStringLiteral("Text1_10"))->setFocus(Qt::TabFocusReason);
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\" WHERE \"氏名\" = '編集中の名前'")).toInt(), 1);
    }

    void refreshShowsNewTextsAtTheSamePlace()
    {
        auto w = load(book);
        w->hScroll1()->setValue(5);
        const QString before = line(w.get(), 5);
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"氏名\" = '改名　太郎' WHERE \"会員NO\" = 6"));
        QCOMPARE(line(w.get(), 5), before);  // kept until the next rebuild
        w->Command9_Click(10);
        QCOMPARE(line(w.get(), 5).mid(9, 7), QStringLiteral("改名　太郎  "));
        expectAt(w.get(), 5, 40);

        // Without a selected line the command does nothing.
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"氏名\" = '再改名' WHERE \"会員NO\" = 6"));
        list1(w.get())->selectionModel()->clearSelection();
        w->Command9_Click(10);
        QCOMPARE(line(w.get(), 5).mid(9, 7), QStringLiteral("改名　太郎  "));
        QCOMPARE(w->cursor().position(), 5);
    }
};

QTEST_MAIN(TestForm3Navigation)
#include "tst_form3navigation.moc"
