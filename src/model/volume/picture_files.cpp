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
    // mode keeps it on the screen, with its undo steps.
    if (owner.SavePicture(copy) != 1) {
        problem = FormatMessageId(IDS_CANNOT_SAVE_COPY, {copy});
        return KeepResult::SaveFailed;
    }
    doc.WriteVolumeKey("Picture Files", "Page" + std::to_string(page), copy);
    doc.SetPageFile(page, PageFileKind::Picture, copy);
    owner.SetViewerMode();
    owner.LoadPage(page);
    return KeepResult::Kept;
}

} // namespace

KeepResult KeepColouredPicture(CVolDoc& doc, int page, IPictureOwner& owner, IDialogs& dialogs,
                               IWaitCursor* cursor) {
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
