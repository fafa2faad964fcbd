// The printing window offscreen: its load (records, order, caption), the list and its
// selection, the target following the selection, the questions, the printer dialog and what
// it prints, in both programs.

#include "PrintFixture.h"

#include "edition/Profile.h"
#include "list/Form5.h"
#include "list/PrintListModel.h"
#include "platform/print/QtPrinter.h"
#include "platform/print/RecordingPrinter.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/RecordListLine.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QListView>
#include <QScrollBar>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace printfixture;

namespace {

bool checked(QWidget* w, const QString& name)
{
    auto* b = w->findChild<QRadioButton*>(name);
    return b && b->isChecked();
}

void choose(QWidget* w, const QString& name)
{
    w->findChild<QRadioButton*>(name)->click();
}

} // namespace

class TestForm5 : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    // The printers the window made in this test.
    QList<std::shared_ptr<print::RecordingPrinter>> printers;
    std::unique_ptr<print::ScopedPrinterMaker> maker;
    int books = 0;

    QString book(const QList<Person>& persons, const QString& title = QStringLiteral("テスト住所録"))
    {
        const QString path = dir->filePath(QStringLiteral("book%1.mdb").arg(++books));
        writeBook(path, persons, title);
        return path;
    }
    std::unique_ptr<Form5> load(const QString& path)
    {
        Module1::PublishCurrentBook(path);
        auto w = std::make_unique<Form5>();
        w->formLoad();
        return w;
    }
    // Everything printed by the window's printers, as lines.
    QStringList printed() const
    {
        QStringList out;
        for (const auto& p : printers)
            for (const auto& d : p->drawn())
                out << Line{d.page, d.x, d.y, d.fontSize, d.text}.key();
        return out;
    }
    static QStringList keys(const QList<Line>& lines)
    {
        QStringList out;
        for (const Line& l : lines)
            out << l.key();
        return out;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        dialogs = std::make_unique<ui::ScriptedDialogs>(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
        printers.clear();
        maker = std::make_unique<print::ScopedPrinterMaker>([this](QPrinter*) {
            auto p = std::make_shared<print::RecordingPrinter>();
            printers << p;
            return p;
        });
        edition::setProfile(edition::InformationManagerProfile());
    }
    void cleanup()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(u'\n')));
        maker.reset();
        Module1::CloseSharedObjects();
        Module1::CurrentDbFile = Module1::CurrentDbFileCopy = Module1::DbFile{};
        scope.reset();
        dialogs.reset();
        dir.reset();
        edition::setProfile(edition::InformationManagerProfile());
    }

    void loadListsTheRecordsInTheStoredOrder_data()
    {
        QTest::addColumn<QVariant>("order");
        QTest::addColumn<QStringList>("numbers");  // record numbers of the lines, in order
        const QStringList byNumber{"00000001", "00000002", "00000003"};
        const QStringList byReading{"00000003", "00000001", "00000002"};
        QTest::newRow("order 1: record numbers") << QVariant(QStringLiteral("1")) << byNumber;
        QTest::newRow("order 3: readings") << QVariant(QStringLiteral("3")) << byReading;
        QTest::newRow("an order that is not 1 to 6 lists as 1") << QVariant(QStringLiteral("9")) << byNumber;
        QTest::newRow("an empty order lists as 1") << QVariant(QString()) << byNumber;
        QTest::newRow("a Null order lists as 1") << QVariant() << byNumber;
    }
    void loadListsTheRecordsInTheStoredOrder()
    {
        QFETCH(QVariant, order);
        QFETCH(QStringList, numbers);
        const QString path = book(people(3));
        db::Database d = db::Database::open(path);
        const QStringList readings{"ｲ", "ｳ", "ｱ"};
        for (int k = 0; k < 3; ++k)
            d.execute(QStringLiteral("UPDATE \"%1\" SET \"フリガナ\" = ? WHERE \"会員NO\" = ?").arg(db::schema::personTableName()),
                      {readings[k], k + 1});
        d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {order});
        auto w = load(path);
        QCOMPARE(w->listModel()->rowCount(), 3);
        QStringList shown;
        for (int i = 0; i < 3; ++i)
            shown << w->listModel()->line(i).left(8);
        QCOMPARE(shown, numbers);
        // The line is the record list's line of that record.
        const QList<QVariantList> rows = w->personRs().readColumns(records::RecordListFields(), 0, 1);
        QCOMPARE(w->listModel()->line(0), records::RecordListLine(rows.first(), QDate(2024, 4, 1)));
        QVERIFY(w->listModel()->line(0).startsWith(numbers.first() + QStringLiteral(" 山田")));
    }

    void nothingToPrintIsToldBeforeThePrinterDialog_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("cities");       // the records have a "市町村"
        QTest::addColumn<QList<int>>("chosen");  // lines chosen, then リスト選択者 chosen by hand
        QTest::newRow("an empty book") << 0 << true << QList<int>();
        QTest::newRow("リスト選択者 with no line chosen") << 3 << true << QList<int>{1, 1};
        QTest::newRow("no record has a 市町村") << 3 << false << QList<int>();
        QTest::newRow("no chosen record has a 市町村") << 3 << false << QList<int>{0, 2};
    }
    void nothingToPrintIsToldBeforeThePrinterDialog()
    {
        QFETCH(int, records);
        QFETCH(bool, cities);
        QFETCH(QList<int>, chosen);
        QList<Person> persons = people(records);
        if (!cities)
            for (Person& p : persons)
                p.city = QVariant();
        auto w = load(book(persons));
        QCOMPARE(w->listModel()->rowCount(), records);
        for (int line : chosen)
            w->ToggleLine(line);
        if (!chosen.isEmpty())
            choose(w.get(), "Option2_1");
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(dialogs->shown().size(), 2);
        QCOMPARE(dialogs->shown().first().kind, ui::ScriptedDialogs::Shown::Question);
        QCOMPARE(dialogs->shownTexts().last(), QStringLiteral("印刷する宛名がありません"));
        QCOMPARE(dialogs->shown().last().title, QStringLiteral("宛名印刷"));
        QCOMPARE(dialogs->printerDialogs(), 0);
        QCOMPARE(printers.size(), 0);
    }

    void cancelStopsALongRunAndNothingMoreIsPrinted_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("selectedOnly");
        QTest::newRow("labels") << "Option1_0" << false;
        QTest::newRow("postcards") << "Option1_1" << false;
        QTest::newRow("the chosen lines") << "Option1_0" << true;
    }
    void cancelStopsALongRunAndNothingMoreIsPrinted()
    {
        QFETCH(QString, option);
        QFETCH(bool, selectedOnly);
        maker.reset();
        int drawnAtCancel = -1;
        QString cancelText;
        Form5* window = nullptr;
        maker = std::make_unique<print::ScopedPrinterMaker>([&](QPrinter*) {
            auto p = std::make_shared<print::RecordingPrinter>();
            if (!printers.isEmpty()) {
                printers << p;
                return p;
            }
            p->onDraw([&](int drawn) {
                // A slow stretch, so that the window handles events in it as it does on paper.
                if (drawn > 1200 && drawn < 1500)
                    QThread::usleep(1000);
                if (drawn != 1200)
                    return;
                // The user presses キャンセル while the run goes on.
                QTimer::singleShot(0, [&, drawn] {
                    auto* progress = window->findChild<QProgressDialog*>();
                    QVERIFY(progress && progress->isVisible());
                    for (QPushButton* b : progress->findChildren<QPushButton*>())
                        if (b->text() == QStringLiteral("キャンセル")) {
                            cancelText = b->text();
                            drawnAtCancel = int(printers.last()->drawn().size());
                            b->click();
                        }
                    Q_UNUSED(drawn);
                });
            });
            printers << p;
            return p;
        });
        auto w = load(book(people(1000)));
        window = w.get();
        w->setProgressDelay(0);
        w->show();
        if (selectedOnly)
            for (int line = 0; line < 1000; line += 2)
                w->ToggleLine(line);
        choose(w.get(), option);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(cancelText, QStringLiteral("キャンセル"));
        QVERIFY(drawnAtCancel >= 1200);
        const auto& p = printers.first();
        QCOMPARE(int(p->drawn().size()), drawnAtCancel);
        QVERIFY(drawnAtCancel < 4 * (selectedOnly ? 500 : 1000));
        QCOMPARE(p->jobsAborted(), 1);
        QCOMPARE(p->jobsEnded(), 0);
        QCOMPARE(dialogs->shown().size(), 1);  // the question: no message after a cancel
        QVERIFY(!w->isPrinting());
        QVERIFY(!w->findChild<QProgressDialog*>());
        // The window prints again, whole, afterwards.
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printers.last()->jobsEnded(), 1);
        QCOMPARE(int(printers.last()->drawn().size()), 4 * (selectedOnly ? 500 : 1000));
    }

    void cancelledPdfLeavesTheFileThatWasThere()
    {
        maker.reset();
        const QString pdf = dir->filePath(QStringLiteral("宛名印刷.pdf"));
        {
            QFile before(pdf);
            QVERIFY(before.open(QIODevice::WriteOnly));
            before.write("the previous print");
        }
        dialogs->setPrinterSetup([pdf](QPrinter* p) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
        });
        auto w = load(book(people(1000)));
        w->setProgressDelay(0);
        w->show();
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&] {
            if (auto* progress = w->findChild<QProgressDialog*>(); progress && progress->isVisible())
                for (QPushButton* b : progress->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("キャンセル"))
                        b->click();
        });
        press.start(0);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        press.stop();
        QFile after(pdf);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("the previous print"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".pdf")),
                 QStringList{QStringLiteral("宛名印刷.pdf")});
        // Not cancelled, the new file takes the old one's place.
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        after.close();
        QVERIFY(after.open(QIODevice::ReadOnly));
        QVERIFY(after.readAll().startsWith("%PDF"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".pdf")),
                 QStringList{QStringLiteral("宛名印刷.pdf")});
    }

    void captionTakesTheTitleOrTheWindowsOwnName_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::addColumn<QVariant>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the book's title") << false << QVariant(QStringLiteral("町内会名簿")) << QStringLiteral("町内会名簿");
        QTest::newRow("Null title: 宛名印刷") << false << QVariant() << QStringLiteral("宛名印刷");
        QTest::newRow("Null title in the address book: 宛名印刷 too") << true << QVariant() << QStringLiteral("宛名印刷");
    }
    void captionTakesTheTitleOrTheWindowsOwnName()
    {
        QFETCH(bool, addressBook);
        QFETCH(QVariant, title);
        QFETCH(QString, shown);
        if (addressBook)
            edition::setProfile(edition::AddressBookProfile());
        const QString path = book(people(1));
        db::Database::open(path).execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = ?"), {title});
        auto w = load(path);
        const QString head = Module1::FitBytes(shown + QString(10, u' ') + path, 160);
        QCOMPARE(w->windowTitle(), head + Module1::FormatCaptionDate(QDate(2024, 4, 1)));
    }

    void clicksToggleLinesAndTheTargetFollows()
    {
        auto w = load(book(people(5)));
        w->resize(1200, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QListView* list = w->list1();
        auto click = [&](int row) {
            const QRect r = list->visualRect(w->listModel()->index(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        };
        QVERIFY(checked(w.get(), "Option2_0"));
        click(1);
        QVERIFY(w->listModel()->isSelected(1));
        QVERIFY(checked(w.get(), "Option2_1"));
        // A second line is added to the selection without any modifier key.
        click(3);
        QCOMPARE(w->listModel()->selectedCount(), qint64(2));
        click(1);
        QVERIFY(!w->listModel()->isSelected(1));
        QVERIFY(checked(w.get(), "Option2_1"));
        // Unselecting the last selected line goes back to everyone.
        click(3);
        QCOMPARE(w->listModel()->selectedCount(), qint64(0));
        QVERIFY(checked(w.get(), "Option2_0"));
        // The space bar toggles the line with the focus.
        list->setFocus();
        list->setCurrentIndex(w->listModel()->index(2));
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(w->listModel()->isSelected(2));
        QVERIFY(checked(w.get(), "Option2_1"));
    }

    void chosenLinesReadAsSelectedAndAreWhatPrints_data()
    {
        QTest::addColumn<QString>("how");          // click, space or program
        QTest::addColumn<QList<int>>("toggles");  // lines toggled, in order
        QTest::addColumn<QList<int>>("chosen");   // lines chosen at the end
        QTest::newRow("clicks on two lines") << "click" << QList<int>{1, 3} << QList<int>{1, 3};
        QTest::newRow("a second click unchooses") << "click" << QList<int>{0, 2, 0} << QList<int>{2};
        QTest::newRow("the space bar") << "space" << QList<int>{4, 1} << QList<int>{1, 4};
        QTest::newRow("the accessibility toggle") << "action" << QList<int>{3, 0, 3, 2} << QList<int>{0, 2};
        QTest::newRow("neighbours chosen one by one") << "program" << QList<int>{2, 1, 3, 0, 4} << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("a line taken out of a run") << "program" << QList<int>{0, 1, 2, 3, 2} << QList<int>{0, 1, 3};
    }
    void chosenLinesReadAsSelectedAndAreWhatPrints()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, toggles);
        QFETCH(QList<int>, chosen);
        const QList<Person> persons = people(5);
        auto w = load(book(persons));
        w->resize(1200, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QListView* list = w->list1();
        list->setFocus();
        for (int line : toggles) {
            const QModelIndex i = w->listModel()->index(line);
            if (how == "click") {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(i).center());
            } else if (how == "space") {
                list->setCurrentIndex(i);
                QTest::keyClick(list, Qt::Key_Space);
            } else if (how == "action") {
                QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(list)->child(line);
                QVERIFY(cell && cell->actionInterface());
                QVERIFY(cell->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
                cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            } else {
                w->ToggleLine(line);
            }
        }
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
        QVERIFY(a);
        QCOMPARE(a->childCount(), persons.size());
        QVERIFY(a->child(0)->state().selectable);
        QList<int> reported;
        QList<Person> reportedPersons;
        for (int k = 0; k < a->childCount(); ++k) {
            QAccessibleInterface* line = a->child(k);
            QCOMPARE(line->text(QAccessible::Name), w->listModel()->line(k));
            if (line->state().selected) {
                reported << k;
                reportedPersons << persons[k];
            }
        }
        QCOMPARE(reported, chosen);
        QVERIFY(checked(w.get(), "Option2_1"));
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printed(), keys(expectedLines(true, reportedPersons)));
    }

    void everyLineIsShownWhole_data()
    {
        QTest::addColumn<QStringList>("remarks");  // "備考" of the records, in order
        const QString longRemark = QStringLiteral("会費は年度末にまとめて納入、連絡は夕方以降に自宅へ（平日は不在）");
        QTest::newRow("a short first line, a long later one") << QStringList{QString(), QStringLiteral("短い"), longRemark};
        QTest::newRow("the longest line last") << QStringList{QStringLiteral("一"), QString(), QString(), longRemark + longRemark};
        QTest::newRow("half-width remarks") << QStringList{QStringLiteral("abc"), QString(120, u'x')};
    }
    void everyLineIsShownWhole()
    {
        QFETCH(QStringList, remarks);
        const QString path = book(people(int(remarks.size())));
        db::Database d = db::Database::open(path);
        for (int k = 0; k < remarks.size(); ++k)
            d.execute(QStringLiteral("UPDATE \"%1\" SET \"備考\" = ? WHERE \"会員NO\" = ?").arg(db::schema::personTableName()),
                      {remarks[k].isEmpty() ? QVariant() : QVariant(remarks[k]), k + 1});
        d.close();
        auto w = load(path);
        w->resize(1200, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_VERIFY(w->listModel()->widthKnown());
        QListView* list = w->list1();
        const QFontMetrics fm(list->font());
        const int across = list->viewport()->width() + list->horizontalScrollBar()->maximum();
        for (int k = 0; k < remarks.size(); ++k) {
            const QString line = w->listModel()->line(k);
            QVERIFY(line.endsWith(remarks[k]));
            const int shown = fm.horizontalAdvance(line);
            QVERIFY2(list->visualRect(w->listModel()->index(k)).width() >= shown,
                     qPrintable(QStringLiteral("line %1: %2 px shown in %3").arg(k).arg(shown).arg(list->visualRect(w->listModel()->index(k)).width())));
            QVERIFY2(across >= shown, qPrintable(QStringLiteral("line %1: %2 px, scrolls across %3").arg(k).arg(shown).arg(across)));
        }
    }

    void printAsksTheKindsQuestion_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("yes");
        QTest::newRow("labels, Yes") << "Option1_0" << "宛名ラベルA4用紙に印刷を行います　よろしいですか？" << true;
        QTest::newRow("postcards, Yes") << "Option1_1" << "はがきに宛名を印刷を行います　よろしいですか？" << true;
        QTest::newRow("return postcards, Yes") << "Option1_2" << "往復はがきに宛名を印刷を行います　よろしいですか？" << true;
        QTest::newRow("labels, No") << "Option1_0" << "宛名ラベルA4用紙に印刷を行います　よろしいですか？" << false;
        QTest::newRow("return postcards, No") << "Option1_2" << "往復はがきに宛名を印刷を行います　よろしいですか？" << false;
    }
    void printAsksTheKindsQuestion()
    {
        QFETCH(QString, option);
        QFETCH(QString, question);
        QFETCH(bool, yes);
        const QList<Person> persons = people(2);
        auto w = load(book(persons));
        choose(w.get(), option);
        dialogs->queueAnswer(yes ? ui::Answer::Yes : ui::Answer::No);
        w->Command1_Click(0);
        QCOMPARE(dialogs->shown().size(), 1);
        const auto& asked = dialogs->shown().first();
        QCOMPARE(asked.kind, ui::ScriptedDialogs::Shown::Question);
        QCOMPARE(asked.text, question);
        QCOMPARE(asked.title, QStringLiteral("宛名印刷"));
        QCOMPARE(asked.buttons, ui::Buttons::YesNo);
        QCOMPARE(asked.icon, ui::Icon::None);
        QCOMPARE(dialogs->printerDialogs(), yes ? 1 : 0);
        QCOMPARE(printed(), yes ? keys(expectedLines(option == "Option1_0", persons)) : QStringList());
    }

    void selectedLinesOnlyWhenTheTargetIsTheSelection()
    {
        const QList<Person> persons = people(4);
        auto w = load(book(persons));
        w->ToggleLine(0);
        w->ToggleLine(2);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printed(), keys(expectedLines(true, {persons[0], persons[2]})));
        // 全員 chosen by hand prints everyone; the selection stays.
        choose(w.get(), "Option2_0");
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printers.last()->drawn().size(), 4 * 4);
        QCOMPARE(w->listModel()->selectedCount(), qint64(2));
        // リスト選択者 by hand with nothing selected prints nothing and says so.
        w->ToggleLine(0);
        w->ToggleLine(2);
        choose(w.get(), "Option2_1");
        const int made = int(printers.size());
        dialogs->clearRecord();
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(int(printers.size()), made);
        QCOMPARE(dialogs->shownTexts().last(), QStringLiteral("印刷する宛名がありません"));
    }

    void cancelledPrinterDialogPrintsNothing()
    {
        // The real printer object: a print after the cancel would land in the file.
        maker.reset();
        const QString pdf = dir->filePath(QStringLiteral("宛名印刷.pdf"));
        dialogs->setPrinterSetup([pdf](QPrinter* p) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
        });
        auto w = load(book(people(2)));
        dialogs->setPrinterDialogResult(false);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(dialogs->printerDialogs(), 1);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(dialogs->shown().size(), 1);  // the question only
        // Confirmed, the same run writes the file.
        dialogs->setPrinterDialogResult(true);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(dialogs->shown().size(), 2);  // no message after a print that went well
    }

    void printerFailureIsReported()
    {
        maker.reset();
        const QString pdf = dir->filePath(QStringLiteral("no-such-folder/宛名印刷.pdf"));
        dialogs->setPrinterSetup([pdf](QPrinter* p) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
        });
        auto w = load(book(people(2)));
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(dialogs->shown().size(), 2);
        const auto& report = dialogs->shown().last();
        QCOMPARE(report.kind, ui::ScriptedDialogs::Shown::Message);
        QCOMPARE(report.icon, ui::Icon::Exclamation);
        QVERIFY2(report.text.startsWith(QStringLiteral("482\n")), qPrintable(report.text));
        QVERIFY2(report.text.contains(pdf), qPrintable(report.text));
    }

    void printerFailureHalfWayIsReportedNotSuccess()
    {
        maker.reset();
        maker = std::make_unique<print::ScopedPrinterMaker>([this](QPrinter*) {
            auto p = std::make_shared<print::RecordingPrinter>();
            p->failAt(2, 482, QStringLiteral("プリンタ エラー: 用紙がありません"));
            printers << p;
            return p;
        });
        auto w = load(book(people(3)));
        choose(w.get(), "Option1_1");
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(dialogs->shownTexts().last(), QStringLiteral("482\nプリンタ エラー: 用紙がありません"));
        QCOMPARE(printers.first()->pagesStarted(), 1);
    }

    void windowPrintsFromTheBookItLoaded()
    {
        const QList<Person> own = people(2);
        auto w = load(book(own));
        // Another book becomes the current one after the window loaded.
        QList<Person> other = people(3);
        other[0].name = QStringLiteral("別人");
        Module1::PublishCurrentBook(book(other));
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printed(), keys(expectedLines(true, own)));
    }

    void addressBookOffersLabelsAndPostcards_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::addColumn<bool>("returnPostcardsShown");
        QTest::newRow("information manager: three kinds") << false << true;
        QTest::newRow("address book: no return postcards") << true << false;
    }
    void addressBookOffersLabelsAndPostcards()
    {
        QFETCH(bool, addressBook);
        if (addressBook)
            edition::setProfile(edition::AddressBookProfile());
        const QList<Person> persons = people(2);
        auto w = load(book(persons));
        auto* returnPostcards = w->findChild<QRadioButton*>("Option1_2");
        QVERIFY(returnPostcards);
        QTEST(!returnPostcards->isHidden(), "returnPostcardsShown");
        QCOMPARE(returnPostcards->text(), QStringLiteral("往復はがき（横）"));
        QVERIFY(checked(w.get(), "Option1_0"));
        choose(w.get(), "Option1_1");
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command1_Click(0);
        QCOMPARE(printed(), keys(expectedLines(false, persons)));
    }

    void closeUnloadsTheWindow()
    {
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory(QStringLiteral("Form5"), [] { return new Form5; });
        Module1::PublishCurrentBook(book(people(1)));
        auto* w = registry.reach<Form5>(QStringLiteral("Form5"));
        QVERIFY(w);
        QPointer<Form5> guard(w);
        w->Command1_Click(1);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(!registry.isLoaded(QStringLiteral("Form5")));
    }
};

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
