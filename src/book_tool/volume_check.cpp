#include "book_tool/volume_check.h"

#include "model/display/dib.h"
#include "model/display/palette_builder.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/profile_file.h"
#include "platform/text_util.h"

#include <algorithm>
#include <climits>

namespace fs = std::filesystem;

namespace {

using Problems = std::vector<std::string>;

void CheckFolders(const CVolDoc& doc, Problems& problems) {
    const HostPaths& paths = doc.Paths();
    if (doc.GetCopyDir().empty()) {
        problems.push_back("CopyDir is empty: the pages cannot be coloured");
    } else if (!paths.DirectoryExists(doc.GetCopyDir())) {
        problems.push_back("CopyDir \"" + doc.GetCopyDir() +
                           "\" is not a folder: coloured pictures cannot be kept");
    } else {
        std::error_code ec;
        if (fs::equivalent(*paths.Resolve(doc.GetCopyDir()), *paths.Resolve(doc.GetOrgPath()), ec))
            problems.push_back("CopyDir \"" + doc.GetCopyDir() +
                               "\" is the same folder as OrgPath: colouring would overwrite the "
                               "original pictures");
    }
    if (!doc.GetColPath().empty() && !paths.DirectoryExists(doc.GetColPath()))
        problems.push_back("ColPath \"" + doc.GetColPath() + "\" is not a folder");
}

// The program reads page keys 1..NumPages only, so entries above it, or all
// of them when NumPages is not a count, are silently lost; the open document
// cannot tell, so the file is read again.
void CheckPageKeys(const CVolDoc& doc, Problems& problems) {
    std::optional<std::string> bytes = ReadWholeFile(doc.GetPathName());
    if (!bytes)
        return;
    const ProfileText volume(std::move(*bytes));
    const int numPages = GetProfileInt(volume, "Volume", "NumPages", 0);
    bool anyEntry = false;
    std::vector<std::string> lines;
    for (const char* section : {"Picture Files", "Sound Files"}) {
        std::string above;
        volume.ForEachKey(section, [&](std::string_view key, std::string_view value) {
            const int page = PageKeyNumber(key);
            if (page == 0 || value.empty())
                return;
            anyEntry = true;
            if (page > numPages)
                above += (above.empty() ? "" : ", ") + std::string(key);
        });
        if (!above.empty())
            lines.push_back("[" + std::string(section) + "] " + above + ": above NumPages (" +
                            std::to_string(numPages) + "), never read");
    }
    if (!anyEntry)
        return;
    if (numPages <= 0) {
        std::optional<std::string_view> raw = volume.Find("Volume", "NumPages");
        problems.push_back(raw && !raw->empty()
                               ? "NumPages \"" + std::string(*raw) +
                                     "\" is not a number above 0: no page is read"
                               : std::string("NumPages is missing: no page is read"));
        return;
    }
    problems.insert(problems.end(), lines.begin(), lines.end());
}

// The folders a book's files are expected in, as host paths with symbolic
// links resolved (so a book reached through a link still counts as itself).
std::vector<fs::path> BookFolders(const CVolDoc& doc) {
    std::vector<fs::path> folders;
    for (const std::string* stored : {&doc.GetOrgPath(), &doc.GetCopyDir(), &doc.GetColPath()}) {
        std::optional<fs::path> host =
            stored->empty() ? std::nullopt : doc.Paths().Resolve(*stored);
        std::error_code ec;
        fs::path folder = host ? fs::weakly_canonical(*host, ec) : fs::path();
        if (!host || ec)
            continue;
        if (!folder.has_filename() && folder.has_parent_path())
            folder = folder.parent_path(); // a trailing separator
        folders.push_back(folder);
    }
    return folders;
}

// An entry may name any file on the machine; a book copied elsewhere keeps
// only its own folders, so entries reaching outside them are worth a warning.
void CheckInsideBook(const CVolDoc& doc, const std::vector<fs::path>& folders,
                     const std::string& what, const std::string& stored, Problems& problems) {
    std::optional<fs::path> host = stored.empty() ? std::nullopt : doc.Paths().Resolve(stored);
    std::error_code ec;
    fs::path file = host ? fs::weakly_canonical(*host, ec) : fs::path();
    if (!host || ec)
        return;
    auto inside = [&](const fs::path& folder) {
        return std::mismatch(folder.begin(), folder.end(), file.begin(), file.end()).first ==
               folder.end();
    };
    if (std::none_of(folders.begin(), folders.end(), inside))
        problems.push_back(what + " \"" + stored + "\" reaches outside the book: " + file.string());
}

// Decodes the picture a page shows exactly as the program does, and judges
// what the child would see of it.
void CheckShownPicture(const CVolDoc& doc, const std::string& where, const std::string& picture,
                       Problems& problems) {
    std::string why;
    DibHandle dib = LoadDIB(*doc.Paths().Resolve(picture), &why);
    const std::string what = where + "picture \"" + picture + "\" ";
    if (!dib) {
        problems.push_back(what + why);
        return;
    }
    const DibHeader& h = dib->header;
    if (h.width > kScreenWidth || h.height > kScreenHeight)
        problems.push_back(what + "is " + std::to_string(h.width) + " x " +
                           std::to_string(h.height) + ", larger than " +
                           std::to_string(kScreenWidth) + " x " + std::to_string(kScreenHeight) +
                           ": the child has to scroll");
    // The program shows and saves an 8-bit page with its own colour table
    // and as many paint colours as still fit; with a full table a painted
    // colour is saved as the nearest colour of the table.
    if (doc.CanColour() && h.bitCount == 8 &&
        !HoldsPaintColours(WithPaintColours(CreateDIBPalette(*dib))))
        problems.push_back(what + "has a full colour table without the paint colours: painted "
                                  "colours will change when saved");
}

void CheckSound(const CVolDoc& doc, const std::string& where, const std::string& sound,
                Problems& problems) {
    switch (doc.CanPlaySound(sound)) {
    case SoundPlayability::NoFile:
        problems.push_back(where + "sound \"" + sound + "\" not found");
        break;
    case SoundPlayability::Unsupported:
        problems.push_back(where + "sound \"" + sound + "\" is of a type no device plays");
        break;
    case SoundPlayability::Playable:
        break;
    }
}

// With a ColPath, the slide show shows a page the child has not coloured
// from there, and the update button looks there too: a missing file is
// reported to the child on every such page.
void CheckReadyColoured(const CVolDoc& doc, const std::string& where, int page,
                        Problems& problems) {
    if (!doc.CanColour() || doc.GetColPath().empty() || !HasPicturePage(doc, page) ||
        doc.Paths().FileExists(doc.GetCopyPath(page)))
        return;
    const std::string ready =
        JoinStoredPath(doc.GetColPath(), FilePart(doc.GetPageFile(page, PageFileKind::Picture)));
    if (!doc.Paths().FileExists(ready))
        problems.push_back(where + "no ready-coloured picture \"" + ready +
                           "\": the slide show will report it missing");
}

void CheckPage(const CVolDoc& doc, const std::vector<fs::path>& folders, int page,
               Problems& problems) {
    const HostPaths& paths = doc.Paths();
    const std::string where = "page " + std::to_string(page) + ": ";
    std::string picture = doc.GetPageFile(page, PageFileKind::Picture);
    if (picture.empty()) {
        problems.push_back(where + "no picture");
    } else if (!paths.FileExists(picture)) {
        std::string original = doc.GetOriginalPath(page);
        if (doc.CanColour() && paths.FileExists(original)) {
            problems.push_back(where + "picture \"" + picture + "\" not found; the original \"" +
                               original + "\" is shown instead");
            CheckShownPicture(doc, where, original, problems);
        } else {
            problems.push_back(where + "picture \"" + picture + "\" not found");
        }
    } else {
        CheckShownPicture(doc, where, picture, problems);
    }
    CheckInsideBook(doc, folders, where + "picture", picture, problems);
    CheckReadyColoured(doc, where, page, problems);
    std::string sound = doc.GetPageFile(page, PageFileKind::Sound);
    if (sound.empty())
        return;
    CheckSound(doc, where, sound, problems);
    CheckInsideBook(doc, folders, where + "sound", sound, problems);
}

} // namespace

int ShownPages(const CVolDoc& doc) {
    return std::min(doc.GetPageCount(), kMaxShownPage);
}

std::vector<std::string> FindVolumeProblems(const CVolDoc& doc) {
    Problems problems;
    CheckFolders(doc, problems);
    CheckPageKeys(doc, problems);
    const std::vector<fs::path> folders = BookFolders(doc);
    for (int page = 1; page <= ShownPages(doc); ++page)
        CheckPage(doc, folders, page, problems);
    // The page count stops at the last page shown; the lists may go on.
    const int listed = std::max(doc.GetPictureCount(), doc.GetSoundCount());
    if (listed > kMaxShownPage)
        problems.push_back("pages 100 to " + std::to_string(listed) +
                           " are never shown: a book shows pages 1 to 99 only");
    return problems;
}
