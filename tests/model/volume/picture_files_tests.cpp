#include "model/volume/picture_files.h"

#include "fake_picture_owner.h"
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

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace fs = std::filesystem;

namespace {

class PictureFilesTest : public ::testing::Test {
protected:
    PictureFilesTest() : devices(1, 1) {
        org = dir.MakeDir("Orig");
        copies = dir.MakeDir("copies");
        col = dir.MakeDir("Col");
        SavePage(org / "CAT.BMP", 0xFFFFFF);
        SavePage(col / "CAT.BMP", kBlue);
        original = ReadFileBytes(org / "CAT.BMP");
        ready = ReadFileBytes(col / "CAT.BMP");
    }

    // Opens a volume whose page 1 is `entry`, with the given CopyDir and
    // ColPath (none when empty). On a page of CAT.BMP, paints a red dot on
    // the page in colouring mode.
    void Open(const std::string& copyDir, const std::string& colPath = "",
              const std::string& entry = "CAT.BMP") {
        vol = dir.Write("book.vol", "[Volume]\nOrgPath=" + org.string() +
                                        (copyDir.empty() ? "" : "\nCopyDir=" + copyDir) +
                                        (colPath.empty() ? "" : "\nColPath=" + colPath) +
                                        "\nNumPages=1\n[Picture Files]\nPage1=" + entry + "\n");
        doc = std::make_unique<CVolDoc>(paths, mci, devices, dialogs, state);
        ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
        owner = std::make_unique<FakeOwner>(paths, dialogs, *doc);
        if (entry != "CAT.BMP")
            return;
        ASSERT_EQ(owner->picture.LoadPage(*doc, 1), 1);
        owner->picture.Buffer().Set(2, 1, kRed);
    }

    KeepResult Keep() { return KeepColouredPicture(*doc, 1, *owner, dialogs, owner.get()); }
    bool Show(bool soundPlaying = false) {
        return ShowColouredPicture(*doc, 1, *owner, soundPlaying);
    }
    bool Restore(bool soundPlaying = false) {
        return RestoreOriginalPicture(*doc, 1, *owner, soundPlaying);
    }
    std::string VolumeEntry() const {
        return GetPrivateProfileString("Picture Files", "Page1", "", 512, vol);
    }

    TempDir dir;
    fs::path org, copies, col, vol;
    std::string original, ready;
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
TEST_F(PictureFilesTest, KeepingSavesTheCopyAndMakesItThePagesEntry) {
    for (const std::string& copyDir : {copies.string(), copies.string() + "\\"}) {
        SCOPED_TRACE(copyDir);
        Open(copyDir);
        const std::string entry = copyDir + "\\CAT.BMP";
        EXPECT_EQ(Keep(), KeepResult::Kept);
        EXPECT_EQ(owner->calls,
                  (std::vector<std::string>{"WHIZZ", "save " + entry, "viewer", "load 1"}));
        EXPECT_EQ(VolumeEntry(), entry);
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
TEST_F(PictureFilesTest, ACopyThatCannotBeKeptChangesNothing) {
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

// Show coloured picks the copy, else the ready-coloured picture, records it
// and shows it; its sound is silent while the page sound plays, and a volume
// that cannot be coloured ignores the command altogether.
TEST_F(PictureFilesTest, ShowingColouredPicksTheCopyElseTheReadyColouredPicture) {
    const std::string copy = copies.string() + "\\CAT.BMP";
    const std::string colour = col.string() + "\\CAT.BMP";
    struct Case {
        std::string copyDir, colPath;
        bool kept, soundPlaying;
        std::string shown; // the new entry; empty: nothing changes
        Pixel dot = kRed;
        bool whizz = true;
    };
    const Case cases[] = {
        {copies.string(), col.string(), true, false, copy},
        {copies.string() + "\\", "", true, false, copies.string() + "\\\\CAT.BMP"},
        {copies.string(), col.string(), false, false, colour, kBlue},
        {copies.string(), col.string(), false, true, colour, kBlue, false},
        {copies.string(), "", false, false, ""},
        {"", col.string(), false, false, "", kRed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copyDir + " | " + c.colPath + (c.kept ? " kept" : "") +
                     (c.soundPlaying ? " playing" : ""));
        Open(c.copyDir, c.colPath);
        if (c.kept) {
            ASSERT_EQ(Keep(), KeepResult::Kept);
        }
        owner->calls.clear();
        const std::string volume = ReadFileBytes(vol);
        const std::string before = doc->GetPageFile(1, PageFileKind::Picture);
        EXPECT_EQ(Show(c.soundPlaying), !c.shown.empty());
        std::vector<std::string> calls;
        if (c.whizz)
            calls.push_back("WHIZZ");
        if (!c.shown.empty())
            calls.push_back("show " + c.shown);
        EXPECT_EQ(owner->calls, calls);
        if (c.shown.empty()) {
            EXPECT_EQ(ReadFileBytes(vol), volume);
            EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), before);
        } else {
            EXPECT_EQ(VolumeEntry(), c.shown);
            EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), c.shown);
            EXPECT_EQ(owner->picture.CurrentFileName(), c.shown);
        }
        EXPECT_EQ(owner->picture.Buffer().At(2, 1), c.dot);
        EXPECT_EQ(ReadFileBytes(col / "CAT.BMP"), ready);
        fs::remove(copies / "CAT.BMP");
    }
}

// The view's message for a picture it cannot load lets events run: a volume
// opened under it is not given the old volume's entry.
TEST_F(PictureFilesTest, ShowingWritesTheEntryToTheVolumeItBelongsTo) {
    Open(copies.string(), (dir / "nowhere").string());
    const fs::path other = dir.Write("other.vol", "[Volume]\nOrgPath=" + org.string() +
                                                      "\n[Picture Files]\nPage1=DOG.BMP\n");
    owner->whileShowing = [&] { ASSERT_TRUE(doc->OnOpenDocument(other.string())); };
    EXPECT_TRUE(Show());
    EXPECT_EQ(VolumeEntry(), (dir / "nowhere").string() + "\\CAT.BMP");
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, other), "DOG.BMP");
}

