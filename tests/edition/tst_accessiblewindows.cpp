// Every window of both programs, walked as a screen reader walks it: each control tells its
// system name as its description, a label is read by what it shows (nothing when it shows
// nothing), a control that takes the focus has a name, options and the kana index are read with
// their group, and a window is read by its caption.

#include "DemoFolder.h"
#include "EditionFixture.h"
#include "edition/Profile.h"
#include "editions/Windows.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Form3.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Controls left out of a rule, each with its reason. An empty edition holds for both programs.
struct Exemption {
    const char* edition;
    const char* window;
    const char* control;  // object name
    const char* rule;  // "name" or "description"
};
const Exemption kExemptions[] = {
    // The mail window's option frames have no system name: the window knows each by its title,
    // which is its object name and what it is read by; there is no system name to describe it.
    {"", "Form22", "区切文字", "description"},
    {"", "Form22", "住所録表示順", "description"},
    {"", "Form22", "送信先対象者", "description"},
    {"", "Form22", "メールアドレス選択", "description"},
    {"", "Form22", "宛名本文挿入", "description"},
    {"", "Form22", "敬称", "description"},
    {"", "Form22", "送信方法", "description"},
    {"", "Form22", "定型表示", "description"},
    {"", "Form22", "表示対象", "description"},
    {"", "Form22", "表示順番", "description"},
    // The tab bar's own scroll arrows (Qt names them; they never take the focus).
    {"", "Form22", "ScrollLeftButton", "description"},
    {"", "Form22", "ScrollRightButton", "description"},
    // The scroll area that carries a window's design on a small screen is the program's own frame,
    // not a control of the design: it never takes the focus and has no system name.
    {"", "Form3", "kvWindowContentArea", "description"},
    {"", "Form4", "kvWindowContentArea", "description"},
    {"", "Form5", "kvWindowContentArea", "description"},
    {"", "Form22", "kvWindowContentArea", "description"},
};

bool exempt(const QString& edition, const QString& window, const QString& control, const QString& rule)
{
    for (const Exemption& e : kExemptions) {
        if ((!*e.edition || edition == QLatin1String(e.edition)) && window == QLatin1String(e.window)
            && control == QString::fromUtf8(e.control) && rule == QLatin1String(e.rule))
            return true;
    }
    return false;
}

// Controls without a caption of their own, read by what the window shows with them. A scroll bar
// of a scrolled box is told by the box's object name and its direction.
struct NamedControl {
    const char* edition;
    const char* window;
    const char* control;
    const char* name;
};
const NamedControl kNamedControls[] = {
    {"", "Form22", "HScroll1", "受信メール位置"},
    {"", "Form22", "Text6 vertical", "本文（プレビュー）の縦スクロールバー"},
    {"", "Form22", "Text6 horizontal", "本文（プレビュー）の横スクロールバー"},
    {"", "Form22", "Text5 vertical", "本文の縦スクロールバー"},
    {"", "Form3", "HScroll1", "レコード位置"},
    {"", "Form4", "HScroll1", "表示位置"},
    // The count box of the initialisation, by the label beside it.
    {"kartovia", "Form2", "Text4", "登録件数"},
    {"adrovia", "Form2", "Text4", "新規登録"},
};

// Controls read with the group they stand in (the label Qt gives them), as a screen reader reads
// an option with its frame: the order options of both windows by "表示順番", and the two lines of
// the kana index, which both begin with "ｱ", each by what it indexes.
const NamedControl kGroupedControls[] = {
    {"", "Form3", "Option2_0", "表示順番"},
    {"", "Form3", "Option2_5", "表示順番"},
    {"", "Form4", "Option2_0", "表示順番"},
    {"", "Form4", "Option2_5", "表示順番"},
    {"", "Form3", "Label1_0", "五十音索引（行）"},
    {"", "Form3", "Label1_9", "五十音索引（行）"},
    {"", "Form3", "Label1_10", "五十音索引（段）"},
    {"", "Form3", "Label1_14", "五十音索引（段）"},
};

// The object name, for a scroll bar of a scrolled box its box's and its direction.
QString namedKey(const QWidget* w)
{
    const auto* bar = qobject_cast<const QScrollBar*>(w);
    const QWidget* container = w->parentWidget();
    if (bar && w->objectName().isEmpty() && container && container->parentWidget()
        && container->objectName().startsWith(QLatin1String("qt_scrollarea_")))
        return container->parentWidget()->objectName()
               + (bar->orientation() == Qt::Vertical ? QStringLiteral(" vertical") : QStringLiteral(" horizontal"));
    return w->objectName();
}

// "Text1(6)" for the object name "Text1_6", "Form3" for "Form3".
QString systemNameOf(const QString& objectName)
{
    static const QRegularExpression indexed(QStringLiteral("^(.*)_(\\d+)$"));
    const QRegularExpressionMatch m = indexed.match(objectName);
    return m.hasMatch() ? m.captured(1) + QLatin1Char('(') + m.captured(2) + QLatin1Char(')') : objectName;
}

