// The bitmap library: reads device-independent bitmap (BMP) files of every
// common kind into a decoded bitmap, turns a picture buffer into an 8-bit
// bitmap with a given palette, and writes bitmaps back to disc.
//
// Toolkit-free. Nothing here throws for bad input: a file that cannot be read
// gives a null handle, a bitmap that cannot be written gives a DibSaveResult
// that says why.
// Any function may run on several threads at once on different bitmaps.
#pragma once

#include "model/log_palette.h"
#include "model/pixel_buffer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Compression codes as a bitmap header stores them.
enum DibCompression : std::uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitFields = 3,
    kDibJpeg = 4,
    kDibPng = 5,
    kDibAlphaBitFields = 6,
};

// Header sizes of the two header families: the core header of the oldest
// files, and the info header (40 bytes; later versions append fields).
constexpr std::uint32_t kDibCoreHeaderSize = 12;
constexpr std::uint32_t kDibInfoHeaderSize = 40;

// The largest picture LoadDIB accepts, in pixels (16384 x 16384). A decoded
// picture of this size takes 1 GiB as a picture buffer.
constexpr std::uint64_t kMaxDibPixels = 16384ull * 16384ull;

struct DibLimits {
    // Pictures with more pixels than this fail to load.
    std::uint64_t maxPixels = kMaxDibPixels;
};

// What a bitmap's header says, as far as the program relies on it.
struct DibHeader {
    std::uint32_t headerSize = kDibInfoHeaderSize; // 12 for a core header
    int width = 0;                                 // pixels, > 0
    int height = 0;                                // pixels, > 0 whatever the row order
    bool topDown = false;                          // rows stored top row first
    int bitCount = 0;                              // 1, 2, 4, 8, 16, 24 or 32
    std::uint32_t compression = kDibRgb;           // a DibCompression code

    // Pictures of 8 bits or fewer hold colour-table indices.
    bool IsIndexed() const { return bitCount <= 8; }
};

// A decoded bitmap: its header facts, its colour table and its pixels.
// A bitmap from LoadDIB or ChangeBitmapFormat always satisfies:
// - indexed (header.IsIndexed()): `indices` holds width x height colour-table
//   indices, top row first; `colorTable` holds at most 256 colours, possibly
//   fewer than the indices reach (an index past the table stands for black);
//   `pixels` is empty.
// - otherwise: `pixels` holds the picture's colours, width x height;
//   `colorTable` and `indices` are empty.
struct Dib {
    DibHeader header;
    std::vector<Pixel> colorTable;
    std::vector<std::uint8_t> indices;
    PixelBuffer pixels;
};

// A bitmap handle: the bitmap or null. The handle owns the bitmap.
using DibHandle = std::unique_ptr<Dib>;

// The start of every reason LoadDIB gives for a failure.
inline constexpr const char kDibReadFailure[] = "cannot be read as a bitmap";

// Reads a bitmap file: a 14-byte file header ("BM"), a core or info header of
// any version, the colour table and the pixel data (uncompressed, RLE8, RLE4
// or bit fields). Returns null when the bytes cannot be read as a bitmap:
// truncated or inconsistent data, a kind of picture the program cannot show
// (embedded JPEG or PNG, CMYK, a height of 0), or more pixels than the limit.
// On failure `why`, when given, receives "cannot be read as a bitmap: " and a
// short reason. Allocates no more than the limit's picture needs.
DibHandle LoadDIB(std::span<const std::uint8_t> bytes, std::string* why = nullptr,
                  const DibLimits& limits = {});
// The same for a file on disc. Only a regular file is read: a FIFO, device
// or folder gives null at once (reason "not a regular file"), as does a file
// that cannot be opened or read, or one larger than any picture within the
// limit can be (8 bytes a pixel and 1 MiB for headers and tables), which is
// refused before anything is allocated. The file is read in one allocation
// of its size.
DibHandle LoadDIB(const std::filesystem::path& path, std::string* why = nullptr,
                  const DibLimits& limits = {});

// LoadDIB of a file and DIBToBitmap of the result, for a view that shows one
// picture after another: `dib` receives the bitmap and `pixels` its colours,
// each decoded once, straight from the file's bytes. Where `dib` or `pixels`
// already holds memory of the size the new picture needs (the picture shown
// before), it is written over: nothing is cleared or allocated again. Fails
// in the cases LoadDIB fails, with the same reasons in `why`; both are then
// empty (a default Dib, an empty buffer).
bool LoadDIBInto(const std::filesystem::path& path, Dib& dib, PixelBuffer& pixels,
                 std::string* why = nullptr, const DibLimits& limits = {});
