#include "model/volume/user_book.h"

#include "fake_picture_owner.h"
#include "model/mainframe/running_state.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"
#include "support/env_guard.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every file under a folder with its bytes, and every folder.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
        entries[fs::relative(e.path(), root).string()] =
            e.is_regular_file() ? ReadFileBytes(e.path()) : "<folder>";
    return entries;
}

std::string Key(const fs::path& volume, const char* section, const char* key) {
    return GetPrivateProfileString(section, key, "", 512, volume);
}

// The one folder under <base>/tintaroo/books, or empty when there is not
// exactly one.
fs::path WorkingFolder(const fs::path& base) {
    std::error_code ec;
    std::vector<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(base / "tintaroo" / "books", ec))
        found.push_back(e.path());
    return found.size() == 1 ? found[0] : fs::path();
}

// An installed book: the volume file and the pictures may not be written,
// nor anything added to their folders. Its CopyDir does not exist.
class ReadOnlyBookTest : public ::testing::Test {
protected:
    ReadOnlyBookTest() : devices(1, 1) {
        book = dir.MakeDir("book");
        SavePage(dir.MakeDir("book/Orig") / "CAT.BMP", 0xFFFFFF);
        SavePage(dir.MakeDir("book/Col") / "CAT.BMP", kBlue);
        WriteVolume();
    }
    ~ReadOnlyBookTest() override { SetReadOnly(false); }

    void WriteVolume() {
        vol = dir.Write("book/book.vol", "[Volume]\nOrgPath=" + Orig() +
                                             "\nCopyDir=" + (book / "copies").string() +
                                             "\nColPath=" + (book / "Col").string() +
                                             "\nNumPages=1\n[Picture Files]\nPage1=CAT.BMP\n");
    }
    void SetReadOnly(bool on) {
        ::chmod(vol.c_str(), on ? 0444 : 0644);
        for (const fs::path& folder : {book / "Orig", book / "Col", book})
            ::chmod(folder.c_str(), on ? 0555 : 0755);
    }
    std::string Orig() const { return (book / "Orig").string(); }

    // Opens a volume file in a new document, as after a restart, and paints
    // a red dot on its page 1.
    void Open(const fs::path& file) {
        owner.reset();
        doc = std::make_unique<CVolDoc>(paths, mci, devices, dialogs, state);
        ASSERT_TRUE(doc->OnOpenDocument(file.string()));
        owner = std::make_unique<FakeOwner>(paths, dialogs, *doc);
        ASSERT_EQ(owner->picture.LoadPage(*doc, 1), 1);
        shownDot = owner->picture.Buffer().At(2, 1);
        owner->picture.Buffer().Set(2, 1, kRed);
    }
    KeepResult Keep() { return KeepColouredPicture(*doc, 1, *owner, dialogs, owner.get()); }

    TempDir dir;
    fs::path book, vol;
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices;
    ScriptedDialogs dialogs;
    RunningState state;
    std::unique_ptr<CVolDoc> doc;
    std::unique_ptr<FakeOwner> owner;
    Pixel shownDot = 0;
};

// Done on a read-only book keeps the copy and the page's entry in the user's
// data; the book's folder stays byte for byte as it was. Opened again, also
// through another name for it, the page shows the copy; Restore goes back to
// the original and deletes the copy, and Show coloured then records the
// ready-coloured picture, all in the working copy.
TEST_F(ReadOnlyBookTest, ColouringIsKeptInTheUsersDataAndComesBack) {
    EnvGuard data("XDG_DATA_HOME", (dir / "data").string());
    SetReadOnly(true);
    const auto before = Snapshot(book);
    Open(vol);
    ASSERT_EQ(Keep(), KeepResult::Kept);
    EXPECT_TRUE(dialogs.messages.empty());
    const fs::path work = WorkingFolder(dir / "data");
    EXPECT_TRUE(std::regex_match(work.filename().string(), std::regex("book-[0-9a-f]{8}")));
    const fs::path working = work / "book.vol";
    const std::string copy = (work / "copies").string() + "\\CAT.BMP";
    EXPECT_EQ(DIBToBitmap(*LoadDIB(work / "copies" / "CAT.BMP")).At(2, 1), kRed);
    EXPECT_EQ(Key(working, "Picture Files", "Page1"), copy);
    EXPECT_EQ(Key(working, "Volume", "CopyDir"), (work / "copies").string());
    EXPECT_EQ(doc->GetPathName(), vol.string());
    EXPECT_EQ(Snapshot(book), before);

    fs::create_directory_symlink(book, dir / "link");
    for (const fs::path& name : {vol, dir / "link" / "book.vol"}) {
        SCOPED_TRACE(name);
        Open(name);
        EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), copy);
        EXPECT_EQ(shownDot, kRed);
    }
    EXPECT_TRUE(RestoreOriginalPicture(*doc, 1, *owner, false));
    EXPECT_FALSE(fs::exists(work / "copies" / "CAT.BMP"));
    EXPECT_EQ(Key(working, "Picture Files", "Page1"), Orig() + "\\CAT.BMP");
    EXPECT_EQ(owner->picture.Buffer().At(2, 1), 0xFFFFFFu);
    EXPECT_TRUE(ShowColouredPicture(*doc, 1, *owner, false));
    EXPECT_EQ(Key(working, "Picture Files", "Page1"), (book / "Col").string() + "\\CAT.BMP");
    EXPECT_EQ(WorkingFolder(dir / "data"), work);
    EXPECT_EQ(Snapshot(book), before);
}

