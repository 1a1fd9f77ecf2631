// Writing bitmap files: always a 40-byte info header and uncompressed rows,
// bottom row first, which every reader understands.
#include "model/display/dib.h"
#include "model/display/dib_format.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <limits>
#include <span>
#include <string_view>

using namespace dib_detail;

namespace {

constexpr std::size_t kInfoStart = kFileHeaderSize;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kDibInfoHeaderSize;

// The sizes of a file of width x height pixels at `bitCount` bits with a
// colour table of `entries` colours.
struct FileSizes {
    std::uint64_t stride = 0;
    std::uint64_t imageSize = 0;
    std::uint64_t total = 0;
    // The file header holds the size in 32 bits.
    bool Fits() const { return total <= std::numeric_limits<std::uint32_t>::max(); }
};

FileSizes SizesOf(int width, int height, int bitCount, std::size_t entries) {
    FileSizes sizes;
    sizes.stride = RowStride(std::uint64_t(width), bitCount);
    sizes.imageSize = sizes.stride * std::uint64_t(height);
    sizes.total = kHeadersSize + 4 * std::uint64_t{entries} + sizes.imageSize;
    return sizes;
}

// The file header, the info header and the colour table, into `p`, which
// holds zeros.
void PutHeaders(std::uint8_t* p, int width, int height, int bitCount,
                std::span<const Pixel> colorTable, const FileSizes& sizes) {
    const auto offBits = static_cast<std::uint32_t>(kHeadersSize + 4 * colorTable.size());
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<std::uint32_t>(sizes.total));
    PutU32(p + 10, offBits);
    std::uint8_t* h = p + kInfoStart;
    PutU32(h, kDibInfoHeaderSize);
    PutU32(h + 4, static_cast<std::uint32_t>(width));
    PutU32(h + 8, static_cast<std::uint32_t>(height));
    PutU16(h + 12, 1);
    PutU16(h + 14, static_cast<std::uint32_t>(bitCount));
    PutU32(h + 16, kDibRgb);
    PutU32(h + 20, static_cast<std::uint32_t>(sizes.imageSize));
    // The used count is always written, even for a full or empty table, so a
    // reader never assumes entries that are not there.
    PutU32(h + 32, static_cast<std::uint32_t>(colorTable.size()));
    std::uint8_t* table = p + kHeadersSize;
    for (const Pixel colour : colorTable) {
        table[0] = PixelBlue(colour);
        table[1] = PixelGreen(colour);
        table[2] = PixelRed(colour);
        table += 4;
    }
}

// A vector with room for the whole file, holding its headers and table.
// The rows are appended rather than written over a cleared buffer: for a
// large picture, clearing it would be one more pass over all of it.
std::vector<std::uint8_t> StartFile(int width, int height, int bitCount,
                                    std::span<const Pixel> colorTable, const FileSizes& sizes) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(sizes.total));
    out.resize(kHeadersSize + 4 * colorTable.size(), 0);
    PutHeaders(out.data(), width, height, bitCount, colorTable, sizes);
    return out;
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

DibSaveResult SaveBytes(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& path) {
    if (bytes.empty())
        return DibSaveResult::BadBitmap;
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return SaveResultOf(WriteFileAtomically(path, view).result);
}

} // namespace

std::vector<std::uint8_t> EncodeDIB(const Dib& dib) {
    if (!IsWellFormed(dib))
        return {};
    const bool indexed = dib.header.IsIndexed();
    const int bitCount = indexed ? 8 : 24;
    const std::span<const Pixel> table =
        indexed ? std::span<const Pixel>(dib.colorTable) : std::span<const Pixel>();
    const FileSizes sizes = SizesOf(dib.header.width, dib.header.height, bitCount, table.size());
    if (!sizes.Fits())
        return {};
    std::vector<std::uint8_t> out =
        StartFile(dib.header.width, dib.header.height, bitCount, table, sizes);
    if (indexed)
        AppendIndexedRows(out, dib, static_cast<std::size_t>(sizes.stride));
    else
        AppendTrueColourRows(out, dib, static_cast<std::size_t>(sizes.stride));
    return out;
}

std::vector<std::uint8_t> EncodeDIB8(const PixelBuffer& picture, const LogPalette& palette) {
    if (picture.IsEmpty() || palette.entries.size() > 256)
        return {};
    const std::vector<Pixel> table = TableForPalette(picture, palette);
    const int width = picture.Width();
    const int height = picture.Height();
    const FileSizes sizes = SizesOf(width, height, 8, table.size());
    if (!sizes.Fits())
        return {};
    std::vector<std::uint8_t> out = StartFile(width, height, 8, table, sizes);
    NearestColourMap nearest(table);
    // Each row is mapped a piece at a time into a small buffer that stays in
    // the cache, and appended with its padding.
    std::uint8_t piece[16384];
    const auto rowPixels = static_cast<std::size_t>(width);
    const std::size_t padding = static_cast<std::size_t>(sizes.stride) - rowPixels;
    for (int y = height - 1; y >= 0; --y) {
        const Pixel* row = picture.Row(y);
        for (std::size_t done = 0; done < rowPixels;) {
            const std::size_t n = std::min(rowPixels - done, sizeof piece);
            MapToIndices(row + done, piece, n, nearest);
            out.insert(out.end(), piece, piece + n);
            done += n;
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

DibSaveResult SaveDIB(const Dib& dib, const std::filesystem::path& path) {
    return SaveBytes(EncodeDIB(dib), path);
}

DibSaveResult SaveDIB8(const PixelBuffer& picture, const LogPalette& palette,
                       const std::filesystem::path& path) {
    return SaveBytes(EncodeDIB8(picture, palette), path);
}
