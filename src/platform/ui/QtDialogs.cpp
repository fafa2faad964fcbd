#include "platform/ui/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>

#include <climits>

namespace ui {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

void prepare(QMessageBox& box, const QString& text, const QString& title, Icon icon)
{
    box.setWindowTitle(shownTitle(title));
    box.setIcon(boxIcon(icon));
    // Record texts may hold "<" or "&": never read them as rich text.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

class DialogProgress : public Progress {
public:
    DialogProgress(const QString& label, qint64 maximum, const QString& title)
        : maximum_(qMax<qint64>(maximum, 0)), scale_(maximum_ / INT_MAX + 1),
          dialog_(label, QStringLiteral("キャンセル"), 0, int(maximum_ / scale_))
    {
        dialog_.setWindowTitle(shownTitle(title));
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(1000);
        dialog_.setAutoReset(false);
        dialog_.setAutoClose(false);
        dialog_.setValue(0);
        sinceUpdate_.start();
    }

    bool setValue(qint64 value) override
    {
        // The dialog is told a few times a second; it shows itself once the work has lasted
        // about a second and then handles the cancel button while it is told.
        if (value < maximum_ && sinceUpdate_.elapsed() < 50)
            return !dialog_.wasCanceled();
        sinceUpdate_.restart();
        dialog_.setValue(int(qBound<qint64>(0, value, maximum_) / scale_));
        return !dialog_.wasCanceled();
    }
    bool wasCanceled() const override { return dialog_.wasCanceled(); }

private:
    qint64 maximum_;
    qint64 scale_;
    QProgressDialog dialog_;
    QElapsedTimer sinceUpdate_;
};

}  // namespace

std::unique_ptr<Progress> QtDialogs::progress(const QString& label, qint64 maximum, const QString& title)
{
    return std::make_unique<DialogProgress>(label, maximum, title);
}

QString nameFilterText(const FileFilter& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    QString label = filter.description.trimmed();
    QString patterns = filter.pattern;
    const QRegularExpressionMatch m = trailingPatterns.match(label);
    if (m.hasMatch()) {
        label = m.captured(1).trimmed();
        if (patterns.trimmed().isEmpty())
            patterns = m.captured(2);
    }
    QStringList list;
    for (QString p : patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
        if (p == QLatin1String("*.*"))
            p = QStringLiteral("*");
        if (!list.contains(p))
            list << p;
    }
    if (list.isEmpty())
        list << QStringLiteral("*");
    return label + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void QtDialogs::message(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(QApplication::activeWindow());
    prepare(box, text, title, icon);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

Answer QtDialogs::question(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    prepare(box, text, title, icon);
    QPushButton* ok = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    switch (buttons) {
    case Buttons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    case Buttons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
        if (buttons == Buttons::YesNoCancel)
            cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    }
    // The first button is the default, as on the old platform.
    box.setDefaultButton(ok ? ok : yes);
    QPushButton* escape = cancel ? cancel : (no ? no : ok);
    box.setEscapeButton(escape);
    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        clicked = escape;
    if (clicked == yes)
        return Answer::Yes;
    if (clicked == no)
        return Answer::No;
    if (clicked == cancel)
        return Answer::Cancel;
    return Answer::Ok;
}

void QtDialogs::beep()
{
    QApplication::beep();
}

std::optional<QString> QtDialogs::openFile(const OpenFileOptions& options)
{
    QFileDialog dialog(QApplication::activeWindow(), options.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const FileFilter& f : options.filters)
        filters << nameFilterText(f);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(qBound(0, options.selectedFilter, int(filters.size()) - 1)));
    }
    if (!options.initialFile.isEmpty())
        dialog.selectFile(options.initialFile);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return chosen.first();
}

bool QtDialogs::printerDialog(QPrinter* printer)
{
    QPrintDialog dialog(printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

QDate QtDialogs::today()
{
    return QDate::currentDate();
}

}  // namespace ui