// The caption of the field a combo box holds: the name the window gave it, else its buddy label.
QString fieldCaption(const QComboBox* box)
{
    if (!box->accessibleName().isEmpty())
        return box->accessibleName();
    for (const QLabel* l : box->window()->findChildren<QLabel*>())
        if (l->buddy() == box)
            return l->text().remove(QLatin1Char('&'));
    return {};
}


bool internalPart(const QWidget* w)
{
    return w->objectName().startsWith(QLatin1String("qt_"));
}

struct Walk {
    QString edition;
    QString window;
    QString state;  // how the window stood, for the report
    QStringList faults;
    int controls = 0;
    QStringList combosHoldingValues;  // object names of the combo boxes read while holding a value
    QSet<QString> seen;  // controls of kNamedControls met
    QSet<QString> seenGroups;  // controls of kGroupedControls met

    void fault(const QWidget* w, const QString& rule, const QString& got, const QString& wanted)
    {
        QString control = w->objectName();
        if (control.isEmpty()) {
            // A part without a name of its own is told by the control it belongs to.
            const QWidget* owner = w->parentWidget();
            while (owner && owner->objectName().isEmpty())
                owner = owner->parentWidget();
            control = QStringLiteral("part of ") + (owner ? owner->objectName() : QStringLiteral("?"));
        }
        if (exempt(edition, window, control, rule))
            return;
        faults << QStringLiteral("%1%2 %3 (%4) %5: reads \"%6\", should read \"%7\"")
                      .arg(window, state, control,
                           QString::fromLatin1(w->metaObject()->className()), rule, got, wanted);
    }

    // A scroll bar is worked by the mouse and by assistive technology without taking the focus:
    // it has a name as well, and those of the table read as it says.
    void checkScrollBar(const QWidget* w, const QString& name)
    {
        const QString key = namedKey(w);
        for (const NamedControl& c : kNamedControls) {
            if ((*c.edition && edition != QLatin1String(c.edition)) || window != QLatin1String(c.window)
                || key != QString::fromUtf8(c.control))
                continue;
            seen << key;
            if (name != QString::fromUtf8(c.name))
                fault(w, QStringLiteral("name"), name, QString::fromUtf8(c.name));
        }
        if (qobject_cast<const QScrollBar*>(w) && w->isEnabled() && name.trimmed().isEmpty())
            fault(w, QStringLiteral("name"), name, QStringLiteral("<a name> (") + key + u')');
    }

    // A control of kGroupedControls is labelled by its group, read by the table's name.
    void checkGroup(QAccessibleInterface* iface, const QWidget* w)
    {
        for (const NamedControl& c : kGroupedControls) {
            if ((*c.edition && edition != QLatin1String(c.edition)) || window != QLatin1String(c.window)
                || w->objectName() != QString::fromUtf8(c.control))
                continue;
            seenGroups << w->objectName();
            QStringList labels;
            for (const auto& [label, relation] : iface->relations(QAccessible::Label))
                if (label)
                    labels << label->text(QAccessible::Name);
            if (!labels.contains(QString::fromUtf8(c.name)))
                fault(w, QStringLiteral("group"), labels.join(u','), QString::fromUtf8(c.name));
        }
    }

    // The names of the tables that were never met in the window.
    QStringList unseen() const
    {
        QStringList out;
        const auto missing = [&](const auto& table, const QSet<QString>& met) {
            for (const NamedControl& c : table)
                if ((!*c.edition || edition == QLatin1String(c.edition)) && window == QLatin1String(c.window)
                    && !met.contains(QString::fromUtf8(c.control)))
                    out << QStringLiteral("%1: %2 was not found").arg(window, QString::fromUtf8(c.control));
        };
        missing(kNamedControls, seen);
        missing(kGroupedControls, seenGroups);
        return out;
    }

