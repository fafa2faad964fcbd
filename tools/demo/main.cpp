// kv-make-demo: makes a database folder of fictional people for trying the programs out.
//
//   kv-make-demo <folder>
//       the common database, its default picture, the sample address book with record folders
//       and pictures, and "PMPath.txt" naming the sample book
//   kv-make-demo <folder> --records N [--book <name>]
//       a book of N generated records (and the common database when it is missing);
//       "PMPath.txt" is written only when the folder has none
//
// Existing address books are never replaced.

#include "DemoFolder.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kv-make-demo <folder>\n"
                         "       kv-make-demo <folder> --records N [--book <name>]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn off screen; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0].startsWith(QStringLiteral("--")))
        return usage();

    int records = -1;
    QString book;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--records") && i + 1 < args.size()) {
            bool ok = false;
            records = args[++i].toInt(&ok);
            if (!ok || records < 0)
                return usage();
        } else if (args[i] == QStringLiteral("--book") && i + 1 < args.size()) {
            book = args[++i];
        } else {
            return usage();
        }
    }
    if (records < 0 && !book.isEmpty())
        return usage();

    QString error;
    QStringList log;
    const bool ok = records < 0 ? demo::makeSampleFolder(args[0], &error, &log)
                                : demo::makeGeneratedBook(args[0], records, book, &error, &log);
    for (const QString& line : log)
        std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    if (!ok) {
        std::fprintf(stderr, "kv-make-demo: %s\n", error.toUtf8().constData());
        return 1;
    }
    return 0;
}
