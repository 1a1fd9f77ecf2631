// Fuzz target of opening a volume: the bytes become a volume file, the
// document opens it as the program does, and every page is walked the way
// the windows ask about it (names, copies, originals, whether its sound can
// play) together with the slide-show settings read from it. Any bytes must
// open or be refused with a message, never crash, hang or allocate without
// bound, and an open volume must keep the document's promises.
//
// The volume sits in a private folder that also holds a picture, a sound, a
// folder named like a picture and a link loop, for seeds whose OrgPath is ".".
#include "model/dialogs.h"
#include "model/mainframe/running_state.h"
#include "model/slideshow/slide_show_dlg_checks.h"
#include "model/volume/vol_doc.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Answers every question with Cancel and counts the messages.
class CancellingDialogs : public IDialogs {
public:
    void MessageBox(const std::string& text, MessageIcon) override {
        Check(!text.empty());
        ++messages;
    }
    bool InsertDisc(const InsertDiscPrompt&) override { return false; }
    bool SlideShowDialog(SlideShowDlgData&) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> OpenVolumeFile() override { return std::nullopt; }
    int messages = 0;
};

// Made once, removed when the program ends.
class Folder {
public:
    Folder() {
        std::string name = (fs::temp_directory_path() / "tintaroo-volume-fuzz-XXXXXX").string();
        Check(::mkdtemp(name.data()) != nullptr);
        path = name;
        std::ofstream(path / "COW.BMP") << "BM";
        std::ofstream(path / "COW.WAV") << "RIFF";
        fs::create_directory(path / "PIG.BMP");
        fs::create_symlink("LOOP.WAV", path / "LOOP.WAV");
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

const fs::path& TheFolder() {
    static const Folder folder;
    return folder.path;
}

void WalkPages(const CVolDoc& doc) {
    Check(doc.GetPageCount() >= 1 && doc.GetPageCount() <= kMaxShownPage);
    Check(doc.GetPictureCount() >= 1 && doc.GetSoundCount() >= 1);
    Check(doc.GetTitle().size() < 255 && doc.GetCopyDir().size() < 255);
    for (int page = 0; page <= doc.GetPageCount() + 1; ++page) {
        for (PageFileKind kind : {PageFileKind::Picture, PageFileKind::Sound}) {
            const std::string name = doc.GetPageFile(page, kind);
            Check(name.size() < 512);
            Check(page >= 1 || name.empty());
            if (!name.empty())
                Check(doc.HasPageFile(page, kind));
            (void)doc.CanPlaySound(name);
            (void)doc.Paths().FileExists(name);
        }
        (void)doc.GetCopyPath(page);
        (void)doc.GetOriginalPath(page);
    }
    Check(doc.GetPageFile(kMaxShownPage + 1, PageFileKind::Picture).empty());
}

// The slide-show settings as the dialog opens with them, pressed Show on.
void CheckSlideShow(const CVolDoc& doc) {
    const SlideShowDlgData data = SlideShowDlgData::FromRecord(doc.GetSlideShow());
    SlideShowDlgFields fields;
    fields.from = std::to_string(data.m_nFrom);
    fields.to = std::to_string(data.m_nTo);
    fields.every = std::to_string(data.m_nEvery);
    const SlideShowDlgOutcome outcome = CheckSlideShowDlg(fields, doc.GetPageCount());
    if (outcome.values) {
        const CSlideShowInfo record = outcome.values->ToRecord(doc.GetPageCount());
        Check(record.m_nStartPage >= 1 && record.m_nStartPage <= record.m_nEndPage);
        Check(record.m_nEndPage <= doc.GetPageCount());
        Check(record.m_nSeconds >= kMinSeconds && record.m_nSeconds <= kMaxSeconds);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path volume = TheFolder() / "BOOK.VOL";
    {
        std::ofstream out(volume, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    HostPaths paths;
    Check(paths.SetCurrentDirectory(TheFolder().string()));
    MciExtensions mci;
    FixedAudioDevices devices(1, 1);
    CancellingDialogs dialogs;
    RunningState state;
    CVolDoc doc(paths, mci, devices, dialogs, state);
    doc.SetFrame(nullptr);
    const bool opened = doc.OnOpenDocument(volume.string());
    if (!opened) {
        Check(dialogs.messages == 1 || dialogs.messages == 0); // 0: the disc prompt cancelled
        Check(doc.GetPathName().empty());
        return 0;
    }
    Check(dialogs.messages == 0);
    WalkPages(doc);
    for (int page = 1; page <= doc.GetPageCount(); ++page) {
        state.m_nCurPage = page;
        (void)doc.CanPlaySound();
    }
    CheckSlideShow(doc);
    doc.OnSlideShowSettings(); // cancelled: nothing changes
    Check(dialogs.messages == 0);
    return 0;
}
