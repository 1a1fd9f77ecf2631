#include "book_tool/book_tool.h"

#include "book_tool/convert_picture.h"
#include "book_tool/json_writer.h"
#include "book_tool/make_book.h"
#include "book_tool/volume_check.h"
#include "model/dialogs.h"
#include "model/mainframe/running_state.h"
#include "model/volume/vol_doc.h"
#include "platform/app_settings.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"
#include "platform/text_util.h"

#include <cstdio>
#include <memory>

#ifndef TINTAROO_VERSION
#define TINTAROO_VERSION "0"
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: tintaroo-book info|check VOLUME\n"
    "       tintaroo-book convert PICTURE PAGE [--clean [--speck N] [--gap N]]\n"
    "       tintaroo-book make FOLDER VOLUME [options]\n"
    "\n"
    "Reports on a Tintaroo! volume file (.vol) the way the program reads it,\n"
    "turns pictures into page files, and makes books from folders of pictures.\n"
    "\n"
    "Commands:\n"
    "  info VOLUME    print as JSON what the program reads from the volume: title,\n"
    "                 folders, counts, each page's picture and sound entries with\n"
    "                 the files they resolve to, background colour, slide show\n"
    "  check VOLUME   list what would go wrong for a child, one line each\n"
    "                 (missing, unreadable or oversized pictures, unplayable\n"
    "                 sounds, entries never read or reaching outside the book);\n"
    "                 exit 1 when something would\n"
    "  convert PICTURE PAGE\n"
    "                 write a PNG, JPEG or any bitmap (.bmp) the program can read\n"
    "                 as the page file the program itself writes: 8 bits,\n"
    "                 uncompressed, the picture's own colours (the nearest of 256\n"
    "                 when it has more) followed by the thirty paint colours; PAGE\n"
    "                 is replaced whole or not at all (rewritten in place only\n"
    "                 when its folder is read-only) and may be PICTURE itself; a\n"
    "                 PAGE that is not a regular file, or may not be written, is\n"
    "                 left alone. --clean cleans up the line art first (below)\n"
    "  make FOLDER VOLUME\n"
    "                 make a book of the pictures (.png, .jpg, .jpeg, .bmp) in\n"
    "                 FOLDER, in natural name order (page2 before page10, letter\n"
    "                 case ignored) or in the order of FOLDER/pages.txt (one file\n"
    "                 name a line; blank lines and lines starting with # skipped).\n"
    "                 A sound with a picture's name (.wav, .ogg, .mp3, .mid) is\n"
    "                 its page's sound. For VOLUME Farm it writes Farm.VOL, the\n"
    "                 pages and their sounds in \"Farm pages\" (OrgPath), and makes\n"
    "                 the empty folder \"Farm copies\" (CopyDir) beside it. Every\n"
    "                 picture is read before anything is written; the files it\n"
    "                 reads are never written over.\n"
    "  --help         show this help\n"
    "  --version      show the version\n"
    "\n"
    "Options of make:\n"
    "  --title TEXT          the book's title (default: the folder's name)\n"
    "  --copy-dir DIR        CopyDir instead of \"<VOLUME> copies\"\n"
    "  --col-path DIR        ColPath, the folder of ready-coloured pictures (made\n"
    "                        when missing; default: none)\n"
    "  --force               replace an existing volume and page files\n"
    "  --no-clean            keep the pictures as they are (no clean-up)\n"
    "  --back-color RRGGBB   the viewer's background colour, e.g. FFFFFF\n"
    "  --seconds N           slide show: seconds a page stays (1 to 60)\n"
    "  --start-page N        slide show: first page\n"
    "  --end-page N          slide show: last page\n"
    "  --sound, --no-sound   slide show: play the pages' sounds or not\n"
    "  --loop, --no-loop     slide show: start again after the last page or not\n"
    "  --advance seconds|sound\n"
    "                        slide show: next page after --seconds, or when the\n"
    "                        page's sound ends\n"
    "  Slide-show options not given are left to the program's defaults.\n"
    "\n"
    "Line-art clean-up (make: on unless --no-clean; convert: with --clean):\n"
    "  makes the drawing pure black on white (Otsu's threshold on luminance),\n"
    "  removes black specks and closes small gaps in the outlines, so a fill\n"
    "  stays inside its shape and leaves no grey edge.\n"
    "  --speck N             remove black specks of fewer than N pixels (default 9)\n"
    "  --gap N               close gaps of up to N pixels (default 3; 0: none)\n"
    "\n"
    "A VOLUME without a \".\" in its name gets \".VOL\" added, as in the program.\n\n"
    "Exit codes: 0 fine, 1 problems found, 2 no such volume, picture or folder,\n"
    "a VOLUME that is not a volume (no [Volume] section), a folder without\n"
    "pictures or with more than 99, or a pages.txt naming a missing file,\n"
    "3 the volume's OrgPath folder cannot be reached, 4 a picture (or sound)\n"
    "cannot be read, 5 a page file, folder or volume cannot be written, 6 the\n"
    "volume or a page exists (use --force) or is a file the book is made from,\n"
    "64 wrong usage.\n"
    "Drive letters map through the group [Drives] of $XDG_CONFIG_HOME/Quorvex/Tintaroo!.conf.\n";