    void visit(QAccessibleInterface* iface)
    {
        auto* w = qobject_cast<QWidget*>(iface->object());
        if (!w)
            return;  // lines and cells of item views are read through their view
        ++controls;
        const QString name = iface->text(QAccessible::Name);
        const QString description = iface->text(QAccessible::Description);
        if (w->isWindow()) {
            QString caption = w->windowTitle();
            caption.remove(QStringLiteral("[*]"));
            if (name != caption)
                fault(w, QStringLiteral("name"), name, caption);
        }
        if (!w->objectName().isEmpty() && !internalPart(w) && description != systemNameOf(w->objectName()))
            fault(w, QStringLiteral("description"), description, systemNameOf(w->objectName()));
        if (w->objectName().isEmpty() && !w->isWindow() && qobject_cast<QLabel*>(w))
            fault(w, QStringLiteral("description"), description, QStringLiteral("<its system name>"));
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull() && name != ui::labelText(l))
            fault(w, QStringLiteral("name"), name, ui::labelText(l));
        // Whatever a person works (by Tab, by a click or pressed like a button) tells what it is.
        const bool worked = w->focusPolicy() != Qt::NoFocus || ui::isPressable(w);
        if (!w->isWindow() && w->isEnabled() && w->isVisible() && worked && name.trimmed().isEmpty())
            fault(w, QStringLiteral("name"), name, QStringLiteral("<a name>"));
        // A combo box is read by its field, never by what it holds; what it holds is its value.
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            const QString holds = box->lineEdit() ? box->lineEdit()->text() : box->currentText();
            if (name != fieldCaption(box))
                fault(w, QStringLiteral("name"), name, fieldCaption(box));
            if (iface->text(QAccessible::Value) != holds)
                fault(w, QStringLiteral("value"), iface->text(QAccessible::Value), holds);
            if (!holds.isEmpty() && box->isVisible())
                combosHoldingValues << w->objectName();
        }
        checkScrollBar(w, name);
        checkGroup(iface, w);
        for (int i = 0; i < iface->childCount(); ++i)
            if (QAccessibleInterface* child = iface->child(i))
                visit(child);
    }
};

}  // namespace

class TestAccessibleWindows : public QObject {
    Q_OBJECT

    QString savedCwd;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    std::unique_ptr<QTemporaryDir> dir;

