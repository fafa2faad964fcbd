// kv-make-maildir <folder> [--count N] [--seed S] [--attachments SHARE] [--malformed SHARE]
//                 [--body-bytes N] [--many-parts N] [--nested N] [--hostile KIND [--hostile-bytes N]]
//                 [--big-attachments N [--part-bytes N]]
// Writes a generated Maildir; the same seed gives the same messages. --many-parts adds one
// message of N empty parts, --nested one of multiparts nested N levels deep, --hostile one of a
// kind GMime splits otherwise than its bytes suggest (latin1-boundary, buffer-edge,
// delimiter-header, part-header-lines; may be given more than once) of N bytes (default
// 65,536,000), --big-attachments one of N base64 attachments of the part bytes (default 6,400).

#include "MaildirMaker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    maildirmaker::Options o;
    std::string folder;
    long long manyParts = -1, nested = -1, bigAttachments = -1;
    std::size_t hostileBytes = 65536000, partBytes = 6400;
    std::vector<std::string> hostile;
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
        else if (a == "--many-parts" && more)
            manyParts = std::atoll(argv[++i]);
        else if (a == "--nested" && more)
            nested = std::atoll(argv[++i]);
        else if (a == "--hostile" && more)
            hostile.emplace_back(argv[++i]);
        else if (a == "--hostile-bytes" && more)
            hostileBytes = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--big-attachments" && more)
            bigAttachments = std::atoll(argv[++i]);
        else if (a == "--part-bytes" && more)
            partBytes = std::strtoull(argv[++i], nullptr, 10);
        else if (folder.empty() && a[0] != '-')
            folder = a;
        else {
            std::fprintf(stderr, "usage: kv-make-maildir <folder> [--count N] [--seed S] [--attachments SHARE] [--malformed SHARE]"
                                 " [--body-bytes N] [--many-parts N] [--nested N] [--hostile KIND [--hostile-bytes N]]"
                                 " [--big-attachments N [--part-bytes N]]\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: kv-make-maildir <folder> [--count N] [--seed S]\n");
        return 2;
    }
    try {
        std::size_t bytes = maildirmaker::makeMaildir(folder, o);
        const auto add = [&](const std::string& name, const std::string& message) {
            std::ofstream f(folder + "/cur/" + name, std::ios::binary);
            f.write(message.data(), static_cast<std::streamsize>(message.size()));
            if (!f)
                throw std::runtime_error("cannot write " + folder + "/cur/" + name);
            bytes += message.size();
        };
        if (manyParts >= 0)
            add("1800000000.manyparts.kartovia:2,", maildirmaker::manyPartsMessage(static_cast<std::size_t>(manyParts)));
        if (nested >= 0)
            add("1800000001.nested.kartovia:2,", maildirmaker::nestedMessage(static_cast<int>(nested)));
        for (size_t k = 0; k < hostile.size(); ++k)
            add("18000001" + std::to_string(10 + k) + ".hostile-" + hostile[k] + ".kartovia:2,",
                maildirmaker::hostileMessage(hostile[k], hostileBytes));
        if (bigAttachments >= 0)
            add("1800000002.attachments.kartovia:2,",
                maildirmaker::bigAttachmentsMessage(static_cast<std::size_t>(bigAttachments), partBytes));
        std::printf("%d messages, %zu bytes in %s\n", o.count, bytes, folder.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
