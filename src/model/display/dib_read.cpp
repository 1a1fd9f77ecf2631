// Reading bitmap files: the file header, the bitmap header of every version
// and the colour table. The pixel data is left to dib_pixels.cpp and
// dib_rle.cpp. Every size taken from the file is checked before it is used,
// in 64-bit arithmetic, so a hostile file can only fail.
#include "model/display/dib.h"
#include "model/display/dib_format.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <climits>
#include <new>

using namespace dib_detail;

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t kDibCmyk = 11;
constexpr std::uint32_t kDibCmykRle8 = 12;
constexpr std::uint32_t kDibCmykRle4 = 13;

// The reader's view of a file while its headers are parsed.
struct Parse {
    Bytes data;
    DibLayout layout;
    std::uint32_t colorsUsed = 0;
    std::uint32_t offBits = 0;
    std::uint64_t tableStart = 0; // first byte after header and masks
    std::string why;

    bool Fail(const char* reason) {
        why = reason;
        return false;
    }
};

bool ValidBitCount(int bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
           bits == 32;
}

bool ReadCoreHeader(Parse& p) {
    const std::uint8_t* h = p.data.data() + kFileHeaderSize;
    DibHeader& header = p.layout.header;
    header.width = ReadU16(h + 4);
    header.height = ReadU16(h + 6);
    header.bitCount = ReadU16(h + 10);
    header.compression = kDibRgb;
    p.tableStart = kFileHeaderSize + kDibCoreHeaderSize;
    return true;
}

// Bit-field masks sit inside the header from the 52-byte version on, and
// after a 40-byte header. The 64-byte header of the other header family has
// other fields at that place, so its masks (if any) follow it too.
bool ReadMasks(Parse& p, std::uint32_t headerSize) {
    const std::uint32_t compression = p.layout.header.compression;
    std::uint64_t maskStart = kFileHeaderSize + headerSize;
    if (compression != kDibBitFields && compression != kDibAlphaBitFields)
        return true;
    if (headerSize >= 52 && headerSize != 64) {
        maskStart = kFileHeaderSize + kDibInfoHeaderSize;
    } else {
        const std::uint64_t maskBytes = compression == kDibAlphaBitFields ? 16 : 12;
        p.tableStart += maskBytes;
        if (p.tableStart > p.data.size())
            return p.Fail("truncated colour masks");
    }
    for (int i = 0; i < 3; ++i)
        p.layout.masks[i] = ReadU32(p.data.data() + maskStart + 4 * i);
    return true;
}

bool ReadInfoHeader(Parse& p, std::uint32_t headerSize) {
    const std::uint8_t* h = p.data.data() + kFileHeaderSize;
    DibHeader& header = p.layout.header;
    const auto width = static_cast<std::int32_t>(ReadU32(h + 4));
    const auto height = static_cast<std::int32_t>(ReadU32(h + 8));
    if (width <= 0)
        return p.Fail("width is not positive");
    if (height == 0)
        return p.Fail("height is 0");
    if (height == INT32_MIN)
        return p.Fail("height out of range");
    header.width = width;
    header.height = height < 0 ? -height : height;
    header.topDown = height < 0;
    header.bitCount = ReadU16(h + 14);
    header.compression = ReadU32(h + 16);
    p.colorsUsed = ReadU32(h + 32);
    p.tableStart = kFileHeaderSize + std::uint64_t{headerSize};
    return ReadMasks(p, headerSize);
}

bool CheckCompression(Parse& p) {
    const DibHeader& header = p.layout.header;
    switch (header.compression) {
    case kDibRgb:
        return true;
    case kDibRle8:
    case kDibRle4:
        if (header.bitCount != (header.compression == kDibRle8 ? 8 : 4))
            return p.Fail("run-length compression does not match the bit count");
        if (header.topDown)
            return p.Fail("run-length data stored top-down");
        return true;
    case kDibBitFields:
    case kDibAlphaBitFields:
        if (header.bitCount != 16 && header.bitCount != 32)
            return p.Fail("bit fields with a bit count other than 16 or 32");
        return true;
    case kDibJpeg:
    case kDibPng:
        return p.Fail("embedded JPEG or PNG pictures are not supported");
    case kDibCmyk:
    case kDibCmykRle8:
    case kDibCmykRle4:
        return p.Fail("CMYK pictures are not supported");
    default:
        return p.Fail("unknown compression");
    }
}

