// The openers of the image viewer with the real viewer behind the registry: the main window's
// picture choice and the record window's picture. Each hands over the title and the folders, and
// puts the shared database-file record back once the viewer has read them.

#include "../records/RecordsFixture.h"
#include "ViewerFixture.h"
#include "editions/Windows.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/Form1.h"
#include "tools/Form14.h"
#include "tools/ImageControl.h"

#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace viewerfixture;

class TestForm14Handover : public QObject, private fixture::WindowCase {
    Q_OBJECT

    static Form14* viewer() { return dynamic_cast<Form14*>(ui::WindowRegistry::instance().find(QStringLiteral("Form14"))); }

    static void unloadViewer()
    {
        ui::WindowRegistry::instance().unload(QStringLiteral("Form14"));
        QTRY_VERIFY(!ui::WindowRegistry::instance().isLoaded(QStringLiteral("Form14")));
    }

    QString recordFolder(int no) const { return dir->filePath(QStringLiteral("サンプル住所録/%1").arg(no)); }

    // A record folder holding exactly these pictures (and its Preview folder).
    void fillRecordFolder(int no, const QStringList& names, bool readOnly = false)
    {
        const QString folder = recordFolder(no);
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Preview")));
        for (const QString& n : names) {
            writePicture(folder + QLatin1Char('/') + n, 16, 12);
            if (readOnly)
                makeReadOnly(folder + QLatin1Char('/') + n);
        }
    }

    static QString caption(const QString& title, const QString& path)
    {
        return title + QString(10, QLatin1Char(' ')) + path + QString(5, QLatin1Char(' '));
    }

private slots:
    void initTestCase()
    {
        startCase();
        editions::RegisterCommonWindows();
    }
    void cleanupTestCase()
    {
        ui::WindowRegistry::instance().unloadAll();
        endCase();
    }
    void init()
    {
        freshFolder();
        Module1::ViewerDirAttr = 0;
    }
    void cleanup()
    {
        unloadViewer();
        dropFolder();
    }

    // The main window leaves the attribute as the last hand-over set it (0 at start); read-only
    // photos are shown all the same.
    void mainWindowPictureChoice()
    {
        QTemporaryDir start;
        const QString saved = QDir::currentPath();
        QDir::setCurrent(start.path());
        Form1 main;
        main.formLoad();
        QDir::setCurrent(saved);
        const QStringList atStart = dialogs->shownTexts();
        dialogs->clearRecord();

        const QString photos = start.filePath(QStringLiteral("写真"));
        QVERIFY(QDir().mkpath(photos));
        for (const char* n : {"b.jpg", "a.png"}) {
            writePicture(photos + QLatin1Char('/') + QString::fromLatin1(n), 16, 12);
            makeReadOnly(photos + QLatin1Char('/') + QString::fromLatin1(n));
        }
        Module1::CurrentDbFileCopy.DataFolder = QStringLiteral("/keep");
        Module1::CurrentDbFileCopy.PreviewFolder = QStringLiteral("/keep/Preview");
        const Module1::DbFile before = Module1::CurrentDbFileCopy;
        dialogs->queueFile(photos + QStringLiteral("/b.jpg"));
        main.Image1_Click();

        Form14* w = viewer();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->PictureFolder, photos);
        QCOMPARE(w->ThumbnailFolder, photos + QStringLiteral("/Preview"));
        QCOMPARE(w->PictureNames, (QStringList{"a.png", "b.jpg"}));
        QVERIFY2(w->windowTitle().startsWith(caption(QStringLiteral("画像ファイル"), photos + QStringLiteral("/a.png"))),
                 qPrintable(w->windowTitle()));
        QVERIFY(w->windowTitle().endsWith(QStringLiteral("1/2")));
        QTRY_VERIFY(!w->Image1[0]->image().isNull());
        QCOMPARE(Module1::CurrentDbFileCopy, before);
        QVERIFY2(dialogs->shown().isEmpty(), qPrintable(dialogs->shownTexts().join('|') + " at start: " + atStart.join('|')));
    }

    void recordWindowPicture_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("ordinary pictures") << false;
        QTest::newRow("read-only pictures") << true;
    }
    void recordWindowPicture()
    {
        QFETCH(bool, readOnly);
        fillRecordFolder(12, {QStringLiteral("写真2.png"), QStringLiteral("写真1.png")}, readOnly);
        auto w = load(book);
        w->hScroll1()->setValue(11);
        const Module1::DbFile before = Module1::CurrentDbFileCopy;
        w->Image1_Click();

        Form14* v = viewer();
        QVERIFY(v);
        QCOMPARE(v->PictureFolder, recordFolder(12));
        QCOMPARE(v->ThumbnailFolder, recordFolder(12) + QStringLiteral("/Preview"));
        QCOMPARE(v->PictureCount, 2);
        const QString name =
            fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 12")).toString();
        QVERIFY2(v->windowTitle().startsWith(caption(QStringLiteral("00000012 ") + name,
                                                     recordFolder(12) + QStringLiteral("/写真1.png"))),
                 qPrintable(v->windowTitle()));
        QCOMPARE(Module1::CurrentDbFileCopy, before);
        QVERIFY(dialogs->shown().isEmpty());

        // Opened again from another record while it is open: brought forward, the first folder kept.
        fillRecordFolder(13, {QStringLiteral("x.png")});
        w->hScroll1()->setValue(12);
        w->Image1_Click();
        QCOMPARE(viewer(), v);
        QCOMPARE(v->PictureFolder, recordFolder(12));
        QCOMPARE(v->PictureCount, 2);
        QCOMPARE(Module1::CurrentDbFileCopy, before);
    }
};

QTEST_MAIN(TestForm14Handover)
#include "tst_form14handover.moc"
