#include "book_tool/make_book.h"

#include "book_tool/book_tool.h"
#include "book_tool/picture_reader.h"
#include "model/volume/vol_doc.h"
#include "platform/atomic_file.h"
#include "platform/host_paths.h"
#include "platform/profile_file.h"
#include "platform/text_util.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMaxSoundBytes = 1ull << 30;
// The longest values the program reads: folders and title, page entries.
constexpr std::size_t kShortValue = 255;
constexpr std::size_t kPageValue = 512;

// A refusal: the exit code and the message for the user.
struct Refusal {
    int code;
    std::string message;
};
using Outcome = std::optional<Refusal>;

struct Page {
    fs::path picture;
    std::optional<fs::path> sound;
    std::string pageName;      // of the page file in OrgPath
    std::string soundName;     // of the copied sound in OrgPath, when there is a sound
    bool soundInPlace = false; // the sound already is that file
};

struct Plan {
    fs::path folder, volume, orgPath, copyDir, colPath;
    std::vector<fs::path> files;  // regular files of the folder
    std::vector<fs::path> inputs; // every file the book is made from
    std::vector<Page> pages;
    std::string volumeText;
};

std::string Quoted(const fs::path& p) {
    return "\"" + p.string() + "\"";
}

bool HasExtension(const fs::path& file, std::initializer_list<const char*> extensions) {
    const std::string ext = ToLowerAscii(file.extension().string());
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const char* e) { return ext == e; });
}

// The folder's file of that name, exactly or else without regard to case.
std::optional<fs::path> FindFile(const std::vector<fs::path>& files, std::string_view name) {
    for (const fs::path& f : files)
        if (f.filename() == name)
            return f;
    for (const fs::path& f : files)
        if (EqualsNoCase(f.filename().string(), name))
            return f;
    return std::nullopt;
}

// A page name the volume stores as it is and the program takes as a bare
// file name: characters that separate paths, start comments, are quotes or
// control characters become '_'.
std::string SafeName(std::string_view stem) {
    std::string name;
    for (unsigned char c : stem)
        name += (c >= 0x80 || std::isalnum(c) || std::strchr(" -_.()+,&!", c)) ? char(c) : '_';
    name = std::string(Trim(name));
    return name.empty() ? std::string("page") : name;
}

Outcome ListFolder(Plan& plan) {
    std::error_code ec;
    if (!fs::is_directory(plan.folder, ec))
        return Refusal{kExitNoInput, "no such folder: " + plan.folder.string()};
    for (fs::directory_iterator it(plan.folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc) && it->path().filename().string()[0] != '.')
            plan.files.push_back(it->path());
    }
    if (ec)
        return Refusal{kExitNoInput, "cannot list the folder " + plan.folder.string()};
    std::sort(plan.files.begin(), plan.files.end());
    return std::nullopt;
}

// The pictures named by pages.txt, in its order.
Outcome PicturesFromList(Plan& plan, const fs::path& list, std::vector<fs::path>& pictures) {
    std::string text;
    if (ReadRegularFile(list, 1 << 20, text) != ReadFileResult::Read)
        return Refusal{kExitUnreadable, "cannot read " + list.string()};
    plan.inputs.push_back(list);
    std::size_t at = 0;
    for (int line = 1; at < text.size(); ++line) {
        std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view raw = std::string_view(text).substr(at, end - at);
        at = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const std::string_view bare = Trim(raw);
        if (bare.empty() || bare[0] == '#')
            continue;
        const std::string where = list.string() + " line " + std::to_string(line) + ": ";
        std::optional<fs::path> file;
        if (bare.find_first_of("/\\") == std::string_view::npos)
            file = FindFile(plan.files, bare);
        if (!file)
            return Refusal{kExitNoInput, where + "no file \"" + std::string(bare) + "\" in " +
                                             plan.folder.string()};
        if (std::find(pictures.begin(), pictures.end(), *file) != pictures.end())
            return Refusal{kExitNoInput, where + "\"" + std::string(bare) + "\" is listed twice"};
        pictures.push_back(*file);
    }
    return std::nullopt;
}

