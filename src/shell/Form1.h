#pragma once
// The main window: start-up, the list of address books of the database folder, the main menu.

#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"

#include <QStringList>
#include <array>

class QDir;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

class Form1 : public ui::Window {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    void formLoad() override;

    // Main menu: 0 mail, 1 records, 2 list, 3 printing, 4 settings, 5 quit, 6 web links.
    virtual void Command1_Click(int index);
    void List1_Click();
    void Image6_Click();
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void SetCaption(const QString& title);
    void FillDatabaseFileList();

    const Module1::DbFile& menuDbFile() const { return MenuDbFile; }
    const QStringList& dbFileNames() const { return DbFileNames; }
    QListWidget* list1() const { return List1; }
    QLabel* label2() const { return Label2; }
    QPushButton* command1(int index) const { return Command1[size_t(index)]; }
    QLabel* label1(int index) const { return Label1[size_t(index)]; }

    static constexpr int MaxListedFiles = 101;

protected:
    // The line of the database-file list that names one file of the folder.
    virtual QString DatabaseListLine(const QDir& folder, const QString& fileName) const;
    // The common step of every menu button: the line picked (else the main window's book) is
    // opened as the current book; a failure is reported and gives false.
    bool OpenCurrentBook();

    Module1::DbFile MenuDbFile;
    QStringList DbFileNames;

    QListWidget* List1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QPushButton*, 7> Command1{};  // no element 6 where there are no web links
    std::array<QLabel*, 2> Label1{};
    QToolButton* Image6 = nullptr;
    QToolButton* Image1 = nullptr;
    QToolButton* Image2 = nullptr;
    QToolButton* Image3 = nullptr;

private:
    void OpenCommonDatabase();
};
