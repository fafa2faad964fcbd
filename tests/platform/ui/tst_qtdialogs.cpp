#include "platform/ui/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QtTest>

#include <functional>

using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

// Runs `act` on the modal dialog once it is open (the dialog's exec() blocks the test).
void whenModalOpens(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

QStringList buttonTexts(QMessageBox* box)
{
    QStringList texts;
    for (QAbstractButton* b : box->buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

QAbstractButton* buttonWithText(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

}  // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::setProgramTitle(QStringLiteral("TovariInfolta")); }
    void cleanup() { ui::setProgramTitle(QString()); }
    void messageBearsProgramTitleAndPlainText();
    void question_data();
    void question();
    void nameFilterText_data();
    void nameFilterText();
    void openFileSettingsAndResult();
    void openFileCancelGivesNothing();
    void printerDialogCancelled();
    void shortWorkShowsNoProgress();
    void longWorkShowsItsProgressAndCancels();
};

void TestQtDialogs::messageBearsProgramTitleAndPlainText()
{
    QString title, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        buttons = buttonTexts(box);
        box->buttons().first()->click();
    });
    ui::QtDialogs().message(QStringLiteral("3265\n<b>項目</b>が見つかりません"), QString(), Icon::Exclamation);
    QCOMPARE(title, QStringLiteral("TovariInfolta"));
    QCOMPARE(text, QStringLiteral("3265\n<b>項目</b>が見つかりません"));
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
}

void TestQtDialogs::question_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("click");   // empty: press Escape
    QTest::addColumn<QStringList>("expectedButtons");
    QTest::addColumn<Answer>("expected");

    const QStringList yesNo{QStringLiteral("いいえ"), QStringLiteral("はい")};   // sorted
    const QStringList yesNoCancel{QStringLiteral("いいえ"), QStringLiteral("はい"), QStringLiteral("キャンセル")};
    const QStringList okCancel{QStringLiteral("OK"), QStringLiteral("キャンセル")};

    QTest::newRow("yes") << Buttons::YesNo << Icon::None << "はい" << yesNo << Answer::Yes;
    QTest::newRow("no") << Buttons::YesNo << Icon::Exclamation << "いいえ" << yesNo << Answer::No;
    QTest::newRow("escape on yes/no is no") << Buttons::YesNo << Icon::None << "" << yesNo << Answer::No;
    QTest::newRow("cancel of three") << Buttons::YesNoCancel << Icon::None << "キャンセル" << yesNoCancel << Answer::Cancel;
    QTest::newRow("escape of three is cancel") << Buttons::YesNoCancel << Icon::None << "" << yesNoCancel << Answer::Cancel;
    QTest::newRow("ok of ok/cancel") << Buttons::OkCancel << Icon::Question << "OK" << okCancel << Answer::Ok;
    QTest::newRow("cancel of ok/cancel") << Buttons::OkCancel << Icon::None << "キャンセル" << okCancel << Answer::Cancel;
}

void TestQtDialogs::question()
{
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(QString, click);
    QFETCH(QStringList, expectedButtons);
    QFETCH(Answer, expected);

    QStringList shownButtons;
    QString title;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        shownButtons = buttonTexts(box);
        title = box->windowTitle();
        if (click.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            QAbstractButton* b = buttonWithText(box, click);
            QVERIFY(b);
            b->click();
        }
    });
    const Answer answer = ui::QtDialogs().question(QStringLiteral("表示されているレコードを削除しますが、よろしいですか？"),
                                                   QStringLiteral("削除"), icon, buttons);
    QCOMPARE(shownButtons, expectedButtons);
    QCOMPARE(title, QStringLiteral("削除"));
    QCOMPARE(answer, expected);
}