Outcome ChoosePictures(Plan& plan, std::vector<fs::path>& pictures) {
    if (std::optional<fs::path> list = FindFile(plan.files, "pages.txt")) {
        if (Outcome refused = PicturesFromList(plan, *list, pictures))
            return refused;
    } else {
        for (const fs::path& f : plan.files)
            if (HasExtension(f, {".png", ".jpg", ".jpeg", ".bmp"}))
                pictures.push_back(f);
        std::sort(pictures.begin(), pictures.end(), [](const fs::path& a, const fs::path& b) {
            return NaturalLess(a.filename().string(), b.filename().string());
        });
    }
    if (pictures.empty())
        return Refusal{kExitNoInput,
                       plan.folder.string() + " holds no pictures (.png, .jpg, .jpeg or .bmp)"};
    if (pictures.size() > static_cast<std::size_t>(kMaxShownPage))
        return Refusal{kExitNoInput, plan.folder.string() + " holds " +
                                         std::to_string(pictures.size()) +
                                         " pictures, but a book shows 99 pages at most: name "
                                         "the pages in a pages.txt"};
    return std::nullopt;
}

std::optional<fs::path> FindSound(const Plan& plan, const fs::path& picture) {
    for (const char* ext : {".wav", ".ogg", ".mp3", ".mid"})
        for (const fs::path& f : plan.files)
            if (EqualsNoCase(f.stem().string(), picture.stem().string()) &&
                EqualsNoCase(f.extension().string(), ext))
                return f;
    return std::nullopt;
}

Outcome PlanPages(Plan& plan) {
    std::vector<fs::path> pictures;
    if (Outcome refused = ChoosePictures(plan, pictures))
        return refused;
    for (const fs::path& picture : pictures) {
        Page page;
        page.picture = picture;
        page.sound = FindSound(plan, picture);
        page.pageName = SafeName(picture.stem().string()) + ".bmp";
        for (const Page& other : plan.pages)
            if (EqualsNoCase(other.pageName, page.pageName))
                return Refusal{kExitNoInput, Quoted(other.picture) + " and " + Quoted(picture) +
                                                 " would both become the page " + page.pageName +
                                                 ": rename one"};
        plan.inputs.push_back(picture);
        if (page.sound) {
            page.soundName =
                SafeName(picture.stem().string()) + ToLowerAscii(page.sound->extension().string());
            plan.inputs.push_back(*page.sound);
        }
        plan.pages.push_back(std::move(page));
    }
    return std::nullopt;
}

// Builds the volume text key by key and reads each value back as the
// program will, so a value the file cannot hold is refused before anything
// is written.
class VolumeText {
public:
    void Set(std::string_view section, std::string_view key, const std::string& value,
             std::size_t longest) {
        std::optional<std::string> bytes = m_text.WithValue(section, key, value);
        if (bytes)
            m_text = ProfileText(std::move(*bytes));
        if (!bytes || value.size() >= longest ||
            GetProfileString(m_text, section, key, "", longest) != value)
            m_wrong = m_wrong.empty() ? std::string(key) + " \"" + value + "\"" : m_wrong;
    }
    const std::string& Wrong() const { return m_wrong; }
    const std::string& Bytes() const { return m_text.Bytes(); }

private:
    ProfileText m_text;
    std::string m_wrong;
};

void SetSlideShow(VolumeText& v, const MakeOptions& o) {
    auto set = [&](const char* key, std::optional<int> value) {
        if (value)
            v.Set("Slide Show", key, std::to_string(*value), kShortValue);
    };
    set("StartPage", o.startPage);
    set("EndPage", o.endPage);
    set("Sound", o.sound ? std::optional<int>(*o.sound) : std::nullopt);
    set("Loop", o.loop ? std::optional<int>(*o.loop) : std::nullopt);
    set("Seconds", o.seconds);
    set("GoBySeconds", o.goBySeconds ? std::optional<int>(*o.goBySeconds) : std::nullopt);
}

