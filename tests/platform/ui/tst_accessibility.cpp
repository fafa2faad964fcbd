#include "platform/ui/Accessibility.h"
#include "../../records/RecordsFixture.h"
#include "shell/Form1.h"

#include <QAccessible>
#include <QAbstractItemView>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

namespace {

QString readName(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString readDescription(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Description) : QString();
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void systemNames_data();
    void systemNames();
    void textBoxIsReadByItsFieldCaption();
    void comboBoxIsReadByItsFieldWhateverItHolds_data();
    void comboBoxIsReadByItsFieldWhateverItHolds();
    void captionedControlsAreReadByTheirCaption();
    void labelsThatShowDataAreReadByWhatTheyShow_data();
    void labelsThatShowDataAreReadByWhatTheyShow();
    void labelIsReadExactlyAsShown_data();
    void labelIsReadExactlyAsShown();
    void scrollBarsOfABoxAreReadByTheBoxAndWorkedByValue_data();
    void scrollBarsOfABoxAreReadByTheBoxAndWorkedByValue();
};

void TestAccessibility::systemNames_data()
{
    QTest::addColumn<QString>("systemName");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("description");
    QTest::newRow("control array member") << "Text1" << 6 << "Text1_6" << "Text1(6)";
    QTest::newRow("index zero") << "Command9" << 0 << "Command9_0" << "Command9(0)";
    QTest::newRow("window") << "Form3" << -1 << "Form3" << "Form3";
}

void TestAccessibility::systemNames()
{
    QFETCH(QString, systemName);
    QFETCH(int, index);
    QFETCH(QString, objectName);
    QFETCH(QString, description);
    QLineEdit box;
    ui::name(&box, systemName, index);
    QCOMPARE(box.objectName(), objectName);
    QCOMPARE(box.accessibleDescription(), description);
    QCOMPARE(readDescription(&box), description);
}

void TestAccessibility::textBoxIsReadByItsFieldCaption()
{
    QLineEdit box;
    box.setText(QStringLiteral("山田太郎"));
    ui::name(&box, QStringLiteral("Text1"), 9, QStringLiteral("氏名"));
    QCOMPARE(readName(&box), QStringLiteral("氏名"));
}

// Qt reads a combo box on Linux by what it holds; a screen reader must hear the field first.
void TestAccessibility::comboBoxIsReadByItsFieldWhateverItHolds_data()
{
    QTest::addColumn<QString>("kind");  // "plain", "editable" or "records": the record window's box
    QTest::addColumn<QString>("given");  // the accessible name given by the window
    QTest::addColumn<bool>("buddy");  // a label beside it names it instead
    QTest::addColumn<QString>("holds");
    QTest::addColumn<QString>("name");
    QTest::newRow("era, empty") << "records" << "生年月日の年号" << false << "" << "生年月日の年号";
    QTest::newRow("era holding 令和") << "records" << "登録日の年号" << false << "令和" << "登録日の年号";
    QTest::newRow("category holding サークル") << "records" << "登録区分" << false << "サークル" << "登録区分";
    QTest::newRow("plain box holding a value") << "plain" << "都道府県" << false << "沖縄県" << "都道府県";
    QTest::newRow("editable box holding a value") << "editable" << "市町村" << false << "那覇市" << "市町村";
    QTest::newRow("named by its buddy label") << "plain" << "" << true << "沖縄県" << "都道府県";
}

void TestAccessibility::comboBoxIsReadByItsFieldWhateverItHolds()
{
    QFETCH(QString, kind);
    QFETCH(QString, given);
    QFETCH(bool, buddy);
    QFETCH(QString, holds);
    QFETCH(QString, name);
    QWidget window;
    auto* label = new QLabel(QStringLiteral("都道府県"), &window);
    QComboBox* box = kind == QLatin1String("records") ? new records::LockableComboBox(&window) : new QComboBox(&window);
    box->setEditable(kind != QLatin1String("plain"));
    box->addItems({QStringLiteral("沖縄県"), QStringLiteral("令和"), QStringLiteral("サークル"), QStringLiteral("那覇市")});
    ui::name(box, QStringLiteral("Combo5"), 0, given);
    if (buddy)
        label->setBuddy(box);
    if (box->isEditable())
        box->setEditText(holds);
    else
        box->setCurrentIndex(box->findText(holds));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::ComboBox);
    QCOMPARE(a->text(QAccessible::Name), name);
    QCOMPARE(a->text(QAccessible::Value), holds);
    QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Combo5(0)"));
    // What it holds changes; the name stays the field's.
    if (box->isEditable())
        box->setEditText(QStringLiteral("平成"));
    else
        box->setCurrentIndex(box->findText(QStringLiteral("令和")));
    QCOMPARE(a->text(QAccessible::Name), name);
    QCOMPARE(a->text(QAccessible::Value), box->isEditable() ? QStringLiteral("平成") : QStringLiteral("令和"));
    // Its list and, when it has one, its edit field are its children; pressed, its list opens.
    QCOMPARE(a->childCount(), box->isEditable() ? 2 : 1);
    QCOMPARE(a->child(0)->object(), static_cast<QObject*>(box->view()));
    QCOMPARE(a->indexOfChild(a->child(0)), 0);
    if (box->isEditable())
        QCOMPARE(a->child(1)->object(), static_cast<QObject*>(box->lineEdit()));
    QVERIFY(a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

void TestAccessibility::captionedControlsAreReadByTheirCaption()
{
    QPushButton button(QStringLiteral("編集(&E)"));
    ui::name(&button, QStringLiteral("Command9"), 1);
    QCOMPARE(readName(&button), QStringLiteral("編集(E)"));
    // The program changes captions at run time; what is read follows.
    button.setText(QStringLiteral("確定"));
    QCOMPARE(readName(&button), QStringLiteral("確定"));

    QLabel label(QStringLiteral("フリガナ"));
    ui::name(&label, QStringLiteral("Label1"), 8);
    QCOMPARE(readName(&label), QStringLiteral("フリガナ"));

    QPushButton named(QStringLiteral("→"));
    ui::name(&named, QStringLiteral("Command2"), 3, QStringLiteral("次のレコード"));
    QCOMPARE(readName(&named), QStringLiteral("次のレコード"));
}

// A label that shows data (a path, a position, a date) is read by what it shows, not by a fixed
// word, and keeps its system name as its description; the windows built so far are checked.
void TestAccessibility::labelsThatShowDataAreReadByWhatTheyShow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("description");
    QTest::newRow("main window: path of the book") << "Form1" << "Label2" << "Label2";
    QTest::newRow("record window: position") << "Form3" << "Label15" << "Label15";
    QTest::newRow("record window: birth date") << "Form3" << "Label3_0" << "Label3(0)";
    QTest::newRow("record window: registration date") << "Form3" << "Label3_7" << "Label3(7)";
    QTest::newRow("record window: leaving date") << "Form3" << "Label3_1" << "Label3(1)";
}

void TestAccessibility::labelsThatShowDataAreReadByWhatTheyShow()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    QFETCH(QString, description);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(demo::makeSampleFolder(dir.path(), &error), qPrintable(error));
    ui::ScriptedDialogs dialogs(QDate(2024, 4, 1));
    ui::ScopedDialogs scope(&dialogs);
    const QString savedCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    std::unique_ptr<QWidget> w;
    if (window == QStringLiteral("Form1")) {
        auto f = std::make_unique<Form1>();
        f->formLoad();
        w = std::move(f);
    } else {
        // Every record with the dates the labels show.
        fixture::exec(fixture::samplePath(dir),
                      QStringLiteral("UPDATE \"個人台帳\" SET \"生年月日\" = '1980-02-03', \"退会日\" = '2020-01-10'"));
        fixture::openCommon(dir.path());
        fixture::openBook(fixture::samplePath(dir));
        auto f = std::make_unique<Form3>();
        f->formLoad();
        w = std::move(f);
    }
    auto* l = qobject_cast<QLabel*>(fixture::control(w.get(), label));
    QVERIFY(l);
    QVERIFY2(!l->text().isEmpty(), "the label shows nothing to read");
    QCOMPARE(readName(l), l->text());
    QCOMPARE(readDescription(l), description);
    w.reset();
    fixture::closeShared();
    QDir::setCurrent(savedCwd);
}

