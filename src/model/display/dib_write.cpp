// Writing bitmap files: always a 40-byte info header and uncompressed rows,
// bottom row first, which every reader understands.
#include "model/display/dib.h"
#include "model/display/dib_format.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <limits>
#include <string_view>

using namespace dib_detail;

namespace {

constexpr std::size_t kInfoStart = kFileHeaderSize;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kDibInfoHeaderSize;

// The file header, the info header and the colour table, into `p`, which
// holds zeros.
void PutHeaders(std::uint8_t* p, const Dib& dib, int bitCount, std::size_t tableEntries,
                std::uint64_t imageSize, std::uint64_t fileSize) {
    const auto offBits = static_cast<std::uint32_t>(kHeadersSize + 4 * tableEntries);
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<std::uint32_t>(fileSize));
    PutU32(p + 10, offBits);
    std::uint8_t* h = p + kInfoStart;
    PutU32(h, kDibInfoHeaderSize);
    PutU32(h + 4, static_cast<std::uint32_t>(dib.header.width));
    PutU32(h + 8, static_cast<std::uint32_t>(dib.header.height));
    PutU16(h + 12, 1);
    PutU16(h + 14, static_cast<std::uint32_t>(bitCount));
    PutU32(h + 16, kDibRgb);
    PutU32(h + 20, static_cast<std::uint32_t>(imageSize));
    // The used count is always written, even for a full or empty table, so a
    // reader never assumes entries that are not there.
    PutU32(h + 32, static_cast<std::uint32_t>(tableEntries));
    std::uint8_t* table = p + kHeadersSize;
    for (std::size_t i = 0; i < tableEntries; ++i, table += 4) {
        table[0] = PixelBlue(dib.colorTable[i]);
        table[1] = PixelGreen(dib.colorTable[i]);
        table[2] = PixelRed(dib.colorTable[i]);
    }
}

// Each row and its zero padding, appended within the reserved room.
void AppendIndexedRows(std::vector<std::uint8_t>& out, const Dib& dib, std::size_t stride) {
    const auto width = static_cast<std::size_t>(dib.header.width);
    for (int y = dib.header.height - 1; y >= 0; --y) {
        const std::uint8_t* row = dib.indices.data() + std::size_t(y) * width;
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), stride - width, 0);
    }
}

void AppendTrueColourRows(std::vector<std::uint8_t>& out, const Dib& dib, std::size_t stride) {
    const auto width = static_cast<std::size_t>(dib.header.width);
    for (int y = dib.header.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + stride, 0);
        std::uint8_t* dst = out.data() + start;
        const Pixel* src = dib.pixels.Row(y);
        for (std::size_t x = 0; x < width; ++x) {
            dst[3 * x] = PixelBlue(src[x]);
            dst[3 * x + 1] = PixelGreen(src[x]);
            dst[3 * x + 2] = PixelRed(src[x]);
        }
    }
}

DibSaveResult SaveResultOf(AtomicWriteResult result) {
    switch (result) {
    case AtomicWriteResult::Written:
        return DibSaveResult::Saved;
    case AtomicWriteResult::NotRegularFile:
        return DibSaveResult::NotRegularFile;
    case AtomicWriteResult::NotWritable:
        return DibSaveResult::ReadOnly;
    case AtomicWriteResult::DanglingLink:
    case AtomicWriteResult::CannotResolve:
        return DibSaveResult::Unreachable;
    case AtomicWriteResult::CannotCreateTemporary:
        return DibSaveResult::CannotCreate;
    case AtomicWriteResult::WriteFailed:
    case AtomicWriteResult::SyncFailed:
    case AtomicWriteResult::KeepModeFailed:
        return DibSaveResult::WriteFailed;
    case AtomicWriteResult::RenameFailed:
        return DibSaveResult::CannotReplace;
    case AtomicWriteResult::FolderSyncFailed:
        return DibSaveResult::NotSynced;
    }
    return DibSaveResult::WriteFailed;
}

} // namespace

std::vector<std::uint8_t> EncodeDIB(const Dib& dib) {
    if (!IsWellFormed(dib))
        return {};
    const bool indexed = dib.header.IsIndexed();
    const int bitCount = indexed ? 8 : 24;
    const std::size_t entries = indexed ? dib.colorTable.size() : 0;
    const std::uint64_t stride = RowStride(std::uint64_t(dib.header.width), bitCount);
    const std::uint64_t imageSize = stride * std::uint64_t(dib.header.height);
    const std::uint64_t total = kHeadersSize + 4 * entries + imageSize;
    // The file header holds the size in 32 bits.
    if (total > std::numeric_limits<std::uint32_t>::max())
        return {};
    // The rows are appended rather than written over a cleared buffer: for a
    // large picture, clearing it would be one more pass over all of it.
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    out.resize(kHeadersSize + 4 * entries, 0);
    PutHeaders(out.data(), dib, bitCount, entries, imageSize, total);
    if (indexed)
        AppendIndexedRows(out, dib, static_cast<std::size_t>(stride));
    else
        AppendTrueColourRows(out, dib, static_cast<std::size_t>(stride));
    return out;
}

DibSaveResult SaveDIB(const Dib& dib, const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = EncodeDIB(dib);
    if (bytes.empty())
        return DibSaveResult::BadBitmap;
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return SaveResultOf(WriteFileAtomically(path, view).result);
}
