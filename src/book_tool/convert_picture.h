// The book tool's convert command: turns a PNG, JPEG or any bitmap the
// program reads into the 8-bit page file the program itself writes, so a
// book maker's art becomes a page a child can colour. `make` writes its
// pages the same way.
#pragma once

#include "book_tool/line_art.h"
#include "model/log_palette.h"
#include "model/pixel_buffer.h"

#include <filesystem>
#include <ostream>

// The colour table of a converted page: the picture's own palette (its
// colours exactly, in order of appearance, when it has at most 256; else 256
// colours BuildPalette chooses), followed by those of the thirty paint
// colours it lacks, as many as fit in 256 entries (WithPaintColours): the
// palette the program shows and saves the page with.
LogPalette ConvertedPagePalette(const PixelBuffer& picture);

// Writes `picture` to `out` as an uncompressed 8-bit bitmap with the colour
// table above, each pixel its nearest table colour. `out` is written with
// SaveDIB: replaced whole or not at all (rewritten in place only when its
// folder cannot take a new file), through a symbolic link to the link's
// target. An `out` that is not a regular file (a device, a folder) or has no
// write permission is refused and left alone. Reports one line on `report`
// when written, or a message on `err`. Returns kExitOk or kExitUnwritable.
int WritePageFile(const PixelBuffer& picture, const std::filesystem::path& out,
                  std::ostream& report, std::ostream& err);

// One line saying what the clean-up did, for the report.
void ReportCleanUp(const LineArtResult& cleaned, std::ostream& report);

struct ConvertOptions {
    bool clean = false; // run the line-art clean-up before writing
    LineArtOptions lineArt;
};

// Reads `in` (PNG, JPEG or bitmap, picture_reader.h), cleans it up when
// asked, and writes it to `out` with WritePageFile; `out` may be `in`
// itself. An `in` that is not a regular file (a FIFO) is refused at once as
// unreadable. Returns a BookToolExit code: kExitOk, kExitNoInput,
// kExitUnreadable or kExitUnwritable.
int ConvertPicture(const std::filesystem::path& in, const std::filesystem::path& out,
                   const ConvertOptions& options, std::ostream& report, std::ostream& err);
