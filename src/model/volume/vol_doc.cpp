#include "model/volume/vol_doc.h"

#include "model/dialogs.h"
#include "model/mainframe/running_state.h"
#include "model/resources/string_table.h"
#include "model/volume/user_book.h"
#include "model/volume/volume_frame.h"
#include "model/wait_cursor.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"
#include "platform/text_util.h"

#include <algorithm>
#include <climits>

namespace {

// Buffer sizes of the keys: folders, title, icon and colour are cut to 254
// characters, page entries to 511.
constexpr std::size_t kShortValue = 255;
constexpr std::size_t kPageValue = 512;

// Reads the page keys 1..numPages of a section. Only the keys the file has
// are visited, so a huge NumPages costs nothing; the result is the same as
// asking for every key in turn.
void ReadPageSection(const ProfileText& volume, std::string_view section, int numPages,
                     PageList& list) {
    // The value comes with the key, cut as GetProfileString cuts it: looking
    // each key up again would search the section once per key, which makes
    // a volume of many keys take minutes to open.
    volume.ForEachKey(section, [&](std::string_view key, std::string_view value) {
        int page = PageKeyNumber(key);
        if (page < 1 || page > numPages)
            return;
        value = value.substr(0, value.find('\0'));
        value = value.substr(0, kPageValue - 1);
        if (!value.empty())
            list.Set(page, std::string(value));
    });
}

} // namespace

struct CVolDoc::Content {
    PageList pictureFiles;
    PageList soundFiles;
    std::string title, copyDir, colPath;
    ColorRef backColor = 0;
    CSlideShowInfo slideShow;
};

CVolDoc::CVolDoc(HostPaths& paths, const MciExtensions& mci, const IAudioDevices& devices,
                 IDialogs& dialogs, const RunningState& state)
    : m_paths(paths), m_mci(mci), m_devices(devices), m_dialogs(dialogs), m_state(state) {
    CountPages();
    OnCommandId(ID_SLIDE_SHOW, [this] { OnSlideShow(); });
    OnCommandId(ID_SLIDE_SHOW_SETTINGS, [this] { OnSlideShowSettings(); });
}

InsertDiscPrompt CVolDoc::MakeInsertDiscPrompt(const ProfileText& volume) const {
    InsertDiscPrompt prompt;
    std::string title = GetProfileString(volume, "Volume", "Title", "", kShortValue);
    prompt.text = FormatMessageId(IDS_INSERT_DISC, {title});
    std::string icon = GetProfileString(volume, "Volume", "Icon", "", kShortValue);
    if (!icon.empty() && m_paths.FileExists(icon))
        prompt.iconFile = m_paths.Resolve(icon);
    return prompt;
}

void CVolDoc::ReadContent(const ProfileText& volume, Content& c) const {
    c.copyDir = GetProfileString(volume, "Volume", "CopyDir", "", kShortValue);
    c.colPath = GetProfileString(volume, "Volume", "ColPath", "", kShortValue);
    int numPages = GetProfileInt(volume, "Volume", "NumPages", 0);
    ReadPageSection(volume, "Picture Files", numPages, c.pictureFiles);
    ReadPageSection(volume, "Sound Files", numPages, c.soundFiles);
    c.title = GetProfileString(volume, "Volume", "Title", "", kShortValue);
    c.backColor = static_cast<ColorRef>(
        ParseCInteger(GetProfileString(volume, "Options", "BackColor", "", kShortValue)));
    c.slideShow.m_nStartPage = GetProfileInt(volume, "Slide Show", "StartPage", 0);
    c.slideShow.m_nEndPage = GetProfileInt(volume, "Slide Show", "EndPage", 0);
    c.slideShow.m_bSound = GetProfileInt(volume, "Slide Show", "Sound", 1) != 0;
    c.slideShow.m_bLoop = GetProfileInt(volume, "Slide Show", "Loop", 0) != 0;
    c.slideShow.m_nSeconds = GetProfileInt(volume, "Slide Show", "Seconds", 7);
    c.slideShow.m_bGoBySeconds = GetProfileInt(volume, "Slide Show", "GoBySeconds", 0) != 0;
}

