#pragma once
// The mail window: on the tab "送信メール" the address-book list and the boxes of the next mail,
// on the tab "受信メール" the mail fetched from the user's Maildir with its filters, preview and
// sender list.
//
// The window writes only to the address book it loaded: it keeps that book's database handle,
// settings recordset and database-file record from its load on. Controls are named by their
// system names ("Command3_2", "Option6_0", "List1" ...), reachable with findChild and through the
// accessors below.

#include "mail/MailSend.h"
#include "mail/MailTemplates.h"
#include "mail/MailWindowLines.h"
#include "mail/MailWindowModels.h"
#include "mail/RecipientBox.h"
#include "mail/Recipients.h"
#include "platform/db/Database.h"
#include "platform/mail/MailSession.h"
#include "platform/shell/HandOver.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/DbFile.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStringListModel;
class QTabWidget;

namespace records {
class RecordListModel;
}
namespace mail {
class ListHeadings;
}

class Form22 : public ui::Window {
    Q_OBJECT
public:
    explicit Form22(QWidget* parent = nullptr);
    ~Form22() override;

    void formLoad() override;

    // Frame, sign-on and options.
    void ClearTextsAndSetCaption(const QString& title);
    void ApplyListHeadings();
    bool SignOnMailSession();
    void ClearSignOnFlag();
    void Command3_Click(int index);
    void Command2_Click(int index);
    void StoreOptions();

    // Address-book list.
    void OpenRecordsetBySortOption();
    void FillRecordList();
    void Option6_Click(int index);
    void DialSelectedRecords();
    void SelectTypedAddresses();

    // Received mail.
    void FetchInbox();
    void FillReceivedMailList();
    void ShowReceivedMail(int row);
    void List3_Click();
    void HScroll1_Change();
    void List5_Click();
    void Option4_Click(int index);
    void Option5_Click(int index);
    void Text7_LostFocus(int index);
    void Check1_Click();
    void BuildSenderList();

    // Receive-tab commands (Command2): fetch again, reply, delete, register the senders, the CSV
    // list, the stored download default and the attachments.
    void RunCommand2(int index);
    void Refetch();
    void ReplyToSelected();
    void DeleteSelectedMail();
    void RegisterSendersCommand();
    void ExportReceivedMailCommand();
    void StoreDownloadDefault();
    void OpenAttachments();
    // Opens a file with the desktop's program for it; false when that was refused at once, else
    // `outcome` tells how the desktop's program ended.
    bool ShellEx(const QString& file, QString* error, desktop::Outcome outcome);
    // The message shown on List3's selected row, -1 when no row is selected.
    qint32 SelectedMessage() const;

    // Send tab: recipients, composing and sending, templates.
    void BuildRecipients();
    void List1_Click();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Option9_Click(int index);
    void Command1_Click(int index);
    void FillTemplateList(int item);

    // State, for the other commands of the window and for tests.
    bool loading() const { return Loading; }
    bool selectingRows() const { return SelectingRows; }
    bool signedOn() const { return SignedOn; }
    QString addressSeparator() const { return AddressSeparator; }
    const QString& senderFilter() const { return SenderFilter; }
    const QString& subjectFilter() const { return SubjectFilter; }
    const std::vector<qint32>& rowToMessage() const { return RowToMessage; }
    const QList<mail::MailSender>& senders() const { return Senders; }
    qint32 senderCount() const { return qint32(Senders.size()); }
    const Module1::DbFile& windowDbFile() const { return WindowDbFile; }
    const db::Database& windowDb() const { return WindowDb; }
    db::Recordset& personRs() { return PersonRs; }
    mail::MailTemplates* templates() const { return Templates.get(); }
    db::Recordset& windowSettingsRs() { return WindowSettingsRs; }
    mailclient::MailSession& mapiSession() { return MAPISession1; }
    mailclient::MailMessages& mapiMessages() { return MAPIMessages1; }

