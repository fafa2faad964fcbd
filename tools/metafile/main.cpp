// kv-make-metafile emf|wmf RECORDS FILE: writes a metafile of RECORDS ellipses, for trying the
// image viewer on pictures with many drawing records.

#include "MetafileMaker.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s emf|wmf RECORDS FILE\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    char* end = nullptr;
    const unsigned long records = std::strtoul(argv[2], &end, 10);
    if (!end || *end || records > 100000000ul) {
        std::fprintf(stderr, "%s: RECORDS must be a number up to 100000000\n", argv[0]);
        return 2;
    }
    bool ok = false;
    if (kind == "emf")
        ok = metafile::WriteEllipseEmf(argv[3], std::uint32_t(records));
    else if (kind == "wmf")
        ok = metafile::WriteEllipseWmf(argv[3], std::uint32_t(records));
    else {
        std::fprintf(stderr, "%s: the kind is emf or wmf\n", argv[0]);
        return 2;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
