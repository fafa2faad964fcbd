#pragma once
// The web-link window "Web管理": the web pages kept in the records of one address book, by
// category; opens one page or a category's pages, edits a site's name, address and note, adds
// and deletes sites. It works on the book that was current when it loaded, whatever the main
// menu opens afterwards.

#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"
#include "tools/WebSites.h"

#include <array>

class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

namespace ui {
class FocusCommit;
}

class Form6 : public ui::Window {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);

    void formLoad() override;

    // Procedures
    void SetCaption(const QString& title);
    void ApplyFieldCaptions();
    void FillCategoryList();
    void FillSiteList();
    void ShowSiteDetails();
    void AddSite();
    void DeleteSite();

    // Event handlers
    void List1_Click();
    void List2_Click();
    void Text2_GotFocus(int index);
    void Text2_LostFocus(int index);
    void Command1_Click(int index);

    // For the tests and assistive tools: the controls by their system names.
    QListView* list1() const { return List1; }
    QListView* list2() const { return List2; }
    QStringList categoryLines() const;
    QStringList siteLines() const;
    int selectedCategory() const;
    int selectedSite() const;
    void selectCategory(int line);  // as a click on the line
    void selectSite(int line);
    QString text2(int index) const;
    void setText2(int index, const QString& text);  // as typed
    QWidget* text2Widget(int index) const { return Text2[size_t(index)]; }
    QLabel* label1(int index) const { return Label1[size_t(index)]; }
    QPushButton* command1(int index) const { return Command1[size_t(index)]; }
    int editMode() const { return EditMode; }
    const db::Database& book() const { return Book; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OpenPersons();
    QVariant CategoryCode() const;
    // The record of the selected site line, made current; false (with a beep and the list read
    // again) when another window deleted it meanwhile.
    bool MoveToSelectedSite();
    void RefillAfterVanished();
    void OpenSelectedPage();
    void OpenCategoryPages();
    void SelectSiteLine(int line);
    bool Fits(int index);
    ui::FocusCommit* Watch(QWidget* box, int index);

    Module1::DbFile WindowDbFile;
    db::Database Book;
    db::Recordset PersonRs;    // "Q_個人台帳登録区分順", dynaset
    db::Recordset CategoryRs;  // "会員区分ｺｰﾄﾞ表", dynaset
    db::Recordset CaptionRs;   // "住所録ラベル", table
    db::Bookmark CategoryStart;
    int EditMode = 0;          // 0 browse, 1 edit

    QList<db::Bookmark> CategoryRows;  // the row of each category line
    QList<tools::SiteLine> Sites;      // the record of each site line
    db::Bookmark ShownSite;            // the record whose fields the boxes show

    QLabel* Label3 = nullptr;
    std::array<QLabel*, 6> Label1{};
    QListView* List1 = nullptr;
    QListView* List2 = nullptr;
    QStringListModel* CategoryModel = nullptr;
    QStringListModel* SiteModel = nullptr;
    std::array<QWidget*, 3> Text2{};
    std::array<QPushButton*, 10> Command1{};
    std::array<ui::FocusCommit*, 3> Commits{};
    bool Filling = false;
};
