// kv-make-maildir <folder> [--count N] [--seed S] [--attachments SHARE] [--malformed SHARE] [--body-bytes N]
// Writes a generated Maildir; the same seed gives the same messages.

#include "MaildirMaker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

int main(int argc, char* argv[])
{
    maildirmaker::Options o;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--count" && more)
            o.count = std::atoi(argv[++i]);
        else if (a == "--seed" && more)
            o.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--attachments" && more)
            o.attachmentShare = std::atof(argv[++i]);
        else if (a == "--malformed" && more)
            o.malformedShare = std::atof(argv[++i]);
        else if (a == "--body-bytes" && more)
            o.bodyBytes = std::strtoull(argv[++i], nullptr, 10);
        else if (folder.empty() && a[0] != '-')
            folder = a;
        else {
            std::fprintf(stderr, "usage: kv-make-maildir <folder> [--count N] [--seed S] [--attachments SHARE] [--malformed SHARE] [--body-bytes N]\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: kv-make-maildir <folder> [--count N] [--seed S]\n");
        return 2;
    }
    try {
        const std::size_t bytes = maildirmaker::makeMaildir(folder, o);
        std::printf("%d messages, %zu bytes in %s\n", o.count, bytes, folder.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
