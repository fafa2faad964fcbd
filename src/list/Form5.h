#pragma once
// The printing window: every record of the book as one fixed-width line in a list where each
// click selects or unselects one line, the print kind, the target (everyone or the selected
// lines) and the print command.
//
// The window keeps the book, the settings row and the database-file record it loaded, and
// prints from its own records: line i of its list is record i of them.

#include "list/PrintLayouts.h"
#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"

#include <array>

class QGroupBox;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;

namespace list {
class PrintListModel;
}

class Form5 : public ui::Window {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    ~Form5() override;

    void formLoad() override;

    void OpenRecordsetByDisplayOrder();
    void SetCaption(const QString& text);
    void FillRecordList();
    // After a line was selected or unselected: the target follows the selection.
    void List1_Click();
    void Command1_Click(int index);

    // What a click on a line does: toggles its selection; List1_Click follows the change.
    void ToggleLine(int line);

    // State, for tests and benchmarks.
    QListView* list1() const { return List1; }
    list::PrintListModel* listModel() const { return List1Model; }
    const db::Recordset& personRs() const { return PersonRs; }
    const Module1::DbFile& windowDbFile() const { return WindowDbFile; }
    const db::Database& windowDb() const { return WindowDb; }
    // Option1's chosen index (the print kind).
    int printKind() const;
    bool selectedOnly() const;
    // How long a print runs before its progress dialog shows (about a second).
    void setProgressDelay(int milliseconds) { ProgressDelay = milliseconds; }
    bool isPrinting() const { return Printing; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void PlaceList();
    QString BookTitle() const;
    // "印刷": the question, the printer dialog and the print.
    void PrintChosen();

    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    std::array<QRadioButton*, 2> Option2{};
    std::array<QPushButton*, 2> Command1{};
    QLabel* Label2 = nullptr;
    std::array<QLabel*, 14> Label3{};
    QListView* List1 = nullptr;
    list::PrintListModel* List1Model = nullptr;

    Module1::DbFile WindowDbFile;
    db::Database WindowDb;
    db::Recordset WindowSettingsRs;
    db::Recordset PersonRs;
    int ProgressDelay = 1000;
    // A print is running: the window is not closed under it, and no second one starts.
    bool Printing = false;
};