// The user's data folder follows the base-directory rules (an unset, empty
// or relative XDG_DATA_HOME means ~/.local/share); a book the user may write
// keeps its copies and entries beside itself and makes no data folder.
TEST_F(ReadOnlyBookTest, WhereTheCopyIsKept) {
    const fs::path home = dir / "home";
    struct Case {
        std::optional<std::string> xdg; // none: unset
        bool readOnly;
        fs::path base; // the data folder; empty: beside the book
    };
    const Case cases[] = {
        {(dir / "data").string(), true, dir / "data"},
        {std::nullopt, true, home / ".local" / "share"},
        {"", true, home / ".local" / "share"},
        {"relative/data", true, home / ".local" / "share"},
        {(dir / "data").string(), false, {}},
    };
    EnvGuard homeGuard("HOME", home.string());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xdg.value_or("unset") + (c.readOnly ? " read-only" : " writable"));
        EnvGuard xdg("XDG_DATA_HOME", c.xdg.value_or(""));
        if (!c.xdg)
            ::unsetenv("XDG_DATA_HOME");
        if (!c.readOnly)
            fs::create_directory(book / "copies");
        SetReadOnly(c.readOnly);
        const std::string volume = ReadFileBytes(vol);
        Open(vol);
        ASSERT_EQ(Keep(), KeepResult::Kept);
        if (c.readOnly) {
            const fs::path work = WorkingFolder(c.base);
            EXPECT_TRUE(fs::is_regular_file(work / "copies" / "CAT.BMP"));
            EXPECT_EQ(Key(work / "book.vol", "Picture Files", "Page1"),
                      (work / "copies").string() + "\\CAT.BMP");
            EXPECT_EQ(ReadFileBytes(vol), volume);
            EXPECT_FALSE(fs::exists(book / "copies"));
        } else {
            EXPECT_TRUE(fs::is_regular_file(book / "copies" / "CAT.BMP"));
            EXPECT_EQ(Key(vol, "Picture Files", "Page1"), (book / "copies").string() + "\\CAT.BMP");
            EXPECT_FALSE(fs::exists(dir / "data"));
        }
        SetReadOnly(false);
        for (const fs::path& made : {dir / "data", home, book / "copies"})
            fs::remove_all(made);
        WriteVolume();
    }
}

// When the working copy cannot be made (a file stands where the data folder
// should be), Done says the picture cannot be saved and colouring goes on:
// nothing recorded, the painting still on the page, the book untouched.
TEST_F(ReadOnlyBookTest, AUserDataFolderThatCannotBeMadeKeepsTheColouring) {
    const fs::path blocker = dir.Write("data", "not a folder");
    EnvGuard data("XDG_DATA_HOME", blocker.string());
    SetReadOnly(true);
    const auto before = Snapshot(book);
    Open(vol);
    EXPECT_EQ(Keep(), KeepResult::SaveFailed);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              doc->GetCopyPath(1) + "\nThe colored picture cannot be saved.");
    EXPECT_EQ(doc->GetCopyPath(1).rfind(blocker.string(), 0), 0u);
    EXPECT_EQ(owner->calls, std::vector<std::string>{"WHIZZ"});
    EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), "CAT.BMP");
    EXPECT_EQ(owner->picture.Buffer().At(2, 1), kRed);
    EXPECT_EQ(ReadFileBytes(blocker), "not a folder");
    EXPECT_EQ(Snapshot(book), before);
}

} // namespace