Outcome ComposeVolume(Plan& plan, const MakeOptions& o) {
    const int count = static_cast<int>(plan.pages.size());
    for (const std::optional<int>& page : {o.startPage, o.endPage})
        if (page && *page > count)
            return Refusal{kExitUsage, "the slide show's pages go beyond the book's " +
                                           std::to_string(count) + " pages"};
    std::string title(Trim(o.title.value_or(plan.folder.filename().string())));
    VolumeText v;
    v.Set("Volume", "Title", title, kShortValue);
    HostPaths paths;
    struct Folder {
        const char* key;
        const fs::path& path;
    };
    for (const Folder& f : {Folder{"OrgPath", plan.orgPath}, Folder{"CopyDir", plan.copyDir},
                            Folder{"ColPath", plan.colPath}}) {
        v.Set("Volume", f.key, f.path.string(), kShortValue);
        if (!f.path.empty() && paths.Resolve(f.path.string()) != f.path)
            return Refusal{kExitUnwritable, std::string(f.key) + " " + Quoted(f.path) +
                                                " is not a name the program can store"};
    }
    v.Set("Volume", "NumPages", std::to_string(count), kShortValue);
    for (int i = 0; i < count; ++i)
        v.Set("Picture Files", "Page" + std::to_string(i + 1), plan.pages[i].pageName, kPageValue);
    for (int i = 0; i < count; ++i)
        if (plan.pages[i].sound)
            v.Set("Sound Files", "Page" + std::to_string(i + 1), plan.pages[i].soundName,
                  kPageValue);
    if (o.backColor)
        v.Set("Options", "BackColor", std::to_string(*o.backColor), kShortValue);
    SetSlideShow(v, o);
    if (!v.Wrong().empty())
        return Refusal{kExitUnwritable, "the volume cannot hold the value " + v.Wrong() +
                                            " as it is (too long, or changed when read back)"};
    plan.volumeText = v.Bytes();
    return std::nullopt;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// A file the book is about to write: never one it reads, and an existing
// one only with --force.
Outcome CheckTarget(const Plan& plan, const fs::path& target, bool force) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target, ec)))
        return std::nullopt;
    for (const fs::path& input : plan.inputs)
        if (SameFile(target, input))
            return Refusal{kExitExists, "writing " + target.string() + " would overwrite " +
                                            input.string() + ", which the book is made from"};
    if (!force)
        return Refusal{kExitExists, target.string() + " exists; --force replaces it"};
    return std::nullopt;
}

Outcome CheckTargets(Plan& plan, bool force) {
    if (Outcome refused = CheckTarget(plan, plan.volume, force))
        return refused;
    for (Page& page : plan.pages) {
        if (Outcome refused = CheckTarget(plan, plan.orgPath / page.pageName, force))
            return refused;
        if (!page.sound)
            continue;
        const fs::path copy = plan.orgPath / page.soundName;
        page.soundInPlace = SameFile(copy, *page.sound);
        if (page.soundInPlace)
            continue;
        if (Outcome refused = CheckTarget(plan, copy, force))
            return refused;
    }
    for (const fs::path* folder : {&plan.copyDir, &plan.colPath})
        if (!folder->empty() && (*folder == plan.orgPath || SameFile(*folder, plan.orgPath)))
            return Refusal{kExitUsage, folder->string() +
                                           " is the folder of the pages: colouring would "
                                           "overwrite them"};
    return std::nullopt;
}

Outcome CheckInputsReadable(const Plan& plan) {
    for (const Page& page : plan.pages) {
        PictureRead read = ReadPicture(page.picture);
        if (!read.Ok())
            return Refusal{kExitUnreadable, page.picture.string() + " " + read.error};
        std::string bytes;
        if (page.sound &&
            ReadRegularFile(*page.sound, kMaxSoundBytes, bytes) != ReadFileResult::Read)
            return Refusal{kExitUnreadable, "cannot read the sound " + page.sound->string()};
    }
    return std::nullopt;
}

Outcome MakeFolders(const Plan& plan) {
    for (const fs::path* folder : {&plan.orgPath, &plan.copyDir, &plan.colPath}) {
        if (folder->empty())
            continue;
        std::error_code ec;
        fs::create_directories(*folder, ec);
        if (!fs::is_directory(*folder, ec))
            return Refusal{kExitUnwritable, "cannot make the folder " + folder->string()};
    }
    return std::nullopt;
}

