#pragma once
// Every message box, question, beep, file dialog, printer dialog and "today" of the program goes
// through this interface, so that tests can answer, pick files and fix the date.

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace ui {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// One entry of a file-type list: {"Microsoft Access MDB (*.mdb)", "*.mdb"}. The pattern may be
// empty (the description's own parenthesised patterns then apply); several patterns are
// separated by ";".
struct FileFilter {
    QString description;
    QString pattern;
};

struct OpenFileOptions {
    QString title;
    QList<FileFilter> filters;
    int selectedFilter = 0;   // index into filters
    QString initialFile;
    bool mustExist = true;
};

// Long work shows how far it has come and can be cancelled (a progress dialog that appears
// only when the work lasts longer than about a second).
class Progress {
public:
    virtual ~Progress() = default;
    // Reports how far the work is (0 to the maximum); false once the user has cancelled.
    virtual bool setValue(qint64 value) = 0;
    virtual bool wasCanceled() const = 0;
};

// What long work calls as it goes: how far it is; false tells it to stop. Empty: go on unasked.
using ProgressStep = std::function<bool(qint64 done)>;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Texts use "\n" for a line break. An empty title shows the program title.
    virtual void message(const QString& text, const QString& title = {}, Icon icon = Icon::None) = 0;
    virtual Answer question(const QString& text, const QString& title = {}, Icon icon = Icon::None,
                            Buttons buttons = Buttons::YesNo) = 0;
    virtual void beep() = 0;
    // The chosen file, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> openFile(const OpenFileOptions& options) = 0;
    // True when the user confirmed the dialog; the printer is set up as the dialog left it.
    virtual bool printerDialog(QPrinter* printer) = 0;
    virtual QDate today() = 0;
    // The progress of long work with maximum steps; the work ends when the object is destroyed.
    // By default nothing is shown and the work is never cancelled.
    virtual std::unique_ptr<Progress> progress(const QString& label, qint64 maximum, const QString& title = {});
};

// A step function that reports to progress (which may be null: then it never stops the work).
ProgressStep stepsOf(Progress* progress);

// The process-wide instance (the real dialogs unless a test installed others).
Dialogs& dialogs();
// Installs another instance (nullptr: the real dialogs again); returns the one installed before.
Dialogs* setDialogs(Dialogs* dialogs);

// Installs an instance for the lifetime of the scope.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs* dialogs) : previous_(setDialogs(dialogs)) {}
    ~ScopedDialogs() { setDialogs(previous_); }
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    Dialogs* previous_;
};

// The title a box without a title of its own bears (the edition's program title).
void setProgramTitle(const QString& title);
QString programTitle();
// The title a box shows: its own, or the program title when it has none.
QString shownTitle(const QString& title);

}  // namespace ui
