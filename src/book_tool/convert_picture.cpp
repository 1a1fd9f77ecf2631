#include "book_tool/convert_picture.h"

#include "book_tool/book_tool.h"
#include "book_tool/picture_reader.h"
#include "model/display/colour_match.h"
#include "model/display/dib.h"
#include "model/display/palette_builder.h"

#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::size_t ChangedPixels(const PixelBuffer& before, const PixelBuffer& after) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.PixelCount(); ++i)
        changed += !SameColour(before.Data()[i], after.Data()[i]);
    return changed;
}

const char* SaveFailureReason(DibSaveResult result) {
    switch (result) {
    case DibSaveResult::BadBitmap:
        return "the picture is too large for a bitmap file";
    case DibSaveResult::NotRegularFile:
        return "it is not a regular file (a folder or a device); it was left alone";
    case DibSaveResult::ReadOnly:
        return "the file is read-only; it was left alone";
    case DibSaveResult::Unreachable:
        return "its path or a symbolic link on it leads nowhere";
    case DibSaveResult::CannotCreate:
        return "no new file can be made in its folder";
    case DibSaveResult::WriteFailed:
        return "writing the file failed (is the disc full?)";
    case DibSaveResult::NotSynced:
        return "the new file is in place but its folder could not be synced to the disc";
    default:
        return "the new file cannot take its place";
    }
}

void ReportWritten(const fs::path& out, const Dib& page, std::size_t changed,
                   std::ostream& report) {
    report << "Wrote " << out.string() << ": " << DIBWidth(page) << " x " << DIBHeight(page)
           << " pixels, 8 bits, " << page.colorTable.size() << " colours; ";
    if (changed == 0)
        report << "every pixel kept its colour.\n";
    else
        report << changed << " pixels took the nearest colour of the table.\n";
}

} // namespace

LogPalette ConvertedPagePalette(const PixelBuffer& picture) {
    return WithPaintColours(BuildPalette(picture));
}

int WritePageFile(const PixelBuffer& picture, const fs::path& out, std::ostream& report,
                  std::ostream& err) {
    DibHandle page = ChangeBitmapFormat(picture, 8, kDibRgb, ConvertedPagePalette(picture));
    if (!page) {
        err << "tintaroo-book: cannot write " << out.string() << ": the picture is empty\n";
        return kExitUnwritable;
    }
    if (DibSaveResult result = SaveDIB(*page, out); result != DibSaveResult::Saved) {
        err << "tintaroo-book: cannot write " << out.string() << ": " << SaveFailureReason(result)
            << "\n";
        return kExitUnwritable;
    }
    ReportWritten(out, *page, ChangedPixels(picture, DIBToBitmap(*page)), report);
    return kExitOk;
}

void ReportCleanUp(const LineArtResult& cleaned, std::ostream& report) {
    report << "Cleaned up: black at luminance " << cleaned.threshold << " and below, "
           << cleaned.specks << " specks removed, " << cleaned.bridged << " pixels closing gaps.\n";
}

int ConvertPicture(const fs::path& in, const fs::path& out, const ConvertOptions& options,
                   std::ostream& report, std::ostream& err) {
    std::error_code ec;
    if (!fs::exists(in, ec)) {
        err << "tintaroo-book: no such file: " << in.string() << "\n";
        return kExitNoInput;
    }
    PictureRead read = ReadPicture(in);
    if (!read.Ok()) {
        err << "tintaroo-book: " << in.string() << " " << read.error << "\n";
        return kExitUnreadable;
    }
    if (!options.clean)
        return WritePageFile(read.picture, out, report, err);
    LineArtResult cleaned = CleanLineArt(read.picture, options.lineArt);
    read.picture = {}; // only one picture held at a time
    ReportCleanUp(cleaned, report);
    return WritePageFile(cleaned.picture, out, report, err);
}
