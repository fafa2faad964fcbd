#pragma once
// The settings window: title, categories and field captions of one address book, and its
// initialisation. It works on the book that was current when it loaded, through its own handle
// and recordsets, whatever the main menu opens afterwards.

#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"
#include "shell/FieldCaptions.h"

#include <QHash>
#include <QList>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {
class FocusCommit;
}

class Form2 : public ui::Window {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    void formLoad() override;

    // Procedures
    void SetCaption(const QString& title);
    void FillCategoryList();
    void RenameCategory();
    void LoadFieldCaptions();
    void SaveFieldCaptions(int index);

    // Event handlers
    virtual void Command1_Click(int index);  // 0 add a category, 1 store the edited name
    void Command2_Click(int index);  // 0 edit mode on and off, 9 close
    void Command3_Click();           // initialisation
    virtual void List1_Click();
    void Text1_GotFocus();
    virtual void Text1_LostFocus();
    void Text2_GotFocus(int index);
    void Text2_LostFocus(int index);
    void Text3_GotFocus(int index);
    virtual void Text3_LostFocus(int index);
    void Text4_GotFocus();

    bool editMode() const { return SettingsEditMode; }
    int selectedCategoryIndex() const { return SelectedCategoryIndex; }
    const Module1::DbFile& settingsDbFile() const { return SettingsDbFile; }
    const db::Database& book() const { return Book; }

    QLineEdit* text1() const { return Text1; }
    QLineEdit* text2(int index) const { return Text2[size_t(index)]; }
    QLineEdit* text3(int index = 0) const { return index == 0 ? Text3 : nullptr; }
    QLineEdit* text4() const { return Text4; }
    QListWidget* list1() const { return List1; }
    QLabel* label3(int index) const { return Label3[size_t(index)]; }
    QPushButton* command1(int index) const { return Command1[size_t(index)]; }
    QPushButton* command2(int index) const { return Command2[size_t(index)]; }
    QPushButton* command3() const { return Command3; }
    QCheckBox* check1(int index) const { return Check1[size_t(index)]; }

protected:
    void closeEvent(QCloseEvent* event) override;

    void BuildFrame1();
    void BuildFrame2();
    void BuildFrame3();
    void OpenCategories();
    void ShowTitle();
    // The line picked in the category list goes into Text1; false when none is picked.
    bool PickCategory();
    // Stores the title; a refusal of the engine is reported and the stored title stays.
    void StoreTitle(const QString& title);
    void SelectOnEntry(QLineEdit* box);
    bool Fits(QLineEdit* box, int limit);
    ui::FocusCommit* Watch(QLineEdit* box, std::function<void()> lostFocus, std::function<void()> gotFocus);

    Module1::DbFile SettingsDbFile;
    db::Database Book;
    db::Recordset SettingsRs;          // "管理情報"
    db::Recordset SettingsCategoryRs;  // "会員区分ｺｰﾄﾞ表"
    db::Recordset SettingsCaptionRs;   // "住所録ラベル"
    bool SettingsEditMode = false;
    int SelectedCategoryIndex = -1;    // the list line last clicked; -1 when none is
    QList<db::Bookmark> CategoryRows;  // the row of each list line

    int TitleSize = 0;
    int CategoryNameSize = 0;
    std::array<int, settings::FieldCaptionCount> CaptionSizes{};

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QPushButton*, 2> Command1{};
    std::array<QPushButton*, 10> Command2{};
    QPushButton* Command3 = nullptr;
    std::array<QLabel*, 4> Label2{};  // 1 and 3 where the title stands with the categories
    std::array<QLabel*, settings::FieldCaptionCount> Label3{};
    std::array<QLabel*, settings::FieldCaptionCount> Label4{};  // the hints
    std::array<QLabel*, 2> Label5{};
    QLineEdit* Text1 = nullptr;
    std::array<QLineEdit*, settings::FieldCaptionCount> Text2{};
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QListWidget* List1 = nullptr;
    std::array<QCheckBox*, 2> Check1{};
    QHash<QWidget*, ui::FocusCommit*> Commits;
};
