#include "MetafileMaker.h"

#include <fstream>
#include <vector>

namespace metafile {

namespace {

// Little-endian words into a byte buffer.
struct Bytes {
    std::vector<char> data;
    void u16(std::uint32_t v)
    {
        data.push_back(char(v & 0xFF));
        data.push_back(char((v >> 8) & 0xFF));
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
};

// The box of ellipse i: small ellipses laid row by row across the page, then again from the top.
struct Box {
    int left, top, right, bottom;
};
Box EllipseBox(std::uint32_t i, int width, int height)
{
    constexpr int kStep = 8;
    const int columns = width / kStep > 0 ? width / kStep : 1;
    const int rows = height / kStep > 0 ? height / kStep : 1;
    const int x = int(i % std::uint32_t(columns)) * kStep;
    const int y = int((i / std::uint32_t(columns)) % std::uint32_t(rows)) * kStep;
    const int grow = int(i % 5);
    return {x, y, x + kStep - 2 + grow, y + kStep - 2 + grow};
}

bool Flush(std::ofstream& out, Bytes& b)
{
    out.write(b.data.data(), std::streamsize(b.data.size()));
    b.data.clear();
    return bool(out);
}

} // namespace

bool WriteEllipseEmf(const std::string& path, std::uint32_t ellipses, int width, int height)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    constexpr std::uint32_t kHeader = 108;
    constexpr std::uint32_t kEllipse = 24;
    // A blue brush and its selection before the ellipses; the end-of-file record after them.
    const std::uint32_t prologue = 24 + 12;
    const std::uint32_t epilogue = 20;
    const std::uint64_t total = std::uint64_t(kHeader) + prologue + std::uint64_t(ellipses) * kEllipse + epilogue;
    if (total > 0xFFFFFFFFu)
        return false;
    Bytes b;
    b.u32(1);  // EMR_HEADER
    b.u32(kHeader);
    for (int v : {0, 0, width - 1, height - 1})  // bounds in pixels
        b.u32(std::uint32_t(v));
    // The frame in 0.01 mm at 96 pixels an inch.
    for (int v : {0, 0, width * 2540 / 96, height * 2540 / 96})
        b.u32(std::uint32_t(v));
    b.u32(0x464D4520);  // " EMF"
    b.u32(0x10000);
    b.u32(std::uint32_t(total));
    b.u32(ellipses + 4);  // records
    b.u16(2);             // handles
    b.u16(0);
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 271u, 203u, 0u, 0u, 0u, 270933u, 203200u})
        b.u32(v);
    b.u32(39);  // EMR_CREATEBRUSHINDIRECT: solid blue
    b.u32(24);
    for (std::uint32_t v : {1u, 0u, 0x00FF0000u, 0u})
        b.u32(v);
    b.u32(37);  // EMR_SELECTOBJECT
    b.u32(12);
    b.u32(1);
    for (std::uint32_t i = 0; i < ellipses; ++i) {
        const Box box = EllipseBox(i, width, height);
        b.u32(42);  // EMR_ELLIPSE
        b.u32(kEllipse);
        for (int v : {box.left, box.top, box.right, box.bottom})
            b.u32(std::uint32_t(v));
        if (b.data.size() >= (1u << 20) && !Flush(out, b))
            return false;
    }
    b.u32(14);  // EMR_EOF
    b.u32(epilogue);
    for (std::uint32_t v : {0u, 16u, 20u})
        b.u32(v);
    return Flush(out, b) && bool(out.flush());
}

bool WriteEllipseWmf(const std::string& path, std::uint32_t ellipses, int width, int height)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    if (width > 0x7FFF || height > 0x7FFF)
        return false;
    // Records: window origin and extent, a pen and a brush with their selections, the ellipses
    // and the end; sizes in 16-bit words.
    std::uint64_t words = 9;  // the metafile header
    words += 5 + 5 + 8 + 7 + 4 + 4 + std::uint64_t(ellipses) * 7 + 3;
    if (words > 0xFFFFFFFFu)
        return false;
    Bytes b;
    // The placeable header, 22 bytes with its checksum.
    Bytes p;
    p.u32(0x9AC6CDD7);
    p.u16(0);
    for (int v : {0, 0, width, height})
        p.u16(std::uint32_t(v));
    p.u16(96);
    p.u32(0);
    std::uint32_t sum = 0;
    for (size_t i = 0; i < p.data.size(); i += 2)
        sum ^= std::uint32_t(std::uint8_t(p.data[i])) | (std::uint32_t(std::uint8_t(p.data[i + 1])) << 8);
    p.u16(sum);
    b.data = p.data;
    b.u16(1);  // memory metafile
    b.u16(9);
    b.u16(0x0300);
    b.u32(std::uint32_t(words));
    b.u16(2);  // objects
    b.u32(8);  // the largest record, in words
    b.u16(0);
    auto rec = [&](std::uint32_t fn, std::initializer_list<std::uint32_t> params) {
        b.u32(3 + std::uint32_t(params.size()));
        b.u16(fn);
        for (std::uint32_t v : params)
            b.u16(v);
    };
    rec(0x020B, {0, 0});                                            // SETWINDOWORG
    rec(0x020C, {std::uint32_t(height), std::uint32_t(width)});     // SETWINDOWEXT
    rec(0x02FA, {0, 1, 0, 0, 0});                                   // CREATEPENINDIRECT: black
    rec(0x02FC, {0, 0x0000, 0x00FF, 0});                            // CREATEBRUSHINDIRECT: blue
    rec(0x012D, {0});                                               // SELECTOBJECT
    rec(0x012D, {1});                                               // SELECTOBJECT
    for (std::uint32_t i = 0; i < ellipses; ++i) {
        const Box box = EllipseBox(i, width, height);
        // ELLIPSE takes bottom, right, top, left.
        rec(0x0418, {std::uint32_t(box.bottom), std::uint32_t(box.right), std::uint32_t(box.top), std::uint32_t(box.left)});
        if (b.data.size() >= (1u << 20) && !Flush(out, b))
            return false;
    }
    rec(0x0000, {});  // EOF
    return Flush(out, b) && bool(out.flush());
}

} // namespace metafile
