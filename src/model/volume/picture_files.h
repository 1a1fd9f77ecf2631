// Switching a page between its pictures: keeping the picture a child has
// coloured as the page's coloured copy, and keeping the volume file in step.
#pragma once

#include <string>
#include <string_view>

class CVolDoc;
class IDialogs;
class IWaitCursor;

// What keeping a coloured page asks of the program around it (the main
// window and its colouring view).
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
};

enum class KeepResult {
    Kept,           // saved, entry written, back in viewer mode
    NoCopyFolder,   // the volume names no CopyDir
    SameAsOriginal, // the copy would be the page's original file
    SaveFailed,     // the copy could not be written
};

// The done command on `page`: plays "WHIZZ", saves the coloured picture as
// the page's coloured copy (GetCopyPath), writes the copy path as the page's
// entry ("Picture Files", "Page<N>") to the volume file and to the document,
// switches to viewer mode and reloads the page. A volume file that cannot be
// written is not reported; the document's entry changes all the same.
// When the copy cannot be kept (no CopyDir, a copy path that is the
// original's file, or a failed save) an exclamation message says so, nothing
// is written to the volume or the document and the caller stays in colouring
// mode with its picture, buffers and undo steps as they were.
// `cursor` may be null.
KeepResult KeepColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, IDialogs& dialogs,
                               IWaitCursor* cursor);