// No dialogs in a command-line tool: messages are kept for stderr and the
// insert-disc prompt is answered with Cancel at once.
class ToolDialogs : public IDialogs {
public:
    void MessageBox(const std::string& text, MessageIcon) override { messages.push_back(text); }
    bool InsertDisc(const InsertDiscPrompt&) override {
        promptShown = true;
        return false;
    }
    bool SlideShowDialog(SlideShowDlgData&) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> OpenVolumeFile() override { return std::nullopt; }

    std::vector<std::string> messages;
    bool promptShown = false;
};

// Everything an open volume borrows, kept alive together.
struct Book {
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices{1, 1};
    ToolDialogs dialogs;
    RunningState state; // page 1, viewer mode, no show: as the program starts
    std::unique_ptr<CVolDoc> doc;
};

void LoadSettings(Book& book) {
    LoadAppSettings(AppSettingsFiles()).ApplyTo(book.paths, book.mci);
}

int OpenBook(const std::string& volume, Book& book, std::ostream& err) {
    LoadSettings(book);
    book.doc =
        std::make_unique<CVolDoc>(book.paths, book.mci, book.devices, book.dialogs, book.state);
    // The tool looks at the book itself, not at one user's colouring of it.
    book.doc->SetUserWorkingCopies(false);
    if (book.doc->OnOpenDocument(volume))
        return kExitOk;
    if (book.dialogs.promptShown) {
        fs::path file = book.paths.Resolve(volume).value_or(fs::path(volume));
        std::string title = GetPrivateProfileString("Volume", "Title", "", 255, file);
        std::string org = GetPrivateProfileString("Volume", "OrgPath", "", 255, file);
        err << "tintaroo-book: the pictures of \"" << title << "\" cannot be reached: OrgPath \""
            << org << "\" is not a folder on this machine (is the disc in the drive?)\n";
        return kExitUnreachable;
    }
    for (const std::string& m : book.dialogs.messages)
        err << "tintaroo-book: " << m << "\n";
    return kExitNoVolume;
}

// The host file a stored name resolves to, when that file exists.
std::optional<std::string> ExistingFile(const HostPaths& paths, std::string_view stored) {
    if (stored.empty() || !paths.FileExists(stored))
        return std::nullopt;
    return paths.Resolve(stored)->string();
}

std::string HexColour(ColorRef c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", static_cast<unsigned>(c & 0xFF),
                  static_cast<unsigned>((c >> 8) & 0xFF), static_cast<unsigned>((c >> 16) & 0xFF));
    return buf;
}