// The same for a file's bytes in memory.
bool LoadDIBInto(std::span<const std::uint8_t> bytes, Dib& dib, PixelBuffer& pixels,
                 std::string* why = nullptr, const DibLimits& limits = {});

// The colours of a bitmap file alone, as DIBToBitmap(*LoadDIB(bytes)) gives
// them, decoded straight into `pixels` with no bitmap kept in between and no
// copy after. When `pixels` already has the picture's size its memory is
// written over without being cleared first. Fails in the cases LoadDIB
// fails, with the same reasons in `why`; `pixels` is then empty.
bool DecodeDIBPixels(std::span<const std::uint8_t> bytes, PixelBuffer& pixels,
                     std::string* why = nullptr, const DibLimits& limits = {});

int DIBWidth(const Dib& dib);
int DIBHeight(const Dib& dib);

// The bitmap's own palette: version 0x300, one entry per colour-table entry,
// flags 0. No entries for a picture of more than 8 bits per pixel.
LogPalette CreateDIBPalette(const Dib& dib);

// The picture as a buffer of its own colours, exactly as a true-colour
// display shows it (indices past the colour table become black). No palette
// is involved: on a true-colour display the palette in use changes nothing
// that is shown. Returns an empty buffer for a bitmap that breaks the
// invariants of Dib.
PixelBuffer DIBToBitmap(const Dib& dib);

// A new 8-bit uncompressed bitmap of the picture: `bitCount` must be 8 and
// `compression` kDibRgb, otherwise the result is null. Its colour table is
// the palette's entries (at most 256; more give null) and each pixel becomes
// the index of the palette colour nearest to it (squared RGB distance; the
// first of equally near colours). A palette without entries stands for the
// picture's own colours: the palette BuildPalette makes for it. An empty
// picture gives null.
DibHandle ChangeBitmapFormat(const PixelBuffer& picture, int bitCount, std::uint32_t compression,
                             const LogPalette& palette);

// The bytes of a bitmap file for the bitmap: file header, 40-byte info header,
// colour table and rows, bottom row first, uncompressed. An indexed bitmap is
// written with 8 bits per pixel and exactly its colour table; any other with
// 24 bits and no table. Empty when the bitmap breaks the invariants of Dib.
std::vector<std::uint8_t> EncodeDIB(const Dib& dib);

// The bytes EncodeDIB(*ChangeBitmapFormat(picture, 8, kDibRgb, palette))
// gives, made in one pass: each pixel's nearest index goes straight into the
// file's rows. Empty for an empty picture, a palette of more than 256
// entries, or a file too large for its 32-bit size field.
std::vector<std::uint8_t> EncodeDIB8(const PixelBuffer& picture, const LogPalette& palette);

// Results of SaveDIB. Every failure but NotSynced leaves the target as it
// was, unless it failed part way through an in-place rewrite (see below).
enum class DibSaveResult {
    Saved,
    BadBitmap,      // EncodeDIB refused the bitmap
    NotRegularFile, // the target is a folder, device, FIFO or socket
    ReadOnly,       // the target exists but may not be written
    Unreachable,    // the path cannot be followed, or a symbolic link leads nowhere
    CannotCreate,   // no new file can be made in the target's folder
    WriteFailed,    // writing or syncing the new file failed (a full disc)
    CannotReplace,  // the new file could not take the target's place
    NotSynced,      // the new file is in place, but its folder was not synced
};

// Writes the bitmap file of EncodeDIB to `path` with WriteFileAtomically
// (platform/atomic_file.h): through symbolic links to their target, to a new
// temporary file in the same folder that is synced and renamed over the
// target, keeping the old file's mode, so the target is either its old self
// or the complete new file and no temporary file is left. A target that is
// not a regular file or has no write permission is refused untouched; in a
// folder that cannot take a new file, a writable target is rewritten in
// place. Returns Saved when the file was written.
DibSaveResult SaveDIB(const Dib& dib, const std::filesystem::path& path);
// The same for the file of EncodeDIB8: the picture as an 8-bit bitmap with
// the palette's colours. BadBitmap when EncodeDIB8 gives nothing.
DibSaveResult SaveDIB8(const PixelBuffer& picture, const LogPalette& palette,
                       const std::filesystem::path& path);

// Frees the bitmap; the handle becomes null. A null handle is left alone.
void DestroyDIB(DibHandle& dib);
