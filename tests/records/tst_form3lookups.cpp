// The lookup lists of the record window: eras, categories, prefectures and cities, and what the
// category and place boxes store.

#include "Form3EditFixture.h"

#include <QComboBox>
#include <QSet>

using fixture::shown;

namespace {

QStringList items(QWidget* w, const QString& name)
{
    auto* c = qobject_cast<QComboBox*>(fixture::control(w, name));
    QStringList out;
    for (int i = 0; c && i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// What the box offers when the user opens its list.
QStringList listed(QWidget* w, const QString& name)
{
    auto* c = qobject_cast<QComboBox*>(fixture::control(w, name));
    c->showPopup();
    c->hidePopup();
    return items(w, name);
}

} // namespace

class TestForm3Lookups : public QObject, editfx::Fixture {
    Q_OBJECT
private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void eraAndCategoryLists()
    {
        auto w = load(false);
        const QStringList eras = {QStringLiteral("明治"), QStringLiteral("大正"), QStringLiteral("昭和"), QStringLiteral("平成"),
                                  QStringLiteral("令和")};
        for (const QString& box : {QStringLiteral("Combo1"), QStringLiteral("Combo3"), QStringLiteral("Combo4")})
            QCOMPARE(items(w.get(), box), eras);
        QCOMPARE(items(w.get(), QStringLiteral("Combo2")),
                 (QStringList{QStringLiteral("友人"), QStringLiteral("取引先"), QStringLiteral("家族"), QStringLiteral("同僚"),
                              QStringLiteral("サークル")}));
    }

    // Distinct values in the order of first appearance; Null and "" left out; case and width count.
    void placeLists()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"都道府県\" = NULL, \"市町村\" = NULL"));
        const QList<QPair<int, QVariant>> prefectures = {
            {1, "A"}, {2, ""}, {3, "B"}, {4, "A"}, {5, QVariant()}, {6, "a"}, {7, "Ａ"},
        };
        for (const auto& [no, value] : prefectures)
            exec(QStringLiteral("UPDATE \"個人台帳\" SET \"都道府県\" = ?, \"市町村\" = ? WHERE \"会員NO\" = ?"),
                 {value, no % 2 ? QVariant(QStringLiteral("見本市")) : QVariant(QStringLiteral("架空町")), no});
        auto w = load();
        const QStringList expected = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("Ａ")};
        QCOMPARE(listed(w.get(), QStringLiteral("Combo5_0")), expected);
        QCOMPARE(Module1::Prefectures, expected);
        QCOMPARE(listed(w.get(), QStringLiteral("Combo5_1")), (QStringList{QStringLiteral("見本市"), QStringLiteral("架空町")}));
        QCOMPARE(Module1::Cities.size(), 2);
        // The box still shows the record's own value.
        QCOMPARE(shown(w.get(), QStringLiteral("Combo5_0")), QStringLiteral("A"));
    }

    // The place lists are read when they are first wanted, by whichever way the user gets there.
    void placeListsWhenFirstWanted_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("list opened in edit mode") << "popup";
        QTest::newRow("list opened in search mode") << "search";
        QTest::newRow("box entered in edit mode") << "focus";
    }
    void placeListsWhenFirstWanted()
    {
        QFETCH(QString, how);
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"都道府県\" = '架空県' WHERE \"会員NO\" = 2"));
        auto w = load(how != QLatin1String("search"));
        if (how == QLatin1String("search"))
            w->EnterSearchMode();
        QStringList got;
        if (how == QLatin1String("focus")) {
            box(w.get(), QStringLiteral("Combo5_0"))->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(hasFocus(box(w.get(), QStringLiteral("Combo5_0"))));
            got = items(w.get(), QStringLiteral("Combo5_0"));
        } else {
            got = listed(w.get(), QStringLiteral("Combo5_0"));
        }
        QVERIFY(got.contains(QStringLiteral("架空県")));
        QCOMPARE(got, Module1::Prefectures);
        QCOMPARE(got.size(), QSet<QString>(got.begin(), got.end()).size());
    }

    void emptyBookKeepsThePlaceLists()
    {
        exec(QStringLiteral("DELETE FROM \"個人台帳\""));
        Module1::Prefectures = {QStringLiteral("前の県")};
        Module1::Cities = {QStringLiteral("前の市")};
        auto w = load(false);
        QCOMPARE(Module1::Prefectures, QStringList{QStringLiteral("前の県")});
        QCOMPARE(Module1::Cities, QStringList{QStringLiteral("前の市")});
        QVERIFY(items(w.get(), QStringLiteral("Combo5_0")).isEmpty());
        QCOMPARE(items(w.get(), QStringLiteral("Combo1")).size(), 5);
        QCOMPARE(items(w.get(), QStringLiteral("Combo2")).size(), 5);
    }

    void placeCommits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("added");
        QTest::newRow("a new prefecture joins the list") << "Combo5_0" << "都道府県" << "架空県" << 1;
        QTest::newRow("a known prefecture adds nothing") << "Combo5_0" << "都道府県" << "東京都" << 0;
        QTest::newRow("an emptied prefecture stores the empty text") << "Combo5_0" << "都道府県" << "" << 0;
        QTest::newRow("a new city joins the list") << "Combo5_1" << "市町村" << "見本市" << 1;
        QTest::newRow("a city of 255 bytes") << "Combo5_1" << "市町村" << QString(255, u'c') << 1;
    }
    void placeCommits()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, added);
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"都道府県\" = '東京都' WHERE \"会員NO\" = 2"));
        auto w = load();
        const QStringList before = listed(w.get(), box);
        typeAndLeave(w.get(), box, typed);
        QVERIFY(dialogs->shown().isEmpty());
        const QVariant now = stored(field, 1);
        QVERIFY(!now.isNull());
        QCOMPARE(now.toString(), typed);
        QCOMPARE(items(w.get(), box).size(), before.size() + added);
        QCOMPARE(shown(w.get(), box), typed);
        // Left a second time, it does not join the list twice.
        typeAndLeave(w.get(), box, typed);
        QCOMPARE(items(w.get(), box).size(), before.size() + added);
    }

    void cityLongerThanItsFieldRefused()
    {
        const QVariant before = stored(QStringLiteral("市町村"), 1);
        auto w = load();
        const QString tooLong(128, QChar(u'市'));
        typeAndLeave(w.get(), QStringLiteral("Combo5_1"), tooLong);
        expectRefused(w.get(), QStringLiteral("Combo5_1"), tooLong);
        QCOMPARE(stored(QStringLiteral("市町村"), 1), before);
    }

    void categoryCommits()
    {
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Combo2"), QStringLiteral("家族"));
        QCOMPARE(stored(QStringLiteral("会員区分"), 1).toInt(), 3);
        QVERIFY(dialogs->shown().isEmpty());

        // A name that is no category is refused and stores nothing.
        typeAndLeave(w.get(), QStringLiteral("Combo2"), QStringLiteral("親戚"));
        expectRefused(w.get(), QStringLiteral("Combo2"), QStringLiteral("親戚"));
        QCOMPARE(stored(QStringLiteral("会員区分"), 1).toInt(), 3);
    }

    void categoryNotStoredOutsideEditMode()
    {
        const int before = stored(QStringLiteral("会員区分"), 1).toInt();
        auto w = load(false);
        records::SetBoxText(box(w.get(), QStringLiteral("Combo2")), before == 5 ? QStringLiteral("友人") : QStringLiteral("サークル"));
        w->Combo2_LostFocus();
        w->Combo5_LostFocus(0);
        QCOMPARE(stored(QStringLiteral("会員区分"), 1).toInt(), before);
        QVERIFY(dialogs->shown().isEmpty());
    }
};

QTEST_MAIN(TestForm3Lookups)
#include "tst_form3lookups.moc"
