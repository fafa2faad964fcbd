#pragma once
// The dialler: dials one record's home or mobile number through the modem, keeps the record's
// calls and memos in the call history of the caller's book, and holds the installation-wide
// dialling settings of "基本情報".
//
// Callers set DialMemberNo (and DialDatabase, their own book) before they first touch the
// window; its load takes both, and from then on the window reads and writes only that book and
// that member's history.

#include "platform/db/Database.h"
#include "platform/ui/WindowRegistry.h"

#include <QPointer>
#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

namespace ui {
class FocusCommit;
}

namespace dialler {
class HistoryListModel;
}

class Form11 : public ui::Window {
    Q_OBJECT
public:
    // How long the modem has to answer a dial.
    static constexpr int DialTimeoutMs = 60000;

    explicit Form11(QWidget* parent = nullptr);
    ~Form11() override;

    void formLoad() override;

    // Frame and settings.
    void PlaceWindowAndSetCaption(const QString& title);
    void BuildDialNumbers();
    void Option2_Click(int index);
    void Option3_Click(int index);
    void Option4_Click(int index);
    void Option5_Click(int index);
    void Text3_LostFocus();
    void Text5_LostFocus();

    // Dialling.
    void DialButton_Click();
    void DialNumber(const QString& number);
    void CancelButton_Click();
    void QuitButton_Click(int index);

    // History and memos.
    void FillHistoryList();
    void List1_Click();
    void Command1_Click();
    void Command2_Click(int index);
    void Command3_Click();
    void Text6_GotFocus(int index);

    bool callActive() const { return CallActive; }
    const QString& homeDialString() const { return HomeDialString; }
    const QString& mobileDialString() const { return MobileDialString; }
    const db::Database& book() const { return Book; }
    dialler::HistoryListModel* historyModel() const { return HistoryModel; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    QRadioButton* option(QWidget* frame, const QString& systemName, int index, const QString& caption, int left, int top, int width);
    QGroupBox* frame(const QString& caption, int left, int top, int width, int height);

    // Button states of the call.
    void SetCallButtons(bool dial, bool cancel, bool endCall, bool quit);
    void SetDeleteButtons(bool enabled);
    // Writes one field of "基本情報" at once; a failure is reported unless quiet, once a load.
    void StoreSetting(const QString& field, const QVariant& value, bool quiet = false);
    // The purpose or memo box against "用件": a longer text is refused with the beep, the
    // message and the focus back.
    bool FitsPurpose(QLineEdit* box);
    int SelectedLine() const;
    bool HistoryHasRows() const;
    // Ends the active call's row as aborted.
    void AbortActiveCall();
    // Hangs up and closes the row of a call the window is left in (closed or the program ends).
    void EndWhateverIsUnderWay();

    // Window state.
    bool Loading = false;
    bool StoreRefusalReported = false;
    // The outside-line number in force: the one typed last, whether its store succeeded or not.
    QVariant OutsideLineNumber;
    db::Database Book;
    std::optional<qint64> MemberNo;
    db::Recordset HistoryRs;
    bool CancelRequested = false;
    QString HomeDialString;
    QString MobileDialString;
    bool CallActive = false;
    db::Bookmark ActiveCall;
    bool PortInUse = false;

    // Controls, by their system names.
    std::array<QLineEdit*, 2> Text2{};
    std::array<QRadioButton*, 2> Option1{};
    std::array<QLineEdit*, 2> Text1{};
    std::array<QLabel*, 1> Label2{};
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Status = nullptr;
    QPushButton* DialButton = nullptr;
    QPushButton* CancelButton = nullptr;
    std::array<QPushButton*, 2> QuitButton{};
    std::array<QLabel*, 9> Label1{};
    std::array<QLabel*, 2> Label3{};
    std::array<QRadioButton*, 3> Option2{};
    std::array<QRadioButton*, 2> Option3{};
    std::array<QRadioButton*, 2> Option4{};
    QLineEdit* Text3 = nullptr;
    std::array<QRadioButton*, 4> Option5{};
    QLineEdit* Text5 = nullptr;
    QLabel* Label4 = nullptr;
    std::array<QLineEdit*, 2> Text6{};
    QPushButton* Command3 = nullptr;
    QListView* List1 = nullptr;
    std::array<QPushButton*, 2> Command2{};
    dialler::HistoryListModel* HistoryModel = nullptr;
    QString StatusCaption;
    QList<ui::FocusCommit*> Commits;
};