// Inside a frame, with or without a buddy: a label is read by the text it puts on the screen.
void TestAccessibility::labelIsReadExactlyAsShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("buddy");
    QTest::addColumn<QString>("given");  // an accessible name given by the window
    QTest::addColumn<QString>("read");
    QTest::newRow("empty label: nothing, not the frame's title") << "" << false << "" << "";
    QTest::newRow("position") << "21/57" << false << "" << "21/57";
    QTest::newRow("ampersand shown as it is") << "AT&T 株式会社" << false << "" << "AT&T 株式会社";
    QTest::newRow("mnemonic of a label with a buddy") << "氏名(&N)" << true << "" << "氏名(N)";
    QTest::newRow("doubled ampersand with a buddy") << "A&&B" << true << "" << "A&B";
    QTest::newRow("markup rendered") << "<b>12</b> 件" << false << "" << "12 件";
    QTest::newRow("name given by the window") << "" << false << "メーカー" << "メーカー";
}

void TestAccessibility::labelIsReadExactlyAsShown()
{
    QFETCH(QString, text);
    QFETCH(bool, buddy);
    QFETCH(QString, given);
    QFETCH(QString, read);
    QGroupBox frame(QStringLiteral("INDEX"));
    auto* label = new QLabel(QStringLiteral("前の表示"), &frame);
    auto* box = new QLineEdit(&frame);
    ui::name(label, QStringLiteral("Label1"), 3, given);
    QCOMPARE(readName(label), given.isEmpty() ? QStringLiteral("前の表示") : given);
    if (buddy)
        label->setBuddy(box);
    label->setText(text);  // what is read follows the text the program sets
    QCOMPARE(readName(label), read);
    QCOMPARE(readDescription(label), QStringLiteral("Label1(3)"));
}

