#include "platform/ui/Accessibility.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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
    void captionedControlsAreReadByTheirCaption();
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

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
