// Texts the windows show at their design places, read whole at the program's fonts: the list
// window's note and heading, the record window's position up to eight digits each side, the
// settings window's largest count and its hints, and the captions that outgrew their buttons.

#include "DemoFolder.h"
#include "EditionFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

using namespace editionfx;

namespace {

// The width the control's text takes in its font, and the width it is shown in.
std::pair<int, int> shownAndRoom(QWidget* c, const QString& text)
{
    const int advance = QFontMetrics(c->font()).horizontalAdvance(text);
    if (auto* l = qobject_cast<QLabel*>(c))
        return {advance, l->contentsRect().width() - 2 * l->margin()};
    if (qobject_cast<QCheckBox*>(c))
        return {c->sizeHint().width(), c->width()};
    if (qobject_cast<QPushButton*>(c))
        return {advance, c->width() - 2 * c->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, c)};
    auto* box = qobject_cast<QLineEdit*>(c);
    // The room a box lays its line out in: the style's contents, less its text margins and the
    // two pixels a side it keeps free.
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins m = box->textMargins();
    return {advance + 1, contents.width() - m.left() - m.right() - 2 * 2};
}

} // namespace

class TestTextsFit : public QObject, private Case {
    Q_OBJECT
    QFont programFont;

private slots:
    void initTestCase() { programFont = QApplication::font(); }
    void init()
    {
        startCase();
        QString error;
        QVERIFY2(demo::makeSampleFolder(folder(), &error), qPrintable(error));
    }
    void cleanup()
    {
        endCase();
        QApplication::setFont(programFont);
    }

    void shownWhole_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("points");     // the program's font
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");   // shown by the test; empty: the control's own
        QTest::addColumn<QString>("beside"); // a control the text must not run under
        const struct {
            const char* window;
            const char* control;
            const char* text;
            const char* beside;
        } rows[] = {
            {"Form4", "Label3", "", "Label4"},
            {"Form4", "Label1_11", "", ""},
            {"Form3", "Label15", "99999999/99999999", "Label6_21"},
            {"Form3", "Label15", "1/100000", "Label6_21"},
            {"Form3", "Command9_4", "", ""},
            {"Form3", "Command9_6", "", ""},
            {"Form2", "Text4", "99999999", "Label5_0"},
            {"Form2", "Check1_0", "", "Command3"},
            {"Form2", "Label4_37", "", "Label3_28"},
        };
        for (const char* program : {"kartovia", "adrovia"})
            for (int points : {9, 12})
                for (const auto& r : rows)
                    QTest::addRow("%s, %dpt, %s %s %s", program, points, r.window, r.control, r.text)
                        << program << points << r.window << r.control << r.text << r.beside;
    }
    void shownWhole()
    {
        QFETCH(QString, program);
        QFETCH(int, points);
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, beside);
        QFont font = programFont;
        font.setPointSize(points);
        QApplication::setFont(font);
        becomeProgram(program);
        Module1::OpenCommonDatabase(folder() + QStringLiteral("/共通情報/共通情報.mdb"));
        Module1::PublishCurrentBook(folder() + QLatin1Char('/') + demo::sampleBookName());
        auto& registry = ui::WindowRegistry::instance();
        registry.show(window);
        QWidget* w = registry.find(window);
        QVERIFY(w);
        auto* c = w->findChild<QWidget*>(control);
        QVERIFY2(c, qPrintable(control));
        QVERIFY(c->isVisibleTo(w));
        QString shown = text;
        if (shown.isEmpty()) {
            if (auto* l = qobject_cast<QLabel*>(c))
                shown = l->text();
            else
                shown = static_cast<QAbstractButton*>(c)->text();
        } else if (auto* l = qobject_cast<QLabel*>(c)) {
            l->setText(shown);
        }
        QVERIFY(!shown.isEmpty());
        if (control == "Label3")
            QVERIFY(shown.endsWith(QStringLiteral("移動後行ってください")));
        const auto [width, room] = shownAndRoom(c, shown);
        QVERIFY2(width <= room, qPrintable(QStringLiteral("%1: %2 > %3").arg(shown).arg(width).arg(room)));
        QVERIFY2(c->font().pointSizeF() >= 6, qPrintable(QString::number(c->font().pointSizeF())));
        if (!beside.isEmpty()) {
            auto* other = w->findChild<QWidget*>(beside);
            QVERIFY(other);
            QCOMPARE(other->parentWidget(), c->parentWidget());
            QVERIFY2(!c->geometry().intersects(other->geometry()),
                     qPrintable(QStringLiteral("%1 %2").arg(c->geometry().right()).arg(other->geometry().left())));
        }
        registry.unloadAll();
    }
};

QTEST_MAIN(TestTextsFit)
#include "tst_textsfit.moc"