// A scroll bar of a box has no caption: it is read by the box's name as it is now and by its
// direction, and assistive technology moves it by its value as it moves any scroll bar.
void TestAccessibility::scrollBarsOfABoxAreReadByTheBoxAndWorkedByValue_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QString>("given");  // a name of its own
    QTest::addColumn<QString>("read");
    QTest::newRow("vertical") << true << "" << "本文（プレビュー）の縦スクロールバー";
    QTest::newRow("horizontal") << false << "" << "本文（プレビュー）の横スクロールバー";
    QTest::newRow("named by the window") << true << "メール本文の位置" << "メール本文の位置";
}

void TestAccessibility::scrollBarsOfABoxAreReadByTheBoxAndWorkedByValue()
{
    QFETCH(bool, vertical);
    QFETCH(QString, given);
    QFETCH(QString, read);
    QPlainTextEdit box;
    box.setLineWrapMode(QPlainTextEdit::NoWrap);
    box.setPlainText(QStringList(200, QString(300, u'x')).join(u'\n'));
    box.resize(200, 100);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    ui::name(&box, QStringLiteral("Text6"), -1, QStringLiteral("本文"));
    QScrollBar* bar = vertical ? box.verticalScrollBar() : box.horizontalScrollBar();
    if (!given.isEmpty())
        bar->setAccessibleName(given);
    // The window names the box after the scroll bar was made: the bar follows.
    box.setAccessibleName(QStringLiteral("本文（プレビュー）"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::ScrollBar);
    QCOMPARE(iface->text(QAccessible::Name), read);
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value);
    QVERIFY(bar->maximum() > 10);
    QCOMPARE(value->maximumValue().toInt(), bar->maximum());
    QCOMPARE(value->minimumValue().toInt(), 0);
    value->setCurrentValue(10);
    QCOMPARE(bar->value(), 10);
    QCOMPARE(value->currentValue().toInt(), 10);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("10"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