void TestQtDialogs::nameFilterText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("database files") << "Microsoft Access MDB (*.mdb)" << "*.mdb" << "Microsoft Access MDB (*.mdb)";
    QTest::newRow("all files mean every file") << "すべてのﾌｧｲﾙ (*.*)" << "*.*" << "すべてのﾌｧｲﾙ (*)";
    QTest::newRow("patterns only in the description")
        << "画像ファイル (*.jpg;*.JPG;*.png;*.PNG)" << "" << "画像ファイル (*.jpg *.JPG *.png *.PNG)";
    QTest::newRow("semicolon list in the pattern") << "CSV" << "*.csv;*.txt" << "CSV (*.csv *.txt)";
    QTest::newRow("nothing to filter by") << "何か" << "" << "何か (*)";
}

void TestQtDialogs::nameFilterText()
{
    QFETCH(QString, description);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(ui::nameFilterText({description, pattern}), expected);
}

void TestQtDialogs::openFileSettingsAndResult()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("住所録.mdb"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();

    ui::OpenFileOptions options;
    options.title = QStringLiteral("Infoltaシステム Microsoft Access2000 データベース設定");
    options.filters = {{QStringLiteral("Microsoft Access MDB (*.mdb)"), QStringLiteral("*.mdb")},
                       {QStringLiteral("すべてのﾌｧｲﾙ (*.*)"), QStringLiteral("*.*")}};
    options.initialFile = path;

    QString title, selectedFilter;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        mode = dialog->fileMode();
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> chosen = ui::QtDialogs().openFile(options);
    QCOMPARE(title, options.title);
    QCOMPARE(filters, (QStringList{QStringLiteral("Microsoft Access MDB (*.mdb)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")}));
    QCOMPARE(selectedFilter, filters.first());
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(chosen, std::optional<QString>(path));
}

void TestQtDialogs::openFileCancelGivesNothing()
{
    whenModalOpens([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    ui::OpenFileOptions options;
    options.title = QStringLiteral("画像ファイル指定");
    options.filters = {{QStringLiteral("画像ファイル (*.jpg;*.JPG)"), QString()}};
    QCOMPARE(ui::QtDialogs().openFile(options), std::nullopt);
}

void TestQtDialogs::printerDialogCancelled()
{
    QPrinter printer;
    bool sawPrintDialog = false;
    whenModalOpens([&](QWidget* w) {
        sawPrintDialog = qobject_cast<QPrintDialog*>(w) != nullptr;
        qobject_cast<QDialog*>(w)->reject();
    });
    QVERIFY(!ui::QtDialogs().printerDialog(&printer));
    QVERIFY(sawPrintDialog);
}

namespace {
QProgressDialog* shownProgress()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible())
            return p;
    return nullptr;
}
}  // namespace

// Work of less than a second asks nothing and shows nothing: tests and benchmarks never wait.
void TestQtDialogs::shortWorkShowsNoProgress()
{
    ui::QtDialogs d;
    auto progress = d.progress(QStringLiteral("作業中"), 100000);
    for (qint64 i = 1; i <= 100000; ++i)
        QVERIFY(progress->setValue(i));
    QVERIFY(!progress->wasCanceled());
    QVERIFY(!shownProgress());
}

// Work that will last longer than about a second shows a dialog titled like a message box; its
// cancel button stops the work.
void TestQtDialogs::longWorkShowsItsProgressAndCancels()
{
    ui::QtDialogs d;
    auto progress = d.progress(QStringLiteral("作業中"), 1000, QStringLiteral("住所録初期化"));
    QElapsedTimer clock;
    clock.start();
    QProgressDialog* shown = nullptr;
    for (qint64 i = 1; !shown && clock.elapsed() < 10000; ++i) {
        QVERIFY(progress->setValue(qMin<qint64>(i, 999)));
        QTest::qSleep(20);
        shown = shownProgress();
    }
    QVERIFY(shown);
    QCOMPARE(shown->windowTitle(), QStringLiteral("住所録初期化"));
    QCOMPARE(shown->labelText(), QStringLiteral("作業中"));
    auto* cancel = shown->findChild<QPushButton*>();
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
    cancel->click();
    QVERIFY(!progress->setValue(999));
    QVERIFY(progress->wasCanceled());
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
