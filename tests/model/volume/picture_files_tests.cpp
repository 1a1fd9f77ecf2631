#include "model/volume/picture_files.h"

#include "model/display/dib.h"
#include "model/display/page_picture.h"
#include "model/mainframe/running_state.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "model/wait_cursor.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr Pixel kRed = 0xFF0000;

// The main window and its colouring view: a real page picture that saves and
// reloads, with every call recorded (and the wait cursor's depth at a save).
class FakeOwner : public IPictureOwner, public IWaitCursor {
public:
    FakeOwner(const HostPaths& paths, IDialogs& dialogs, const CVolDoc& doc)
        : picture(paths, dialogs), m_doc(doc) {}
    void PlayEffect(std::string_view name) override { calls.push_back(std::string(name)); }
    int SavePicture(const std::string& path) override {
        calls.push_back("save " + path);
        waitDepthAtSave = waitDepth;
        return picture.SavePicture(path);
    }
    void SetViewerMode() override { calls.push_back("viewer"); }
    void LoadPage(int page) override {
        calls.push_back("load " + std::to_string(page));
        picture.LoadPage(m_doc, page);
    }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    ColouringPagePicture picture;
    std::vector<std::string> calls;
    int waitDepth = 0;
    int waitDepthAtSave = -1;

private:
    const CVolDoc& m_doc;
};

class KeepTest : public ::testing::Test {
protected:
    KeepTest() : devices(1, 1) {
        org = dir.MakeDir("Orig");
        copies = dir.MakeDir("copies");
        PixelBuffer lineArt(4, 3, 0xFFFFFF);
        lineArt.Set(0, 0, 0x000000);
        DibHandle page = ChangeBitmapFormat(lineArt, 8, kDibRgb, {0x300, {{255, 255, 255, 0}, {}}});
        EXPECT_EQ(SaveDIB(*page, org / "CAT.BMP"), DibSaveResult::Saved);
        original = ReadFileBytes(org / "CAT.BMP");
    }

    // Opens a volume whose page 1 is CAT.BMP, with the given CopyDir (none
    // when empty), and paints a red dot on the page in colouring mode.
    void Open(const std::string& copyDir) {
        vol = dir.Write("book.vol", "[Volume]\nOrgPath=" + org.string() +
                                        (copyDir.empty() ? "" : "\nCopyDir=" + copyDir) +
                                        "\nNumPages=1\n[Picture Files]\nPage1=CAT.BMP\n");
        doc = std::make_unique<CVolDoc>(paths, mci, devices, dialogs, state);
        ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
        owner = std::make_unique<FakeOwner>(paths, dialogs, *doc);
        ASSERT_EQ(owner->picture.LoadPage(*doc, 1), 1);
        owner->picture.Buffer().Set(2, 1, kRed);
    }

    KeepResult Keep() { return KeepColouredPicture(*doc, 1, *owner, dialogs, owner.get()); }

    TempDir dir;
    fs::path org, copies, vol;
    std::string original;
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices;
    ScriptedDialogs dialogs;
    RunningState state;
    std::unique_ptr<CVolDoc> doc;
    std::unique_ptr<FakeOwner> owner;
};

// The copy is written, its path becomes the page's entry in the volume file
// and the document, and the page comes back from the copy in viewer mode. A
// CopyDir ending in a backslash still gets one added.
TEST_F(KeepTest, KeepingSavesTheCopyAndMakesItThePagesEntry) {
    for (const std::string& copyDir : {copies.string(), copies.string() + "\\"}) {
        SCOPED_TRACE(copyDir);
        Open(copyDir);
        const std::string entry = copyDir + "\\CAT.BMP";
        EXPECT_EQ(Keep(), KeepResult::Kept);
        EXPECT_EQ(owner->calls,
                  (std::vector<std::string>{"WHIZZ", "save " + entry, "viewer", "load 1"}));
        EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, vol), entry);
        EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), entry);
        EXPECT_EQ(owner->picture.CurrentFileName(), entry);
        EXPECT_EQ(owner->picture.Buffer().At(2, 1), kRed);
        EXPECT_EQ(DIBToBitmap(*LoadDIB(copies / "CAT.BMP")).At(2, 1), kRed);
        EXPECT_EQ(ReadFileBytes(org / "CAT.BMP"), original);
        EXPECT_EQ(owner->waitDepthAtSave, 1);
        EXPECT_EQ(owner->waitDepth, 0);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

// A copy that cannot be kept is never saved over the original nor recorded:
// the user is told, and colouring goes on with the painted picture.
TEST_F(KeepTest, ACopyThatCannotBeKeptChangesNothing) {
    fs::create_directory_symlink(org, dir / "link");
    std::string backslashed = org.string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const std::string sameFile =
        "\nThe colored picture cannot be kept: it would replace the original picture.";
    struct Case {
        std::string copyDir;
        KeepResult result;
        std::string message;       // "%" stands for the copy path
        bool originalGone = false; // the original is moved away once the page shows
    };
    const Case cases[] = {
        {"", KeepResult::NoCopyFolder,
         "The colored picture cannot be kept: this book has no folder for colored pictures."},
        {(dir / "ORIG").string(), KeepResult::SameAsOriginal, "%" + sameFile},
        {backslashed, KeepResult::SameAsOriginal, "%" + sameFile},
        {(dir / "link").string(), KeepResult::SameAsOriginal, "%" + sameFile},
        {(dir / "Orig" / ".." / "Orig").string(), KeepResult::SameAsOriginal, "%" + sameFile},
        {(dir / "link").string(), KeepResult::SameAsOriginal, "%" + sameFile, true},
        {(dir / "missing").string(), KeepResult::SaveFailed,
         "%\nThe colored picture cannot be saved."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copyDir);
        Open(c.copyDir);
        dialogs.messages.clear();
        if (c.originalGone)
            fs::rename(org / "CAT.BMP", dir / "aside.bmp");
        const std::string volume = ReadFileBytes(vol);
        EXPECT_EQ(Keep(), c.result);
        std::string message = c.message;
        if (message[0] == '%')
            message.replace(0, 1, c.copyDir + "\\CAT.BMP");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, message);
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(owner->calls.front(), "WHIZZ");
        EXPECT_EQ(owner->calls.size(), c.result == KeepResult::SaveFailed ? 2u : 1u);
        EXPECT_EQ(ReadFileBytes(vol), volume);
        EXPECT_EQ(ReadFileBytes(org / "CAT.BMP"), c.originalGone ? "" : original);
        EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), "CAT.BMP");
        EXPECT_EQ(owner->picture.Buffer().At(2, 1), kRed);
        EXPECT_EQ(owner->waitDepth, 0);
        if (c.originalGone)
            fs::rename(dir / "aside.bmp", org / "CAT.BMP");
    }
}

} // namespace