bool ReadHeaders(Parse& p, const DibLimits& limits) {
    if (p.data.size() < kFileHeaderSize + 4)
        return p.Fail("truncated file header");
    if (p.data[0] != 'B' || p.data[1] != 'M')
        return p.Fail("not a bitmap file");
    p.offBits = ReadU32(p.data.data() + 10);
    const std::uint32_t headerSize = ReadU32(p.data.data() + kFileHeaderSize);
    if (headerSize != kDibCoreHeaderSize && headerSize < kDibInfoHeaderSize)
        return p.Fail("unknown header size");
    if (kFileHeaderSize + std::uint64_t{headerSize} > p.data.size())
        return p.Fail("truncated bitmap header");
    p.layout.header.headerSize = headerSize;
    const bool ok =
        headerSize == kDibCoreHeaderSize ? ReadCoreHeader(p) : ReadInfoHeader(p, headerSize);
    if (!ok)
        return false;
    const DibHeader& header = p.layout.header;
    if (header.width <= 0 || header.height <= 0)
        return p.Fail("width or height is 0");
    if (!ValidBitCount(header.bitCount))
        return p.Fail("unsupported bit count");
    if (!CheckCompression(p))
        return false;
    const std::uint64_t pixels = std::uint64_t(header.width) * std::uint64_t(header.height);
    if (pixels > limits.maxPixels)
        return p.Fail("picture larger than the pixel limit");
    return true;
}

// Colour-table entries: the used count when it is given and sensible, else
// the full table for the bit count; never more than fits before the pixel
// data (or the end of the file), so a lying count only shortens the table.
bool ReadColourTable(Parse& p, Dib& dib) {
    const DibHeader& header = dib.header;
    const std::uint64_t entrySize = header.headerSize == kDibCoreHeaderSize ? 3 : 4;
    const std::uint64_t end = p.offBits != 0 ? p.offBits : p.data.size();
    if (p.offBits != 0 && p.offBits < p.tableStart)
        return p.Fail("pixel data offset inside the header");
    const std::uint64_t room = std::min<std::uint64_t>(end, p.data.size()) - p.tableStart;
    std::uint64_t declared = p.colorsUsed;
    if (header.IsIndexed()) {
        const std::uint64_t full = std::uint64_t{1} << header.bitCount;
        if (declared == 0 || declared > full)
            declared = full;
        const std::uint64_t count = std::min(declared, room / entrySize);
        dib.colorTable.resize(count);
        const std::uint8_t* e = p.data.data() + p.tableStart;
        for (std::uint64_t i = 0; i < count; ++i, e += entrySize)
            dib.colorTable[i] = MakePixel(e[2], e[1], e[0]);
        declared = count;
    }
    // True-colour files may carry a table too; it is skipped, not kept.
    const std::uint64_t implied = p.tableStart + declared * entrySize;
    const std::uint64_t offset = p.offBits != 0 ? p.offBits : implied;
    if (offset >= p.data.size())
        return p.Fail("pixel data offset past the end of the file");
    p.layout.pixelOffset = static_cast<std::size_t>(offset);
    return true;
}

bool DecodePixels(Parse& p, DecodeOut& out) {
    const DibHeader& header = out.dib.header;
    if (header.compression == kDibRle8 || header.compression == kDibRle4) {
        // Runs land anywhere in the picture, so they go to indices first.
        if (!DecodeRle(p.data, p.layout, out.dib, p.why))
            return false;
        if (out.colours) {
            SizeBuffer(*out.colours, header.width, header.height);
            LookUpColours(out.dib.indices.data(), out.colours->Data(), out.dib.indices.size(),
                          MakeColourLookup(out.dib.colorTable), header.bitCount <= 4);
        }
        if (!out.keepData)
            std::vector<std::uint8_t>().swap(out.dib.indices);
        return true;
    }
    if (header.IsIndexed())
        return DecodeIndexedRows(p.data, p.layout, out, p.why);
    return DecodeTrueColourRows(p.data, p.layout, out, p.why);
}

