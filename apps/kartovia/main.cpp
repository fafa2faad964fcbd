#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return Module1::RunMainWindow(app);
}