    QStringList walk(const QString& edition, const QString& window, QWidget* w, const QString& state = {},
                     int* controls = nullptr, QStringList* combosHoldingValues = nullptr)
    {
        Walk walker{edition, window, state, {}, 0, {}, {}, {}};
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface)
            return {window + QStringLiteral(": no accessibility interface")};
        walker.visit(iface);
        walker.faults << walker.unseen();
        if (controls)
            *controls = walker.controls;
        if (combosHoldingValues)
            *combosHoldingValues = walker.combosHoldingValues;
        return walker.faults;
    }

    // The record window's own: its combo boxes by their fields, also while holding values, and
    // the kana index by its kana, each entry a button with the press action.
    static QStringList recordWindowFaults(Form3* records, const QStringList& combosHoldingValues,
                                          const QStringList& mustHold, const QString& state)
    {
        QStringList faults;
        const std::pair<const char*, const char*> combos[] = {
            {"Combo1", "生年月日の年号"}, {"Combo2", "登録区分"}, {"Combo3", "登録日の年号"},
            {"Combo4", "退会日の年号"}, {"Combo5_0", "都道府県"}, {"Combo5_1", "市区町村"},
        };
        for (const auto& [control, field] : combos) {
            auto* box = records->findChild<QComboBox*>(QString::fromLatin1(control));
            QAccessibleInterface* a = box ? QAccessible::queryAccessibleInterface(box) : nullptr;
            if (!a || a->text(QAccessible::Name) != QString::fromUtf8(field))
                faults << QStringLiteral("Form3%1 %2 reads \"%3\", should read \"%4\"")
                              .arg(state, QLatin1String(control), a ? a->text(QAccessible::Name) : QString(),
                                   QString::fromUtf8(field));
            if (mustHold.contains(QLatin1String(control)) && !combosHoldingValues.contains(QLatin1String(control)))
                faults << QStringLiteral("Form3%1 %2 was read holding nothing").arg(state, QLatin1String(control));
        }
        const QString kana = QStringLiteral("ｱｶｻﾀﾅﾊﾏﾔﾗﾜｱｲｳｴｵ");
        for (int i = 0; i < kana.size(); ++i) {
            auto* entry = records->findChild<QLabel*>(QStringLiteral("Label1_%1").arg(i));
            QAccessibleInterface* a = entry ? QAccessible::queryAccessibleInterface(entry) : nullptr;
            if (!a || a->text(QAccessible::Name) != kana.mid(i, 1) || a->role() != QAccessible::Button || !a->actionInterface()
                || !a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
                faults << QStringLiteral("Form3%1 Label1(%2) is no button read \"%3\" with the press action")
                              .arg(state).arg(i).arg(kana.mid(i, 1));
        }
        return faults;
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Asia/Tokyo");
        savedCwd = QDir::currentPath();
    }
    // Also after a failed row: the next one starts with no window and no book.
    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Module1::CloseSharedObjects();
        Module1::DialDatabase = db::Database();
        QDir::setCurrent(savedCwd);
        scope.reset();
        dialogs.reset();
        dir.reset();
    }

    void everyControlTellsWhatItShows_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QString>("window");
        for (const char* edition : {"kartovia", "adrovia"}) {
            for (const char* window : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form11", "Form14", "Form22"}) {
                if (QLatin1String(edition) == QLatin1String("adrovia") && QLatin1String(window) == QLatin1String("Form6"))
                    continue;  // no web links in the address-book program
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(edition), QLatin1String(window))))
                    << QString::fromLatin1(edition) << QString::fromLatin1(window);
            }
        }
    }
    void everyControlTellsWhatItShows()
    {
        QFETCH(QString, edition);
        QFETCH(QString, window);
        editionfx::becomeProgram(edition);

        dialogs = std::make_unique<ui::ScriptedDialogs>(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
        dir = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(demo::makeSampleFolder(dir->path(), &error), qPrintable(error));
        const QString maildir = dir->filePath(QStringLiteral("Maildir"));
        for (const char* sub : {"cur", "new", "tmp"})
            QDir(maildir).mkpath(QString::fromLatin1(sub));
        qputenv("MAILDIR", maildir.toLocal8Bit());
        const QString pictures = dir->filePath(QStringLiteral("写真"));
        QDir().mkpath(pictures);
        for (const char* file : {"海.png", "山.png"}) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            QVERIFY(picture.save(QDir(pictures).filePath(QString::fromUtf8(file))));
        }
        QDir::setCurrent(dir->path());

        auto& registry = ui::WindowRegistry::instance();
        auto* menu = registry.reach<Form1>(QStringLiteral("Form1"));
        QVERIFY(menu);
        menu->show();
        const QHash<QString, int> menuCommand = {{QStringLiteral("Form22"), 0}, {QStringLiteral("Form3"), 1},
                                                 {QStringLiteral("Form4"), 2}, {QStringLiteral("Form5"), 3},
                                                 {QStringLiteral("Form6"), 6}};
        if (menuCommand.contains(window)) {
            menu->Command1_Click(menuCommand.value(window));
        } else if (window == QStringLiteral("Form2")) {
            menu->Command1_Click(1);  // publishes the book the menu shows
            registry.show(QStringLiteral("Form2"));
        } else if (window == QStringLiteral("Form11")) {
            menu->Command1_Click(1);
            Module1::DialMemberNo = QStringLiteral("00000001");
            Module1::DialDatabase = Module1::CurrentDb;
            registry.show(QStringLiteral("Form11"));
        } else if (window == QStringLiteral("Form14")) {
            dialogs->queueFile(QDir(pictures).filePath(QStringLiteral("海.png")));
            menu->Image1_Click();
        }
        QWidget* w = registry.find(window);
        QVERIFY2(w, "the window did not load");
        QVERIFY(w->isVisible());
        QCoreApplication::processEvents();

        int controls = 0;
        QStringList faults = walk(edition, window, w, {}, &controls);
        QVERIFY2(controls > 1, "nothing to walk");
        // What is read follows what is shown: step on (record, page, pictures) and walk again.
        if (auto* bar = w->findChild<QScrollBar*>(QStringLiteral("HScroll1")); bar && bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + 1);
            QCoreApplication::processEvents();
            faults << walk(edition, window, w, QStringLiteral(" one step on"));
        }
        // The record window's edit and search modes show their own guides and captions.
        if (auto* records = qobject_cast<Form3*>(w)) {
            // The record on the screen holds an era of its registration, a category, a
            // prefecture and a city; in search mode every box is given a key to search for.
            const QStringList recordHolds = {QStringLiteral("Combo2"), QStringLiteral("Combo3"),
                                             QStringLiteral("Combo5_0"), QStringLiteral("Combo5_1")};
            QStringList holding;
            faults << walk(edition, window, w, QStringLiteral(" one step on"), nullptr, &holding);
            faults << recordWindowFaults(records, holding, recordHolds, QStringLiteral(" one step on"));
            records->Command9_Click(0);
            faults << walk(edition, window, w, QStringLiteral(" in edit mode"), nullptr, &holding);
            faults << recordWindowFaults(records, holding, recordHolds, QStringLiteral(" in edit mode"));
            records->Command9_Click(0);
            records->Command9_Click(1);
            QStringList all;
            for (QComboBox* box : records->findChildren<QComboBox*>()) {
                box->setEditText(box->count() > 0 ? box->itemText(box->count() - 1) : QStringLiteral("那覇市"));
                all << box->objectName();
            }
            faults << walk(edition, window, w, QStringLiteral(" in search mode"), nullptr, &holding);
            faults << recordWindowFaults(records, holding, all, QStringLiteral(" in search mode"));
        }
        faults.removeDuplicates();

        for (const QString& f : std::as_const(faults))
            qWarning("%s", qPrintable(f));
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 controls read wrongly").arg(faults.size())));
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(u'\n')));
    }

    void cleanupTestCase() { edition::setProfile(edition::InformationManagerProfile()); }
};

QTEST_MAIN(TestAccessibleWindows)
#include "tst_accessiblewindows.moc"
