// Making a control's whole text readable at its place: widened within the room it is given,
// from the side its text stands on, else in a smaller font, which a shorter text gives back.

#include "platform/ui/TextFit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestTextFit : public QObject {
    Q_OBJECT
private slots:
    void labelsFitTheirRoom_data()
    {
        QTest::addColumn<bool>("right");  // aligned to the right
        QTest::addColumn<int>("room");    // pixels from the label's left edge
        QTest::addColumn<bool>("smaller");
        QTest::newRow("room enough, left-aligned") << false << 1000 << false;
        QTest::newRow("room enough, right-aligned") << true << 1000 << false;
        QTest::newRow("short room: a smaller font") << false << 260 << true;
    }
    void labelsFitTheirRoom()
    {
        QFETCH(bool, right);
        QFETCH(int, room);
        QFETCH(bool, smaller);
        QWidget parent;
        auto* l = new QLabel(QStringLiteral("【注意】コマンド表示は事前に移動後行ってください"), &parent);
        QFont f = l->font();
        f.setPointSize(9);
        l->setFont(f);
        l->setAlignment(right ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        const int start = right ? 500 : 100;
        l->setGeometry(start, 10, 60, 20);
        const int left = right ? start + 60 - room : start;
        QVERIFY(ui::fitText(l, left, left + room));
        QVERIFY(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->contentsRect().width());
        QVERIFY(l->x() >= left && l->geometry().right() < left + room);
        // The text's own side stays where the design put it.
        if (right)
            QCOMPARE(l->geometry().right(), start + 59);
        else
            QCOMPARE(l->x(), start);
        QCOMPARE(l->font().pointSizeF() < 9, smaller);

        // A shorter text later gets the design's font back.
        l->setText(QStringLiteral("注意"));
        QVERIFY(ui::fitText(l, l->x(), l->x() + l->width()));
        QCOMPARE(l->font().pointSizeF(), 9.0);
    }

    void checkBoxesAndBoxes()
    {
        QWidget parent;
        auto* check = new QCheckBox(QStringLiteral("タイトル、ラベル、登録区分を初期化"), &parent);
        check->setGeometry(16, 24, 100, 17);
        QVERIFY(ui::fitText(check, 16, 600));
        QVERIFY(check->width() >= check->sizeHint().width());
        auto* box = new QLineEdit(&parent);
        box->setGeometry(0, 0, 20, 18);
        QVERIFY(ui::widthForText(box, QStringLiteral("99999999")) > QFontMetrics(box->font()).horizontalAdvance(QStringLiteral("99999999")));
        QVERIFY(ui::widthForText(box, QStringLiteral("99999999")) > ui::widthForText(box, QStringLiteral("9")));
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
