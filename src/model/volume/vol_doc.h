// The volume document: everything read from the open volume file, and the
// answers to the questions the rest of the program asks about its pages.
#pragma once

#include "model/framework/document.h"
#include "model/pixel_buffer.h"
#include "model/slideshow/slide_show_info.h"
#include "model/volume/page_list.h"

#include <optional>
#include <string>
#include <string_view>

class HostPaths;
class MciExtensions;
class IAudioDevices;
class IDialogs;
class IVolumeFrame;
class IWaitCursor;
class ProfileText;
struct InsertDiscPrompt;
struct RunningState;

// Which of a page's two entries.
enum class PageFileKind { Picture = 1, Sound = 2 };

// Whether a sound file can be played here (the numbers callers have always seen).
enum class SoundPlayability {
    NoFile = -1,     // no name, or no such file
    Unsupported = 0, // no device type for the extension, or no output device for it
    Playable = 1,
};

// Highest page number whose entries are ever given out, and so the largest
// page count: a book shows pages 1 to 99.
constexpr int kMaxShownPage = 99;

class CVolDoc : public CDocument {
public:
    // The services and the running state are borrowed and must outlive the
    // document. The document changes the current directory of `paths` when a
    // volume opens.
    CVolDoc(HostPaths& paths, const MciExtensions& mci, const IAudioDevices& devices,
            IDialogs& dialogs, const RunningState& state);

    // The main window, or null while there is none.
    void SetFrame(IVolumeFrame* frame) { m_pFrame = frame; }
    // Shown while a volume is read; null for none.
    void SetWaitCursor(IWaitCursor* cursor) { m_pWaitCursor = cursor; }

    // Opens a volume file (a host path or stored name). On success the
    // document holds the new volume, its path name is the file's full host
    // path and the volume's OrgPath is the current directory. A read-only
    // book (user_book.h) is read from its working copy once that exists, and
    // its CopyDir, when it names one, is the working copies folder. On failure
    // (missing file, a file without a [Volume] section, or the insert-disc
    // prompt cancelled) the user has been told and nothing changes: not the
    // document, not its path name, not the current directory.
    bool OnOpenDocument(const std::string& pathName) override;

    // Key table 2 in viewer mode while no slide show runs, else none.
    const KeyTable* GetDefaultAccelerator() override;

    // Commands 311 and 4011 (registered as the document's handlers).
    void OnSlideShow();
    void OnSlideShowSettings();

    // The page's entry; empty for pages <= 0, above 99 or past the list.
    std::string GetPageFile(int page, PageFileKind kind) const;
    // True when page <= the last index of the list.
    bool HasPageFile(int page, PageFileKind kind) const;
    // Stores an entry (page >= 1), growing the list as needed. Counts are not
    // recomputed.
    void SetPageFile(int page, PageFileKind kind, std::string name);
    // CopyDir + "\" + file part of the picture entry; empty while CopyDir is.
    std::string GetCopyPath(int page) const;
    // OrgPath + "\" + file part of the picture entry.
    std::string GetOriginalPath(int page) const;
    // Whether a sound file can be played here. Without a name, the sound
    // entry of the current page.
    SoundPlayability CanPlaySound(std::optional<std::string_view> name = std::nullopt) const;
    // Trims both lists and derives the three counts from them; the page
    // count is the larger list's, at most kMaxShownPage.
    void CountPages();

    // Writes one key into the open volume file (a read-only book's working
    // copy, made on the first write); false when there is none or the write
    // fails.
    bool WriteVolumeKey(std::string_view section, std::string_view key,
                        std::string_view value) const;
    // The same for a volume file that was open earlier (its full host path).
    bool WriteVolumeKey(const std::string& volume, std::string_view section, std::string_view key,
                        std::string_view value) const;
    // Readies the folder coloured copies are saved in: for a read-only
    // book, makes its working copy and copies folder; for any other volume
    // it does nothing. False when they could not be made.
    bool PrepareCopyFolder() const;
    // Whether read-only books go through their working copies (on unless
    // turned off). Off, every volume is read and written as it is: for tools
    // that look at a book itself rather than at one user's colouring.
    void SetUserWorkingCopies(bool on) { m_userCopies = on; }

    const std::string& GetTitle() const { return m_title; }
    const std::string& GetCopyDir() const { return m_copyDir; }
    const std::string& GetOrgPath() const { return m_orgPath; }
    const std::string& GetColPath() const { return m_colPath; }
    int GetPageCount() const { return m_pageCount; }
    int GetPictureCount() const { return m_pictureCount; }
    int GetSoundCount() const { return m_soundCount; }
    ColorRef GetBackColor() const { return m_backColor; }
    void SetBackColor(ColorRef colour) { m_backColor = colour; }
    bool CanColour() const { return m_canColour; }
    const CSlideShowInfo& GetSlideShow() const { return m_slideShow; }
    void SetSlideShow(const CSlideShowInfo& info) { m_slideShow = info; }

    const HostPaths& Paths() const { return m_paths; }

    // What the insert-disc prompt shows for a volume file's content.
    InsertDiscPrompt MakeInsertDiscPrompt(const ProfileText& volume) const;

private:
    struct Content;
    void ReadContent(const ProfileText& volume, Content& c) const;
    const PageList& List(PageFileKind kind) const {
        return kind == PageFileKind::Picture ? m_pictureFiles : m_soundFiles;
    }
    PageList& List(PageFileKind kind) {
        return kind == PageFileKind::Picture ? m_pictureFiles : m_soundFiles;
    }

    PageList m_pictureFiles;
    PageList m_soundFiles;
    std::string m_title;
    std::string m_copyDir;
    std::string m_orgPath;
    std::string m_colPath;
    int m_pageCount = 1;
    int m_pictureCount = 1;
    int m_soundCount = 1;
    ColorRef m_backColor = 0;
    bool m_canColour = false;
    bool m_userCopies = true;
    CSlideShowInfo m_slideShow;

    HostPaths& m_paths;
    const MciExtensions& m_mci;
    const IAudioDevices& m_devices;
    IDialogs& m_dialogs;
    const RunningState& m_state;
    IVolumeFrame* m_pFrame = nullptr;
    IWaitCursor* m_pWaitCursor = nullptr;
};
