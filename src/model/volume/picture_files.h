// Switching a page between its pictures (the original line art in OrgPath,
// the child's coloured copy in CopyDir, the ready-coloured one in ColPath,
// all with the page's file part) and keeping the volume file in step: one
// "Picture Files" key "Page<N>" per operation.
#pragma once

#include <string>
#include <string_view>

class CVolDoc;
class IDialogs;
class IWaitCursor;

// What the picture operations ask of the program around it (the main window
// and its view).
class IPictureOwner {
public:
    virtual ~IPictureOwner() = default;
    // Plays the named effect sound ("WHIZZ") to its end.
    virtual void PlayEffect(std::string_view waveName) = 0;
    // The colouring view writes the picture it shows to a stored name, never
    // empty: 1 when the file was written, else 0.
    virtual int SavePicture(const std::string& storedPath) = 0;
    // Switches the main window to viewer mode.
    virtual void SetViewerMode() = 0;
    // The view reloads the page from its entry.
    virtual void LoadPage(int page) = 0;
    // The view loads and shows the picture file of a stored name, never
    // empty (it reports a file it cannot load, as for any page).
    virtual void LoadPicture(const std::string& storedPath) = 0;
};

// True when the page's picture entry names a file: not empty and not a bare
// folder ("PICS\"). The three operations below do nothing on any other page,
// since every location they compute would then be a folder; their buttons'
// update rules use this to disable them there.
bool HasPicturePage(const CVolDoc& doc, int page);

enum class KeepResult {
    Kept,           // saved, entry written, back in viewer mode
    NoCopyFolder,   // the volume names no CopyDir
    SameAsOriginal, // the copy would be the page's original file
    SaveFailed,     // the copy, or a read-only book's copies folder, could not be written
    NoPicture,      // the page names no picture file: nothing was done
};

// The done command on `page`: plays "WHIZZ", saves the coloured picture as
// the page's coloured copy (GetCopyPath), writes the copy path as the page's
// entry ("Picture Files", "Page<N>") to the volume file and to the document,
// switches to viewer mode and reloads the page. A read-only book's copy and
// entry go to its working copy in the user's data (user_book.h), made first.
// A volume file that cannot be written is not reported; the document's entry
// changes all the same.
// When the copy cannot be kept (no CopyDir, a copy path that is the
// original's file, or a failed save) an exclamation message says so, nothing
// is written to the volume or the document and the caller stays in colouring
// mode with its picture, buffers and undo steps as they were.
// On a page without a picture file (HasPicturePage false) nothing at all
// happens, not even the sound. `cursor` may be null.
KeepResult KeepColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, IDialogs& dialogs,
                               IWaitCursor* cursor);

// The "show your coloured picture" command on `page`. Does nothing at all on
// a volume that cannot be coloured or a page without a picture file.
// Otherwise plays "WHIZZ" unless the page's sound is playing, then picks the
// coloured copy when that file exists, else the ready-coloured picture
// (ColPath + "\" + file part) when the volume has a ColPath, else stops
// there. The picked name becomes the page's entry in the document, the view
// shows it (LoadPicture), and it is written to the volume file that was open
// when the command began (a failed write is not reported). Returns true when the entry was changed.
bool ShowColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, bool pageSoundPlaying);

// The "restore the original" command on `page`. Does nothing at all on a page
// without a picture file. Otherwise plays "WHIZZ" unless the page's sound is
// playing, writes the original's name (OrgPath + "\" + file part) as the
// page's entry to the volume file and the document, has the view reload the
// page, and deletes the coloured copy. The copy is deleted only when it is a
// regular file itself (a folder, a device, a pipe or a symbolic link of that
// name is left alone, so nothing is ever deleted through a link) and is not
// the page's original or ready-coloured picture under another spelling (a
// CopyDir that is OrgPath or ColPath, reached through other letter case,
// separators or links). Returns true when a copy was deleted.
bool RestoreOriginalPicture(CVolDoc& doc, int page, IPictureOwner& owner, bool pageSoundPlaying);
