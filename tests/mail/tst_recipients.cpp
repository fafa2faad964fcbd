// Recipients of the mail window: who is in, one name per address, the separator, and the
// pairing of names and addresses when every address gets its own message.

#include "DemoFolder.h"
#include "mail/Recipients.h"
#include "platform/db/Database.h"
#include "records/DisplayOrder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mail;

Q_DECLARE_METATYPE(mail::RecipientTexts)

namespace {

RecipientRecord rec(const char* name, QVariant email, QVariant mobile = {}, QVariant refuses = {})
{
    return {QString::fromUtf8(name), std::move(email), std::move(mobile), std::move(refuses)};
}

// 0 A: internet a@x; 1 B: refuses mail, b@x; 2 C: only mobile c@m; 3 D: both d@x and d@m;
// 4 E: nothing; 5 F: internet of spaces, mobile f@m; 6 G: two mobile addresses g1@m;g2@m.
const QList<RecipientRecord> kBook = {
    rec("A", "a@x"),
    rec("B", "b@x", {}, true),
    rec("C", QVariant(), "c@m"),
    rec("D", "d@x", "d@m"),
    rec("E", "", ""),
    rec("F", "   ", "f@m"),
    rec("G", QVariant(), "g1@m;g2@m"),
};

// Texts a scan of the book must read exactly as a record read on its own reads them: marks at
// the start, broken and too-long sequences, characters outside the first plane, a binary value,
// names holding the separators, spaces around and between addresses.
const char* const kHostileRows[] = {
    "UPDATE \"個人台帳\" SET \"氏名\" = CAST(X'EFBBBFEFBBBFE5B1B1E794B0' AS TEXT), "
    "\"Eメール\" = CAST(X'EFBBBF612540782E6A70' AS TEXT) WHERE rowid = 3",
    "UPDATE \"個人台帳\" SET \"氏名\" = CAST(X'61C3' AS TEXT), \"Eメール\" = CAST(X'E080806140782E6A70FF' AS TEXT), "
    "\"携帯Eメール\" = CAST(X'EDA0806140782E6A7080' AS TEXT), \"メール送信拒否\" = 0 WHERE rowid = 4",
    "UPDATE \"個人台帳\" SET \"氏名\" = CAST(X'F09F9880E5A4AAF4908080' AS TEXT), "
    "\"携帯Eメール\" = CAST(X'F0908080EFBFBE4040F4' AS TEXT), \"Eメール\" = NULL WHERE rowid = 5",
    "UPDATE \"個人台帳\" SET \"Eメール\" = X'6140782E6A70', \"氏名\" = X'E5B1B1' WHERE rowid = 6",
    "UPDATE \"個人台帳\" SET \"氏名\" = 'ABC, Inc.; 営業部', "
    "\"Eメール\" = '　a@x.jp ;b@x.jp,, c@x.jp　', \"携帯Eメール\" = ' ; ' WHERE rowid = 7",
    "UPDATE \"個人台帳\" SET \"Eメール\" = '   ', \"携帯Eメール\" = 'm@x.jp', \"メール送信拒否\" = NULL WHERE rowid = 8",
    "UPDATE \"個人台帳\" SET \"メール送信拒否\" = 'yes' WHERE rowid = 9",
    "UPDATE \"個人台帳\" SET \"メール送信拒否\" = 2 WHERE rowid = 10",
    "UPDATE \"個人台帳\" SET \"氏名\" = '', \"Eメール\" = 'x@x.jp' WHERE rowid = 11",
};

} // namespace

