#include "model/volume/picture_files.h"

#include "model/dialogs.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "model/wait_cursor.h"
#include "platform/host_paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// True when two stored names stand for the same host file, whether it
// exists yet or not: the folders may be spelt in another letter case, with
// other separators, or reached through a symbolic link. Saving the copy over
// the original would lose the line art for good.
bool SameHostFile(const HostPaths& paths, std::string_view a, std::string_view b) {
    const std::optional<fs::path> pa = paths.Resolve(a);
    const std::optional<fs::path> pb = paths.Resolve(b);
    if (!pa || !pb)
        return false;
    std::error_code ec;
    if (fs::equivalent(*pa, *pb, ec))
        return true; // both exist: also catches a copy that links to the original
    if (pa->filename() != pb->filename())
        return false;
    if (fs::equivalent(pa->parent_path(), pb->parent_path(), ec))
        return true;
    return pa->lexically_normal() == pb->lexically_normal();
}

std::string PageKey(int page) {
    return "Page" + std::to_string(page);
}

// Saves the copy and records it; on failure returns the message to show.
KeepResult SaveAndRecord(CVolDoc& doc, int page, IPictureOwner& owner, std::string& problem) {
    owner.PlayEffect("WHIZZ");
    const std::string copy = doc.GetCopyPath(page);
    // Without a copy folder there is no name to save under; an empty name
    // would make the view save over the file it shows, the original.
    if (copy.empty()) {
        problem = FormatMessageId(IDS_NO_COPY_FOLDER, {});
        return KeepResult::NoCopyFolder;
    }
    if (SameHostFile(doc.Paths(), copy, doc.GetOriginalPath(page))) {
        problem = FormatMessageId(IDS_COPY_IS_ORIGINAL, {copy});
        return KeepResult::SameAsOriginal;
    }
    // A copy that was not written must not become the page's entry: the
    // child would lose the colouring with no word said. Staying in colouring
    // mode keeps it on the screen, with its undo steps. A read-only book
    // first needs its working copy and copies folder in the user's data.
    if (!doc.PrepareCopyFolder() || owner.SavePicture(copy) != 1) {
        problem = FormatMessageId(IDS_CANNOT_SAVE_COPY, {copy});
        return KeepResult::SaveFailed;
    }
    doc.WriteVolumeKey("Picture Files", PageKey(page), copy);
    doc.SetPageFile(page, PageFileKind::Picture, copy);
    owner.SetViewerMode();
    owner.LoadPage(page);
    return KeepResult::Kept;
}

// The copy may go only when it is a file of its own: never the original or
// the ready-coloured picture that a CopyDir equal to OrgPath or ColPath (in
// any spelling) would name. DeleteFile itself refuses anything that is not a
// regular file, symbolic links included, so nothing is deleted through a link.
bool DeleteCopy(const CVolDoc& doc, const std::string& copy, const std::string& original,
                const std::string& ready) {
    const HostPaths& paths = doc.Paths();
    if (copy.empty() || !paths.FileExists(copy))
        return false;
    if (SameHostFile(paths, copy, original) || (!ready.empty() && SameHostFile(paths, copy, ready)))
        return false;
    return paths.DeleteFile(copy);
}

} // namespace

bool HasPicturePage(const CVolDoc& doc, int page) {
    return !FilePart(doc.GetPageFile(page, PageFileKind::Picture)).empty();
}

KeepResult KeepColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, IDialogs& dialogs,
                               IWaitCursor* cursor) {
    // Without a file part the copy path would be the copy folder itself.
    if (!HasPicturePage(doc, page))
        return KeepResult::NoPicture;
    std::string problem;
    KeepResult result;
    {
        WaitCursorScope wait(cursor);
        result = SaveAndRecord(doc, page, owner, problem);
    }
    // The message is shown with the ordinary cursor.
    if (!problem.empty())
        dialogs.MessageBox(problem, MessageIcon::Exclamation);
    return result;
}

bool ShowColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, bool pageSoundPlaying) {
    if (!doc.CanColour() || !HasPicturePage(doc, page))
        return false;
    if (!pageSoundPlaying)
        owner.PlayEffect("WHIZZ");
    std::string path = doc.GetCopyPath(page);
    if (!doc.Paths().FileExists(path)) {
        if (doc.GetColPath().empty())
            return false;
        path = JoinStoredPath(doc.GetColPath(),
                              FilePart(doc.GetPageFile(page, PageFileKind::Picture)));
    }
    // The view may report a picture it cannot load, and events run under
    // that message: the entry goes to the volume it belongs to even if
    // another volume was opened meanwhile.
    const std::string volume = doc.GetPathName();
    doc.SetPageFile(page, PageFileKind::Picture, path);
    owner.LoadPicture(path);
    doc.WriteVolumeKey(volume, "Picture Files", PageKey(page), path);
    return true;
}

bool RestoreOriginalPicture(CVolDoc& doc, int page, IPictureOwner& owner, bool pageSoundPlaying) {
    if (!HasPicturePage(doc, page))
        return false;
    if (!pageSoundPlaying)
        owner.PlayEffect("WHIZZ");
    const std::string original = doc.GetOriginalPath(page);
    doc.WriteVolumeKey("Picture Files", PageKey(page), original);
    doc.SetPageFile(page, PageFileKind::Picture, original);
    // Every name is taken before the view reloads the page, since events
    // may run under a message it shows.
    const std::string copy = doc.GetCopyPath(page);
    const std::string ready = doc.GetColPath().empty()
                                  ? std::string()
                                  : JoinStoredPath(doc.GetColPath(), FilePart(original));
    owner.LoadPage(page);
    return DeleteCopy(doc, copy, original, ready);
}