Outcome WritePages(const Plan& plan, const MakeOptions& o, std::ostream& report,
                   std::ostream& err) {
    int number = 0;
    for (const Page& page : plan.pages) {
        report << "Page " << ++number << " from " << page.picture.string() << ":\n";
        PictureRead read = ReadPicture(page.picture);
        if (!read.Ok())
            return Refusal{kExitUnreadable, page.picture.string() + " " + read.error};
        if (o.clean) {
            LineArtResult cleaned = CleanLineArt(read.picture, o.lineArt);
            read.picture = std::move(cleaned.picture);
            ReportCleanUp(cleaned, report);
        }
        if (int rc = WritePageFile(read.picture, plan.orgPath / page.pageName, report, err))
            return Refusal{rc, {}};
        if (!page.sound || page.soundInPlace)
            continue;
        std::string bytes;
        const fs::path copy = plan.orgPath / page.soundName;
        if (ReadRegularFile(*page.sound, kMaxSoundBytes, bytes) != ReadFileResult::Read)
            return Refusal{kExitUnreadable, "cannot read the sound " + page.sound->string()};
        if (!WriteFileAtomically(copy, bytes).Ok())
            return Refusal{kExitUnwritable, "cannot write " + copy.string()};
        report << "Copied the sound " << page.sound->string() << " to " << copy.string() << "\n";
    }
    return std::nullopt;
}

fs::path Absolute(const fs::path& p) {
    std::error_code ec;
    fs::path a = fs::absolute(p, ec).lexically_normal();
    return a.has_filename() || !a.has_parent_path() ? a : a.parent_path();
}

Outcome Make(Plan& plan, const MakeOptions& o, std::ostream& report, std::ostream& err) {
    for (auto step : {ListFolder, PlanPages})
        if (Outcome refused = step(plan))
            return refused;
    if (Outcome refused = ComposeVolume(plan, o))
        return refused;
    if (Outcome refused = CheckTargets(plan, o.force))
        return refused;
    if (Outcome refused = CheckInputsReadable(plan))
        return refused;
    if (Outcome refused = MakeFolders(plan))
        return refused;
    if (Outcome refused = WritePages(plan, o, report, err))
        return refused;
    if (!WriteFileAtomically(plan.volume, plan.volumeText).Ok())
        return Refusal{kExitUnwritable, "cannot write " + plan.volume.string()};
    return std::nullopt;
}

} // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && digit(a[ie]))
                ++ie;
            while (je < b.size() && digit(b[je]))
                ++je;
            // Compare the numbers without their leading zeros: first by length.
            std::string_view x = a.substr(i, ie - i), y = b.substr(j, je - j);
            x.remove_prefix(std::min(x.find_first_not_of('0'), x.size()));
            y.remove_prefix(std::min(y.find_first_not_of('0'), y.size()));
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            i = ie;
            j = je;
            continue;
        }
        const char ca = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const char cb = static_cast<char>(std::tolower(static_cast<unsigned char>(b[j])));
        if (ca != cb)
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b; // names the same but for case or leading zeros: byte order
}

int MakeBook(const MakeOptions& o, std::ostream& report, std::ostream& err) {
    Plan plan;
    plan.folder = Absolute(o.folder);
    plan.volume = Absolute(VolumeName(o.volume));
    const fs::path beside = plan.volume.parent_path();
    const std::string name = plan.volume.stem().string();
    plan.orgPath = beside / (name + " pages");
    plan.copyDir = o.copyDir ? Absolute(*o.copyDir) : beside / (name + " copies");
    // No ColPath unless asked for: the slide show and the update button take
    // a page's ready-coloured picture from ColPath whenever it is set, so an
    // empty folder there would have them report a missing file on every page.
    plan.colPath = o.colPath ? Absolute(*o.colPath) : fs::path();
    if (Outcome refused = Make(plan, o, report, err)) {
        if (!refused->message.empty())
            err << "tintaroo-book: " << refused->message << "\n";
        return refused->code;
    }
    std::size_t sounds = std::count_if(plan.pages.begin(), plan.pages.end(),
                                       [](const Page& p) { return p.sound.has_value(); });
    report << "Made " << plan.volume.string() << ": " << plan.pages.size()
           << (plan.pages.size() == 1 ? " page, " : " pages, ") << sounds << " with a sound.\n";
    return kExitOk;
}
