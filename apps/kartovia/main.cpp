#include "edition/Profile.h"
#include "editions/Windows.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Module1::PrepareMemory();
    QApplication app(argc, argv);
    edition::setProfile(edition::InformationManagerProfile());
    editions::RegisterKartoviaWindows();
    return Module1::RunMainWindow(app);
}