// Restore makes the original the page's entry in full, even from a bare
// name, reloads it and throws the copy away; with no copy it still resets
// the entry. Its sound is silent while the page sound plays.
TEST_F(PictureFilesTest, RestoringResetsTheEntryAndDeletesTheCopy) {
    const std::string entry = org.string() + "\\CAT.BMP";
    for (const bool kept : {true, false}) {
        SCOPED_TRACE(kept ? "kept" : "not kept");
        Open(copies.string());
        if (kept) {
            ASSERT_EQ(Keep(), KeepResult::Kept);
            ASSERT_TRUE(fs::is_regular_file(copies / "CAT.BMP"));
        }
        owner->calls.clear();
        EXPECT_EQ(Restore(!kept), kept);
        const std::vector<std::string> calls{"WHIZZ", "load 1"};
        EXPECT_EQ(owner->calls, std::vector(calls.begin() + (kept ? 0 : 1), calls.end()));
        EXPECT_FALSE(fs::exists(copies / "CAT.BMP"));
        EXPECT_EQ(VolumeEntry(), entry);
        EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), entry);
        EXPECT_EQ(owner->picture.CurrentFileName(), entry);
        EXPECT_EQ(owner->picture.Buffer().At(2, 1), 0xFFFFFFu);
        EXPECT_EQ(ReadFileBytes(org / "CAT.BMP"), original);
    }
}

// A page whose entry names no file (empty, or a bare folder) would have each
// operation record or delete a folder name: none of them does anything there.
TEST_F(PictureFilesTest, APageWithoutAPictureFileIsLeftAlone) {
    for (const std::string entry : {"", "PICS\\"}) {
        for (int op = 0; op < 3; ++op) {
            SCOPED_TRACE(entry + " op " + std::to_string(op));
            Open(copies.string(), col.string(), entry);
            EXPECT_FALSE(HasPicturePage(*doc, 1));
            const std::string volume = ReadFileBytes(vol);
            if (op == 0)
                EXPECT_EQ(Keep(), KeepResult::NoPicture);
            else
                EXPECT_FALSE(op == 1 ? Show() : Restore());
            EXPECT_TRUE(owner->calls.empty());
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(ReadFileBytes(vol), volume);
            EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), entry);
        }
    }
    Open(copies.string(), "", "PICS\\CAT.BMP");
    EXPECT_TRUE(HasPicturePage(*doc, 1));
}

// Restore deletes only a copy of its own: never the original or the
// ready-coloured picture named through a CopyDir that is OrgPath or ColPath
// in another spelling, and never a folder, pipe or link.
TEST_F(PictureFilesTest, RestoringNeverDeletesAnythingButACopy) {
    fs::create_directory_symlink(org, dir / "link");
    const fs::path elsewhere = dir.Write("elsewhere.bmp", "picture");
    std::string backslashed = org.string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const fs::path made = copies / "CAT.BMP";
    struct Case {
        std::string copyDir, colPath;
        std::function<void()> make; // puts something at copies/CAT.BMP
    };
    const Case cases[] = {
        {org.string(), "", nullptr},
        {(dir / "ORIG").string(), "", nullptr},
        {backslashed, "", nullptr},
        {(dir / "link").string(), "", nullptr},
        {col.string(), col.string(), nullptr},
        {(dir / "col").string(), col.string(), nullptr},
        {copies.string(), "", [&] { fs::create_directory(made); }},
        {copies.string(), "", [&] { ASSERT_EQ(mkfifo(made.c_str(), 0600), 0); }},
        {copies.string(), "", [&] { fs::create_symlink(elsewhere, made); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copyDir);
        if (c.make)
            c.make();
        const fs::file_type madeType = fs::symlink_status(made).type();
        Open(c.copyDir, c.colPath);
        EXPECT_FALSE(Restore());
        EXPECT_EQ(VolumeEntry(), org.string() + "\\CAT.BMP");
        EXPECT_EQ(ReadFileBytes(org / "CAT.BMP"), original);
        EXPECT_EQ(ReadFileBytes(col / "CAT.BMP"), ready);
        EXPECT_EQ(ReadFileBytes(elsewhere), "picture");
        EXPECT_EQ(fs::symlink_status(made).type(), madeType);
        fs::remove(made);
    }
}

} // namespace
