// Peak memory of a process that shows the list window on a book, pages to the last page and
// back: prints VmHWM in kB. Run by the list window's benchmark group.

#include "list/Form4.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    static ui::ScriptedDialogs dialogs;
    ui::setDialogs(&dialogs);
    Module1::PublishCurrentBook(QString::fromLocal8Bit(argv[1]));
    Form4 w;
    w.formLoad();
    w.show();
    QCoreApplication::processEvents();
    w.Command1_Click(3);
    QCoreApplication::processEvents();
    w.Command1_Click(0);
    QCoreApplication::processEvents();
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s\n", line.mid(6).trimmed().split(' ').first().constData());
            return 0;
        }
    }
    return 1;
}