bool CVolDoc::OnOpenDocument(const std::string& pathName) {
    std::optional<std::filesystem::path> file = m_paths.Resolve(pathName);
    std::optional<std::string> bytes;
    if (file && m_paths.FileExists(pathName))
        bytes = ReadWholeFile(*file);
    if (!bytes) {
        std::string shown = file ? file->string() : pathName;
        m_dialogs.MessageBox(FormatMessageId(IDS_CANNOT_FIND_FILE, {shown}),
                             MessageIcon::Exclamation);
        return false;
    }
    ProfileText volume(std::move(*bytes));
    // A file that is not a volume at all (empty, binary, another kind of
    // text) would otherwise ask for a disc of a book with no title, for ever.
    if (!volume.HasSection("Volume")) {
        m_dialogs.MessageBox(FormatMessageId(IDS_NOT_A_VOLUME, {file->string()}),
                             MessageIcon::Exclamation);
        return false;
    }
    // The entries a child changed in a read-only book live in its working
    // copy, so they come back after a restart.
    const std::string fullPath = std::filesystem::absolute(*file).lexically_normal().string();
    const std::optional<UserBook> user =
        m_userCopies ? FindUserBook(fullPath) : std::optional<UserBook>();
    if (user) {
        if (std::optional<ProfileText> copy = ReadWorkingCopy(*user))
            volume = std::move(*copy);
    }

    std::string orgPath = GetProfileString(volume, "Volume", "OrgPath", "", kShortValue);
    while (!m_paths.SetCurrentDirectory(orgPath)) {
        if (!m_dialogs.InsertDisc(MakeInsertDiscPrompt(volume)))
            return false;
    }

    WaitCursorScope wait(m_pWaitCursor);
    Content c;
    ReadContent(volume, c);
    // Taken from the place, not from the working copy's key, which a long
    // data folder would have cut short.
    if (user && !c.copyDir.empty())
        c.copyDir = user->copyFolder.string();
    m_orgPath = std::move(orgPath);
    m_copyDir = std::move(c.copyDir);
    m_colPath = std::move(c.colPath);
    m_canColour = !m_copyDir.empty() && !m_orgPath.empty();
    m_pictureFiles = std::move(c.pictureFiles);
    m_soundFiles = std::move(c.soundFiles);
    CountPages();
    m_title = std::move(c.title);
    m_backColor = c.backColor;
    m_slideShow = c.slideShow;
    m_slideShow.ApplyDefaults(m_pageCount, m_devices);
    SetPathName(fullPath);
    if (m_pFrame)
        m_pFrame->OnVolumeRead();
    return true;
}

void CVolDoc::CountPages() {
    for (PageList* list : {&m_pictureFiles, &m_soundFiles}) {
        if (list->IsEmpty())
            list->AppendEmpty();
        else
            list->TrimTrailingEmpty(2);
    }
    m_pictureCount = static_cast<int>(std::max<std::int64_t>(m_pictureFiles.Size() - 1, 1));
    m_soundCount = static_cast<int>(std::max<std::int64_t>(m_soundFiles.Size() - 1, 1));
    m_pageCount = std::min(std::max(m_pictureCount, m_soundCount), kMaxShownPage);
}

std::string CVolDoc::GetPageFile(int page, PageFileKind kind) const {
    if (page <= 0 || page > kMaxShownPage)
        return {};
    return std::string(List(kind).At(page));
}

bool CVolDoc::HasPageFile(int page, PageFileKind kind) const {
    return page <= List(kind).Size() - 1;
}

void CVolDoc::SetPageFile(int page, PageFileKind kind, std::string name) {
    List(kind).Set(page, std::move(name));
}

std::string CVolDoc::GetCopyPath(int page) const {
    if (m_copyDir.empty())
        return {};
    return JoinStoredPath(m_copyDir, FilePart(GetPageFile(page, PageFileKind::Picture)));
}

std::string CVolDoc::GetOriginalPath(int page) const {
    return JoinStoredPath(m_orgPath, FilePart(GetPageFile(page, PageFileKind::Picture)));
}

SoundPlayability CVolDoc::CanPlaySound(std::optional<std::string_view> name) const {
    std::string file =
        name ? std::string(*name) : GetPageFile(m_state.m_nCurPage, PageFileKind::Sound);
    if (file.empty() || !m_paths.FileExists(file))
        return SoundPlayability::NoFile;
    std::string device = m_mci.DeviceType(MciExtensions::ExtensionOf(file));
    int outputs = 0;
    if (EqualsNoCase(device, "waveaudio"))
        outputs = m_devices.WaveOutCount();
    else if (EqualsNoCase(device, "sequencer"))
        outputs = m_devices.MidiOutCount();
    return outputs > 0 ? SoundPlayability::Playable : SoundPlayability::Unsupported;
}

const KeyTable* CVolDoc::GetDefaultAccelerator() {
    if (m_state.g_bSlideShowRunning || m_state.m_nMode != Mode::Viewer)
        return nullptr;
    return &kKeyTable2;
}

void CVolDoc::OnSlideShow() {
    CSlideShowInfo show = m_slideShow;
    show.m_nStartPage = m_state.m_nCurPage;
    show.ApplyDefaults(m_pageCount, m_devices);
    if (m_pFrame)
        m_pFrame->StartSlideShow(show);
}

void CVolDoc::OnSlideShowSettings() {
    CSlideShowInfo show = m_slideShow;
    show.ApplyDefaults(m_pageCount, m_devices);
    SlideShowDlgData data = SlideShowDlgData::FromRecord(show);
    if (!m_dialogs.SlideShowDialog(data))
        return;
    m_slideShow = data.ToRecord(m_pageCount);
    if (m_pFrame)
        m_pFrame->StartSlideShow(m_slideShow);
}

bool CVolDoc::WriteVolumeKey(std::string_view section, std::string_view key,
                             std::string_view value) const {
    return WriteVolumeKey(GetPathName(), section, key, value);
}

bool CVolDoc::WriteVolumeKey(const std::string& volume, std::string_view section,
                             std::string_view key, std::string_view value) const {
    if (volume.empty())
        return false;
    if (!m_userCopies)
        return WritePrivateProfileString(section, key, value, volume);
    return WriteBookKey(volume, section, key, value);
}

bool CVolDoc::PrepareCopyFolder() const {
    if (!m_userCopies || GetPathName().empty())
        return true;
    const std::optional<UserBook> user = FindUserBook(GetPathName());
    return !user || MakeUserBook(GetPathName(), *user, true);
}