    // Controls.
    QTabWidget* sstab1() const { return SSTab1; }
    QPushButton* command1(int i) const { return Command1[size_t(i)]; }
    QPushButton* command2(int i) const { return Command2[size_t(i)]; }
    QPushButton* command3(int i) const { return Command3[size_t(i)]; }
    QRadioButton* option1(int i) const { return Option1[size_t(i)]; }
    QRadioButton* option2(int i) const { return Option2[size_t(i)]; }
    QRadioButton* option3(int i) const { return Option3[size_t(i)]; }
    QRadioButton* option4(int i) const { return Option4[size_t(i)]; }
    QRadioButton* option5(int i) const { return Option5[size_t(i)]; }
    QRadioButton* option6(int i) const { return Option6[size_t(i)]; }
    QRadioButton* option7(int i) const { return Option7[size_t(i)]; }
    QRadioButton* option8(int i) const { return Option8[size_t(i)]; }
    QRadioButton* option9(int i) const { return Option9[size_t(i)]; }
    QRadioButton* option10(int i) const { return Option10[size_t(i)]; }
    QCheckBox* check1() const { return Check1; }
    QCheckBox* check2() const { return Check2; }
    mail::RecipientBox* text1() const { return Text1; }
    mail::RecipientBox* text2() const { return Text2; }
    QLineEdit* text3() const { return Text3; }
    QLineEdit* text4() const { return Text4; }
    QPlainTextEdit* text5() const { return Text5; }
    QPlainTextEdit* text6() const { return Text6; }
    QLineEdit* text7(int i) const { return Text7[size_t(i)]; }
    QLabel* label1(int i) const { return Label1[size_t(i)]; }
    QLabel* label2(int i) const { return Label2[size_t(i)]; }
    QLabel* label3(int i) const { return Label3[size_t(i)]; }
    QListView* list1() const { return List1; }
    QListWidget* list2() const { return List2; }
    QListView* list3() const { return List3; }
    QListWidget* list4() const { return List4; }
    QListView* list5() const { return List5; }
    QScrollBar* hscroll1() const { return HScroll1; }
    records::RecordListModel* list1Model() const { return List1Model; }
    mail::ReceivedMailListModel* list3Model() const { return List3Model; }
    QStringListModel* list5Model() const { return List5Model; }
    // The headings over List3 and List5.
    mail::ListHeadings* receivedHeadings() const { return ReceivedHeadings; }
    mail::ListHeadings* senderHeadings() const { return SenderHeadings; }
    // The selected rows of List1, in order.
    QList<int> selectedRecordRows() const;
    void setRecordRowSelected(int row, bool selected);
    int list3Index() const;
    void setList3Index(int row);
    int list5Index() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildSendTab();
    QWidget* BuildReceiveTab();
    void NameBoxes();
    void ConnectHandlers();
    void ReadOptions();
    int ChosenIndex(const QRadioButton* const* buttons, int count) const;
    // The parts of every fetched message's line, made once per fetch.
    void MakeMessageParts();
    void SetPreview(const mail::ReceivedMailParts& parts);
    void ClearPreview();
    int ChosenFilter() const;
    // The address-book fields the filter "住所録登録者" searches, read once per use.
    mail::AddressBookIndex ReadAddressBookIndex() const;
    // Runs a step and reports what it throws (number, line break, description); the window
    // goes on.
    void Guarded(const std::function<void()>& step);
    // The records closed and opened again in the chosen order, then the list refilled.
    void ReopenRecordList();
    // Send tab.
    QChar Separator() const;
    mail::RecipientOptions ChosenRecipientOptions() const;
    mail::RecipientTexts RecipientsFromBook(const mail::RecipientOptions& options) const;
    bool PersonRsEmpty() const;
    void RegisterSendersOfEmptyBook();
    QStringList AttachmentRows() const;
    mail::ComposeState ComposeBoxes() const;
    void RunCommand1(int index);
    mail::TemplateContent TemplateArea() const;
    int SelectedTemplateLine() const;
    void ShowTemplate();
    void RegisterTemplate();
    void UpdateTemplate();
    void DeleteTemplate();

    // Window state.
    db::Database WindowDb;
    db::Recordset WindowSettingsRs;
    db::Recordset PersonRs;
    db::Recordset CaptionRs;
    // The book's templates ("Q_定型メール"), one bookmark per line of List4.
    std::unique_ptr<mail::MailTemplates> Templates;
    // The empty-book registration is asked at most once per load.
    bool AskedToRegisterSenders = false;
    Module1::DbFile WindowDbFile;
    qint32 LastScrollValue = 0;
    QList<mail::MailSender> Senders;
    QString SenderFilter;
    std::vector<qint32> RowToMessage;
    bool SignedOn = false;
    QString SubjectFilter;
    bool Loading = false;
    QString AddressSeparator;
    bool SelectingRows = false;
    bool SyncingScroll = false;
    // Every fetched message as read once at the fetch.
    struct FetchedMessage {
        mail::ReceivedMailParts parts;
        QString dateText;
        QString displayName;
        QString rawAddress;  // as the messages control gives it
        QString subject;
        bool bodyRead = false;  // parts.body holds the body column once read
    };
    // The body column of message m's line, read from its file when first wanted.
    const QString& BodyPart(qint32 m);
    // The body text of message m (at most 1 MB of it; *cut when there is more), "" with
    // *withheld says why a message's body is not read. A failure is reported once per fetch.
    QString ReadBody(qint32 m, bool* cut, mail::WithheldBody* withheld);
    bool BodyReported = false;
    std::vector<FetchedMessage> Fetched;

    mailclient::MailSession MAPISession1;
    mailclient::MailMessages MAPIMessages1;

    // Controls.
    QTabWidget* SSTab1 = nullptr;
    std::array<QPushButton*, 9> Command1{};
    std::array<QPushButton*, 10> Command2{};
    std::array<QPushButton*, 4> Command3{};
    std::array<QRadioButton*, 3> Option1{};
    std::array<QRadioButton*, 3> Option2{};
    std::array<QRadioButton*, 2> Option3{};
    std::array<QRadioButton*, 4> Option4{};
    std::array<QRadioButton*, 2> Option5{};
    std::array<QRadioButton*, 6> Option6{};
    std::array<QRadioButton*, 2> Option7{};
    std::array<QRadioButton*, 3> Option8{};
    std::array<QRadioButton*, 2> Option9{};
    std::array<QRadioButton*, 3> Option10{};
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    mail::RecipientBox* Text1 = nullptr;
    mail::RecipientBox* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPlainTextEdit* Text5 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    std::array<QLineEdit*, 4> Text7{};
    std::array<QLabel*, 6> Label1{};
    std::array<QLabel*, 17> Label2{};
    std::array<QLabel*, 11> Label3{};
    QListView* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QListView* List3 = nullptr;
    QListWidget* List4 = nullptr;
    QListView* List5 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    records::RecordListModel* List1Model = nullptr;
    mail::ReceivedMailListModel* List3Model = nullptr;
    QStringListModel* List5Model = nullptr;
    mail::ListHeadings* ReceivedHeadings = nullptr;
    mail::ListHeadings* SenderHeadings = nullptr;
};