void WritePage(JsonWriter& json, const CVolDoc& doc, int page) {
    const HostPaths& paths = doc.Paths();
    std::string picture = doc.GetPageFile(page, PageFileKind::Picture);
    std::string sound = doc.GetPageFile(page, PageFileKind::Sound);
    std::string original = picture.empty() ? std::string() : doc.GetOriginalPath(page);
    std::string copy = picture.empty() ? std::string() : doc.GetCopyPath(page);
    json.BeginObject();
    json.Field("page", page);
    json.Field("picture", picture);
    json.OptionalField("pictureFile", ExistingFile(paths, picture));
    json.Field("sound", sound);
    json.OptionalField("soundFile", ExistingFile(paths, sound));
    json.Field("originalPath", original);
    json.OptionalField("originalFile", ExistingFile(paths, original));
    json.Field("copyPath", copy);
    json.OptionalField("copyFile", ExistingFile(paths, copy));
    json.EndObject();
}

void WriteSlideShow(JsonWriter& json, const CSlideShowInfo& show) {
    json.BeginObject();
    json.Field("startPage", show.m_nStartPage);
    json.Field("endPage", show.m_nEndPage);
    json.Field("seconds", show.m_nSeconds);
    json.Field("goBySeconds", show.m_bGoBySeconds ? 1 : 0);
    json.Field("sound", show.m_bSound ? 1 : 0);
    json.Field("loop", show.m_bLoop ? 1 : 0);
    json.EndObject();
}

} // namespace

std::string VolumeName(const std::string& arg) {
    std::string name = StripQuotationMarks(arg);
    if (!name.empty() && name.find('.') == std::string::npos)
        name += ".VOL";
    return name;
}

void WriteVolumeInfo(const CVolDoc& doc, std::ostream& out) {
    JsonWriter json(out);
    json.BeginObject();
    json.Field("file", doc.GetPathName());
    json.Field("title", doc.GetTitle());
    json.Field("orgPath", doc.GetOrgPath());
    json.Field("copyDir", doc.GetCopyDir());
    json.Field("colPath", doc.GetColPath());
    json.Field("canColour", doc.CanColour() ? 1 : 0);
    json.Field("pageCount", doc.GetPageCount());
    json.Field("pictureCount", doc.GetPictureCount());
    json.Field("soundCount", doc.GetSoundCount());
    json.Field("backColor", doc.GetBackColor());
    json.Field("backColorHex", HexColour(doc.GetBackColor()));
    json.Key("slideShow");
    WriteSlideShow(json, doc.GetSlideShow());
    json.Key("pages");
    json.BeginArray();
    for (int page = 1; page <= ShownPages(doc); ++page)
        WritePage(json, doc, page);
    json.EndArray();
    json.EndObject();
}

int RunBookTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "tintaroo-book " << TINTAROO_VERSION << "\n";
        return kExitOk;
    }
    if (!args.empty() && (args[0] == "convert" || args[0] == "make")) {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        ConvertArgs convert;
        MakeOptions make;
        std::optional<std::string> wrong =
            args[0] == "make" ? ParseMakeArgs(rest, make) : ParseConvertArgs(rest, convert);
        if (wrong) {
            err << "tintaroo-book: " << *wrong << " (see tintaroo-book --help)\n";
            return kExitUsage;
        }
        return args[0] == "make"
                   ? MakeBook(make, out, err)
                   : ConvertPicture(convert.in, convert.out, convert.options, out, err);
    }
    if (args.size() != 2 || (args[0] != "info" && args[0] != "check")) {
        err << kUsage;
        return kExitUsage;
    }
    Book book;
    if (int rc = OpenBook(VolumeName(args[1]), book, err); rc != kExitOk)
        return rc;
    if (args[0] == "info") {
        WriteVolumeInfo(*book.doc, out);
        return kExitOk;
    }
    std::vector<std::string> problems = FindVolumeProblems(*book.doc);
    for (const std::string& p : problems)
        out << p << "\n";
    if (problems.empty())
        out << "No problems found.\n";
    return problems.empty() ? kExitOk : kExitProblems;
}