// Reads `bytes` into `out`, reusing the memory it holds where the sizes
// match. The bitmap keeps only the kind of data its header calls for, so
// that it satisfies the invariants of Dib.
bool DecodeUnguarded(std::span<const std::uint8_t> bytes, DecodeOut& out, const DibLimits& limits,
                     std::string& why) {
    Parse p;
    p.data = bytes;
    Dib& dib = out.dib;
    if (!ReadHeaders(p, limits)) {
        why = p.why;
        return false;
    }
    dib.header = p.layout.header;
    dib.colorTable.clear();
    if (!dib.header.IsIndexed() || !out.keepData)
        std::vector<std::uint8_t>().swap(dib.indices);
    if (dib.header.IsIndexed() || !out.keepData)
        dib.pixels = PixelBuffer();
    if (!ReadColourTable(p, dib) || !DecodePixels(p, out)) {
        why = p.why;
        return false;
    }
    return true;
}

// A picture within the limit can still need more memory than the machine
// has left (16384 x 16384 takes 1 GiB of colours): that is a picture this
// machine cannot show, reported like any other, not an exception that would
// end the program from inside a page change.
bool Decode(std::span<const std::uint8_t> bytes, DecodeOut& out, const DibLimits& limits,
            std::string& why) {
    try {
        return DecodeUnguarded(bytes, out, limits, why);
    } catch (const std::bad_alloc&) {
        why = "not enough memory for a picture of this size";
        return false;
    }
}

// Empties what a failed read leaves behind: no half-decoded picture is kept.
bool Fail(Dib& dib, PixelBuffer* colours, std::string* why, const std::string& reason) {
    dib = Dib{};
    if (colours)
        *colours = PixelBuffer();
    if (why)
        *why = std::string(kDibReadFailure) + ": " + reason;
    return false;
}

DibHandle Failure(std::string* why, const std::string& reason) {
    if (why)
        *why = std::string(kDibReadFailure) + ": " + reason;
    return nullptr;
}

const char* ReadFailureReason(ReadFileResult result) {
    switch (result) {
    case ReadFileResult::NotRegularFile:
        return "not a regular file";
    case ReadFileResult::TooLarge:
        return "file larger than the pixel limit allows";
    case ReadFileResult::ReadFailed:
        return "cannot read the file";
    default:
        return "cannot open the file";
    }
}

// No picture within the limit needs more than 8 bytes a pixel (the widest
// rows, RLE's worst case) and 1 MiB for headers, tables and colour profiles.
std::uint64_t MaxFileBytes(const DibLimits& limits) {
    constexpr std::uint64_t kSlack = std::uint64_t{1} << 20;
    return limits.maxPixels > (UINT64_MAX - kSlack) / 8 ? UINT64_MAX
                                                        : limits.maxPixels * 8 + kSlack;
}

Bytes AsBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

} // namespace

DibHandle LoadDIB(std::span<const std::uint8_t> bytes, std::string* why, const DibLimits& limits) {
    auto dib = std::make_unique<Dib>();
    DecodeOut out{*dib};
    std::string reason;
    if (!Decode(bytes, out, limits, reason))
        return Failure(why, reason);
    return dib;
}

DibHandle LoadDIB(const std::filesystem::path& path, std::string* why, const DibLimits& limits) {
    std::string bytes;
    const ReadFileResult read = ReadRegularFile(path, MaxFileBytes(limits), bytes);
    if (read != ReadFileResult::Read)
        return Failure(why, ReadFailureReason(read));
    return LoadDIB(AsBytes(bytes), why, limits);
}

bool LoadDIBInto(const std::filesystem::path& path, Dib& dib, PixelBuffer& pixels, std::string* why,
                 const DibLimits& limits) {
    std::string bytes;
    const ReadFileResult read = ReadRegularFile(path, MaxFileBytes(limits), bytes);
    if (read != ReadFileResult::Read)
        return Fail(dib, &pixels, why, ReadFailureReason(read));
    return LoadDIBInto(AsBytes(bytes), dib, pixels, why, limits);
}

bool LoadDIBInto(std::span<const std::uint8_t> bytes, Dib& dib, PixelBuffer& pixels,
                 std::string* why, const DibLimits& limits) {
    DecodeOut out{dib, &pixels};
    std::string reason;
    if (!Decode(bytes, out, limits, reason))
        return Fail(dib, &pixels, why, reason);
    return true;
}

bool DecodeDIBPixels(std::span<const std::uint8_t> bytes, PixelBuffer& pixels, std::string* why,
                     const DibLimits& limits) {
    Dib dib;
    DecodeOut out{dib, &pixels, false};
    std::string reason;
    if (!Decode(bytes, out, limits, reason))
        return Fail(dib, &pixels, why, reason);
    return true;
}
