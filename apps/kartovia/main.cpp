#include "editions/Windows.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    editions::RegisterKartoviaWindows();
    return Module1::RunMainWindow(app);
}
