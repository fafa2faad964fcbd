// Both programs reach the printing window: the main menu's "宛名印刷" and the record window's
// hidden "宛名印刷" show it on the book the menu published.

#include "DemoFolder.h"
#include "edition/Profile.h"
#include "editions/Windows.h"
#include "list/Form5.h"
#include "list/PrintListModel.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestPrintingWindowOpening : public QObject {
    Q_OBJECT
private slots:
    void menuAndRecordWindowShowIt_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::newRow("kartovia") << false;
        QTest::newRow("adrovia") << true;
    }
    void menuAndRecordWindowShowIt()
    {
        QFETCH(bool, addressBook);
        edition::setProfile(addressBook ? edition::AddressBookProfile() : edition::InformationManagerProfile());
        if (addressBook)
            editions::RegisterAdroviaWindows();
        else
            editions::RegisterKartoviaWindows();

        ui::ScriptedDialogs dialogs;
        ui::ScopedDialogs scope(&dialogs);
        QTemporaryDir dir;
        QString error;
        QVERIFY2(demo::makeSampleFolder(dir.path(), &error), qPrintable(error));
        const QString saved = QDir::currentPath();
        QDir::setCurrent(dir.path());

        auto& registry = ui::WindowRegistry::instance();
        auto* menu = registry.reach<Form1>(QStringLiteral("Form1"));
        QVERIFY(menu);
        menu->Command1_Click(3);
        auto* printing = qobject_cast<Form5*>(registry.find(QStringLiteral("Form5")));
        QVERIFY(printing);
        QVERIFY(printing->isVisible());
        QCOMPARE(printing->windowDbFile().FullPath, Module1::CurrentDbFileCopy.FullPath);
        QVERIFY(printing->listModel()->rowCount() > 0);
        registry.unload(QStringLiteral("Form5"));
        QTRY_VERIFY(!registry.isLoaded(QStringLiteral("Form5")));

        // The record window's hidden command opens it as well.
        menu->Command1_Click(1);
        auto* records = qobject_cast<Form3*>(registry.find(QStringLiteral("Form3")));
        QVERIFY(records);
        records->Command9_Click(7);
        QVERIFY(registry.isLoaded(QStringLiteral("Form5")));
        QVERIFY(registry.find(QStringLiteral("Form5"))->isVisible());

        registry.unloadAll();
        QCoreApplication::processEvents();
        QDir::setCurrent(saved);
        Module1::CloseSharedObjects();
        QVERIFY2(!dialogs.hadUnexpected(), qPrintable(dialogs.failures().join(u'\n')));
        edition::setProfile(edition::InformationManagerProfile());
    }
};

QTEST_MAIN(TestPrintingWindowOpening)
#include "tst_printingwindowopening.moc"
