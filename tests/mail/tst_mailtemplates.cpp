// Stored mails: registering (empty boxes unset, five attachments at most), showing the parts
// asked for, updating (empty boxes as empty text) with its checks, deleting, and a line whose
// row is gone reported instead of acting on another row.

#include "mail/MailTemplates.h"

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mail;

class TestMailTemplates : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int n_ = 0;
    db::Database book_;

    TemplateContent sample(const QString& subject)
    {
        TemplateContent t;
        t.names = "山田,佐藤";
        t.addresses = "a@x,b@x";
        t.subject = subject;
        t.body = "本文";
        t.attachments = {"/1", "/2", "/3", "/4", "/5", "/6", "/7"};
        t.target = 2;
        t.kind = 1;
        t.salutation = 0;
        t.honorific = 2;
        return t;
    }
    // The stored value of a field of the row with the subject: "<null>" for Null.
    QString stored(const QString& subject, const QString& field)
    {
        const QVariant v = book_.scalar("SELECT \"" + field + "\" FROM \"Q_定型メール\" WHERE \"件名\" = ?", {subject});
        return v.isNull() ? "<null>" : v.toString();
    }

private slots:
    void init()
    {
        const QString path = dir_.path() + "/b" + QString::number(++n_) + ".mdb";
        QString error;
        QVERIFY2(db::schema::createAddressBook(path, "t", &error), qPrintable(error));
        book_ = db::Database::open(path);
    }

    void registerAndShow()
    {
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        MailTemplates t(book_);
        t.Fill();
        d.queueAnswer(ui::Answer::Ok);
        TemplateContent noSubject = sample("");
        QCOMPARE(t.Register(noSubject), -1);
        QCOMPARE(d.shownTexts(), QStringList{"題名が未記入です"});
        QCOMPARE(d.shown()[0].buttons, ui::Buttons::OkCancel);
        QCOMPARE(t.count(), 0);

        QCOMPARE(t.Register(sample("一")), 0);
        QCOMPARE(t.Register(sample("一")), 1);  // the same subject twice: two lines
        QCOMPARE(t.subjects(), (QStringList{"一", "一"}));
        QCOMPARE(stored("一", "CC"), "<null>");  // empty box left unset
        QCOMPARE(stored("一", "添付5"), "/5");

        TemplateContent area;
        area.subject = "keep";
        area.attachments = {"/old"};
        QVERIFY(t.Show(0, TemplateShowPart::Names, area));
        QCOMPARE(area.names, "山田,佐藤");  // stored separator kept
        QCOMPARE(area.cc, "");
        QCOMPARE(area.subject, "keep");
        QCOMPARE(area.attachments, QStringList{"/old"});
        QCOMPARE(area.target, 2);
        QCOMPARE(area.kind, 1);
        QCOMPARE(area.salutation, 0);
        QCOMPARE(area.honorific, 2);
        QVERIFY(t.Show(0, TemplateShowPart::All, area));
        QCOMPARE(area.subject, "一");
        QCOMPARE(area.attachments, (QStringList{"/1", "/2", "/3", "/4", "/5"}));
        QVERIFY(!d.hadUnexpected());
    }

    void update_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("line");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("shown");  // the last box
        QTest::addColumn<bool>("written");
        QTest::newRow("no subject") << "" << "b" << 0 << QList<int>{} << "件名が入力されていません" << false;
        QTest::newRow("no body") << "一" << "" << 0 << QList<int>{} << "本文が入力されていません" << false;
        QTest::newRow("no line") << "一" << "b" << -1 << QList<int>{}
                                 << "更新する定型メールがリストボックスで選択されていません" << false;
        QTest::newRow("other subject, No") << "二" << "b" << 0 << QList<int>{int(ui::Answer::No)}
                                           << "更新する件名が相違しますが、指定した内容で更新しますか？" << false;
        QTest::newRow("other subject, Yes") << "二" << "b" << 0 << QList<int>{int(ui::Answer::Yes)}
                                            << "更新する件名が相違しますが、指定した内容で更新しますか？" << true;
        QTest::newRow("same subject") << "一" << "b" << 0 << QList<int>{} << "" << true;
    }
    void update()
    {
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(int, line);
        QFETCH(QList<int>, answers);
        QFETCH(QString, shown);
        QFETCH(bool, written);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        MailTemplates t(book_);
        t.Fill();
        QCOMPARE(t.Register(sample("一")), 0);
        for (int a : answers)
            d.queueAnswer(ui::Answer(a));
        TemplateContent area;
        area.subject = subject;
        area.body = body;
        area.attachments = {"/only"};
        QCOMPARE(t.Update(line, area), written);
        QCOMPARE(d.shownTexts().value(d.shownTexts().size() - 1), shown);
        QVERIFY(!d.hadUnexpected());
        if (written) {
            QCOMPARE(t.subjects(), QStringList{subject});
            QCOMPARE(stored(subject, "宛名"), "");   // empty text, not Null
            QCOMPARE(stored(subject, "添付1"), "/only");
            QCOMPARE(stored(subject, "添付2"), "");
            QCOMPARE(stored(subject, "敬称オプション"), "<null>");
        } else {
            QCOMPARE(stored("一", "本文"), "本文");
        }
    }

    void deleteAndGoneRows()
    {
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        MailTemplates t(book_);
        t.Fill();
        t.Register(sample("一"));
        t.Register(sample("二"));
        t.Register(sample("三"));
        d.queueAnswer(ui::Answer::No);
        QVERIFY(!t.Delete(1));
        QCOMPARE(t.count(), 3);
        d.queueAnswer(ui::Answer::Yes);
        QVERIFY(t.Delete(1));
        QCOMPARE(t.subjects(), (QStringList{"一", "三"}));

        // Someone else removes the row of line 0: acting on line 0 reports it and touches nothing.
        book_.execute("DELETE FROM \"定型メール\" WHERE \"件名\" = ?", {"一"});
        d.clearRecord();
        TemplateContent area;
        QVERIFY(!t.Show(0, TemplateShowPart::All, area));
        QCOMPARE(area.subject, QString());
        QCOMPARE(d.shown().size(), 1);
        QVERIFY(d.shown()[0].text.contains("一"));
        area = sample("三");
        area.body = "new";
        QVERIFY(!t.Update(0, area));
        QCOMPARE(stored("三", "本文"), "本文");
        QVERIFY(!d.hadUnexpected());
    }
};

QTEST_GUILESS_MAIN(TestMailTemplates)
#include "tst_mailtemplates.moc"
