#include "edition/Profile.h"
#include "editions/Windows.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Module1::PrepareMemory();
    QApplication app(argc, argv);
    edition::setProfile(edition::AddressBookProfile());
    editions::RegisterAdroviaWindows();
    return Module1::RunMainWindow(app);
}
