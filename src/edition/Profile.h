#pragma once
// What sets the two programs apart: their product texts and the features each one has.
// Every window asks the current profile; nothing else tells which program is running.

#include <QString>

namespace edition {

enum class Edition { InformationManager, AddressBook };

struct Profile
{
    Edition edition;
    QString ProgramTitle;    // message boxes without a title of their own, version information
    QString EditionName;     // stands for a book's Null "タイトル" in captions
    QString MainWindowTitle; // the main window's caption before the date
    QString ProgramName;     // the executable's name
    QString Version;         // file and product version
    QString CompanyName;     // the maker, in the version information and the about panel
    bool HasWebLinks;        // the web-link window, its menu button and the list window's "WEB区分"
    bool HasReturnPostcards; // the printing window's "往復はがき（横）"

    bool isAddressBook() const { return edition == Edition::AddressBook; }
    // Title of the database-file dialog.
    QString DatabaseDialogTitle() const;
    // First line of the main window's about panel.
    QString AboutFirstLine() const;
    // The maker's notice at the foot of the main window.
    QString MakerNotice() const;
};

const Profile& InformationManagerProfile();
const Profile& AddressBookProfile();

// The profile of the running program; the information manager's until a program names its own.
const Profile& profile();
void setProfile(const Profile& p);

} // namespace edition