class TestRecipients : public QObject {
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QVariant>("field");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("Null") << QVariant() << QStringList{};
        QTest::newRow("spaces only") << QVariant("   ") << QStringList{};
        QTest::newRow("one, leading space dropped") << QVariant(" a@x") << QStringList{"a@x"};
        QTest::newRow("semicolon") << QVariant("a@x;b@x") << QStringList{"a@x", "b@x"};
        QTest::newRow("comma and spaces") << QVariant("a@x , b@x") << QStringList{"a@x", "b@x"};
        QTest::newRow("empty parts dropped") << QVariant(";a@x;;b@x;") << QStringList{"a@x", "b@x"};
        QTest::newRow("lone separator") << QVariant(";") << QStringList{};
    }
    void split()
    {
        QFETCH(QVariant, field);
        QFETCH(QStringList, parts);
        QCOMPARE(SplitAddresses(field), parts);
        QCOMPARE(HasAddress(field), !parts.isEmpty());
    }

    void build_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("mobileWhenNone");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("addresses");
        const int all = int(Target::AllExceptSelected), sel = int(Target::Selected);
        const int inet = int(AddressKind::Internet), mob = int(AddressKind::Mobile), both = int(AddressKind::Both);
        QTest::newRow("all: refusing, selected and without address left out")
            << all << inet << false << ";" << QList<int>{3} << "A" << "a@x";
        QTest::newRow("all, internet, mobile when none")
            << all << inet << true << ";" << QList<int>{} << "A;C;D;F;G;G" << "a@x;c@m;d@x;f@m;g1@m;g2@m";
        QTest::newRow("all, mobile: two addresses give two names")
            << all << mob << false << ";" << QList<int>{} << "C;D;F;G;G" << "c@m;d@m;f@m;g1@m;g2@m";
        QTest::newRow("all, both kinds") << all << both << false << ";" << QList<int>{0, 2, 5, 6} << "D;D" << "d@x;d@m";
        QTest::newRow("selected: refusing person included") << sel << inet << false << ";" << QList<int>{1} << "B" << "b@x";
        QTest::newRow("selected: none") << sel << inet << true << ";" << QList<int>{} << "" << "";
        QTest::newRow("selected without address") << sel << inet << false << ";" << QList<int>{4, 5} << "" << "";
        // A field holding "g1@m;g2@m" is split with the comma too: one name per address.
        QTest::newRow("comma separator splits a semicolon field")
            << sel << mob << false << "," << QList<int>{6, 3} << "D,G,G" << "d@m,g1@m,g2@m";
    }
    void build()
    {
        QFETCH(int, target);
        QFETCH(int, kind);
        QFETCH(bool, mobileWhenNone);
        QFETCH(QString, separator);
        QFETCH(QList<int>, selected);
        QFETCH(QString, names);
        QFETCH(QString, addresses);
        const RecipientOptions o{Target(target), AddressKind(kind), mobileWhenNone, separator[0]};
        const auto isSelected = [&](int k) { return selected.contains(k); };
        const RecipientTexts t = BuildRecipients(kBook, isSelected, o);
        QCOMPARE(t.names, names);
        QCOMPARE(t.addresses, addresses);
        // A build never appends to the one before.
        QCOMPARE(BuildRecipients(kBook, isSelected, o), t);
        // Names and addresses stay paired.
        QCOMPARE(t.names.count(separator[0]), t.addresses.count(separator[0]));
    }

    void missingNameKeepsThePairs()
    {
        const QList<RecipientRecord> book = {{QVariant(), "n1@x;n2@x", {}, {}}, rec("B", "b@x")};
        const RecipientTexts t = BuildRecipients(book, {}, {Target::AllExceptSelected, AddressKind::Internet, false, u';'});
        QCOMPARE(t.names, QStringLiteral(";;B"));
        QCOMPARE(t.addresses, QStringLiteral("n1@x;n2@x;b@x"));
    }

    // A recordset over the book gives the boxes that its records read one by one give, for every
    // option: small books read in bulk, large ones in the book's stored order, whether the list's
    // order follows it or not and with records deleted elsewhere after the list was read.
    void bookReadInBulk_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("displayOrder");
        QTest::addColumn<bool>("deletedElsewhere");
        QTest::newRow("small book") << 40 << 2 << false;
        QTest::newRow("large book, list in stored order") << 3000 << 1 << false;
        QTest::newRow("large book, list in reading order") << 3000 << 2 << false;
        QTest::newRow("large book, records deleted elsewhere") << 3000 << 2 << true;
    }
    void bookReadInBulk()
    {
        QFETCH(int, records);
        QFETCH(int, displayOrder);
        QFETCH(bool, deletedElsewhere);
        QTemporaryDir dir;
        QString error;
        QVERIFY2(demo::makeGeneratedBook(dir.path(), records, QStringLiteral("試験"), &error), qPrintable(error));
        const QString book = QDir(dir.path()).filePath(QStringLiteral("試験.mdb"));
        QVERIFY(QFile::exists(book));
        db::Database d = db::Database::open(book);
        for (const char* sql : kHostileRows)
            d.execute(QString::fromUtf8(sql));
        db::Recordset persons = d.openRecordset(records::DisplayOrderQuery(displayOrder), db::RecordsetType::Dynaset);
        QCOMPARE(persons.recordCount(), records);
        if (deletedElsewhere) {
            db::Database other = db::Database::open(book);
            other.execute(QStringLiteral("DELETE FROM \"個人台帳\" WHERE rowid % 7 = 3 OR rowid = 1"));
        }

        QList<RecipientRecord> list;
        for (const QVariantList& v : persons.readColumns(RecipientFields))
            list << (v.size() == 4 ? RecipientRecord{v[0], v[1], v[2], v[3]} : RecipientRecord{});
        QCOMPARE(list.size(), records);
        const auto selected = [](int k) { return k % 5 == 0 || k == 1; };
        int built = 0;
        for (const Target target : {Target::AllExceptSelected, Target::Selected}) {
            for (const AddressKind kind : {AddressKind::Internet, AddressKind::Mobile, AddressKind::Both}) {
                for (const bool mobileWhenNone : {false, true}) {
                    for (const QChar separator : {u';', u','}) {
                        const RecipientOptions o{target, kind, mobileWhenNone, separator};
                        const RecipientTexts expected = BuildRecipients(list, selected, o);
                        const RecipientTexts t = BuildRecipients(persons, selected, o);
                        if (t != expected) {
                            qWarning("target %d kind %d mobile when none %d separator %c", int(target), int(kind),
                                     int(mobileWhenNone), char(separator.unicode()));
                            QCOMPARE(t.names, expected.names);
                            QCOMPARE(t.addresses, expected.addresses);
                        }
                        built += expected.addresses.isEmpty() ? 0 : 1;
                    }
                }
            }
        }
        QVERIFY(built > 12);  // the book gives addresses for most options
    }

    void typedBuildsNothing()
    {
        QCOMPARE(BuildRecipients(kBook, {}, {Target::Typed, AddressKind::Internet, true, u';'}), RecipientTexts{});
    }

    void separator_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("convertedNames");
        QTest::addColumn<QString>("convertedAddresses");
        QTest::newRow("pairs") << "A;B" << "a;b" << "A,B" << "a,b";
        QTest::newRow("empty names: nothing converted") << "" << "a;b" << "" << "a;b";
        QTest::newRow("one name more than addresses") << "A;B;C" << "a;b" << "A,B,C" << "a,b";
    }
    void separator()
    {
        QFETCH(QString, names);
        QFETCH(QString, addresses);
        QFETCH(QString, convertedNames);
        QFETCH(QString, convertedAddresses);
        const RecipientTexts there = ConvertSeparator({names, addresses}, u';', u',');
        QCOMPARE(there.names, convertedNames);
        QCOMPARE(there.addresses, convertedAddresses);
        const RecipientTexts back = ConvertSeparator(there, u',', u';');
        QCOMPARE(back.addresses, addresses);
        if (!names.isEmpty())
            QCOMPARE(back.names, names);
    }

    void namesWithSeparatorsStayPaired()
    {
        const QList<RecipientRecord> book = {rec("ABC, Inc.", "a@x"), rec("山田;太郎", "b@x;c@x")};
        for (const QChar sep : {QChar(u','), QChar(u';')}) {
            const RecipientOptions o{Target::AllExceptSelected, AddressKind::Internet, false, sep};
            const RecipientTexts t = BuildRecipients(book, {}, o);
            QCOMPARE(t.names, QStringLiteral("ABC， Inc.%1山田；太郎%1山田；太郎").arg(sep));
            QStringList got;
            for (const OutgoingMessage& m : PairIndividually(t.names, t.addresses, sep))
                got << m.name + QLatin1Char(' ') + m.address;
            QCOMPARE(got, (QStringList{QStringLiteral("ABC， Inc. a@x"), QStringLiteral("山田；太郎 b@x"),
                                       QStringLiteral("山田；太郎 c@x")}));
            // Switching the separator keeps every name whole.
            const QChar other = sep == u',' ? u';' : u',';
            QCOMPARE(ConvertSeparator(t, sep, other).names.split(other).size(), 3);
        }
    }

    void pairing_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QStringList>("pairs");
        QTest::newRow("fewer names: the last repeats") << "N1;N2" << "a1;a2;a3" << QStringList{"N1 a1", "N2 a2", "N2 a3"};
        QTest::newRow("more names: extra unused") << "N1;N2;N3" << "a1;a2" << QStringList{"N1 a1", "N2 a2"};
        QTest::newRow("empty part: empty address") << "N1;N2;N3" << "a1;;a3" << QStringList{"N1 a1", "N2 ", "N3 a3"};
        QTest::newRow("one") << "N" << "a" << QStringList{"N a"};
        QTest::newRow("no names") << "" << "a1;a2" << QStringList{" a1", " a2"};
        // Typed with the other separator: still one message per address, never two in one.
        QTest::newRow("part with the other separator") << "N1;N2" << "a1, b1;a2" << QStringList{"N1 a1", "N1 b1", "N2 a2"};
    }
    void pairing()
    {
        QFETCH(QString, names);
        QFETCH(QString, addresses);
        QFETCH(QStringList, pairs);
        QStringList got;
        for (const OutgoingMessage& m : PairIndividually(names, addresses, u';'))
            got << m.name + QLatin1Char(' ') + m.address;
        QCOMPARE(got, pairs);
    }

    void note_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("salutation");
        QTest::addColumn<int>("honorific");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("note");
        QTest::newRow("salutation, empty line, body") << "山田" << true << 0 << "本文" << "山田 様\n\n本文";
        QTest::newRow("殿") << "山田" << true << 1 << "x" << "山田 殿\n\nx";
        QTest::newRow("御中") << "山田" << true << 2 << "x" << "山田 御中\n\nx";
        QTest::newRow("no salutation") << "山田" << false << 0 << "x" << "x";
        QTest::newRow("no name: no salutation") << "" << true << 0 << "x" << "x";
        QTest::newRow("empty body: nothing") << "山田" << true << 0 << "" << "";
        QTest::newRow("line ends become LF") << "" << false << 0 << "a\r\nb\rc\nd" << "a\nb\nc\nd";
    }
    void note()
    {
        QFETCH(QString, name);
        QFETCH(bool, salutation);
        QFETCH(int, honorific);
        QFETCH(QString, body);
        QFETCH(QString, note);
        QCOMPARE(NoteText(name, salutation, honorific, body), note);
    }
};

QTEST_MAIN(TestRecipients)
#include "tst_recipients.moc"
