#include "model/volume/vol_doc.h"

#include "model/mainframe/running_state.h"
#include "model/volume/volume_frame.h"
#include "model/wait_cursor.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace fs = std::filesystem;

namespace {

class FakeFrame : public IVolumeFrame, public IWaitCursor {
public:
    explicit FakeFrame(RunningState& state) : m_state(state) {}
    void OnVolumeRead() override {
        ++volumesRead;
        m_state.m_nCurPage = 1;
    }
    void StartSlideShow(const CSlideShowInfo& info) override { shows.push_back(info); }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    int volumesRead = 0;
    int waitDepth = 0;
    std::vector<CSlideShowInfo> shows;

private:
    RunningState& m_state;
};

class VolDocTest : public ::testing::Test {
protected:
    VolDocTest() : devices(1, 1) {
        org = dir.MakeDir("orig");
        doc = std::make_unique<CVolDoc>(paths, mci, devices, dialogs, state);
        doc->SetFrame(&frame);
        doc->SetWaitCursor(&frame);
    }

    // Writes a volume whose OrgPath is the test's "orig" folder, followed by `rest`.
    fs::path WriteVolume(const std::string& name, const std::string& rest,
                         const std::string& volumeKeys = "") {
        return dir.Write(name, "[Volume]\nOrgPath=" + org.string() + "\n" + volumeKeys + rest);
    }

    TempDir dir;
    fs::path org;
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices;
    ScriptedDialogs dialogs;
    RunningState state;
    FakeFrame frame{state};
    std::unique_ptr<CVolDoc> doc;
};

TEST_F(VolDocTest, NewDocumentIsOneEmptyPage) {
    EXPECT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetPictureCount(), 1);
    EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Picture), "");
    EXPECT_EQ(doc->GetBackColor(), 0u);
    EXPECT_EQ(doc->CanColour(), 0);
    EXPECT_EQ(doc->GetPathName(), "");
}

TEST_F(VolDocTest, OpensTheWorkedExample) {
    dir.Write("orig/COW.BMP", "x");
    auto vol = WriteVolume("animals.vol",
                           "CopyDir=C:\\COLORED\\ANIMALS\nColPath=D:\\ANIMALS\\COLOR\nNumPages=2\n"
                           "Title=Animals\n[Picture Files]\nPage1=COW.BMP\nPage2=PIG.BMP\n"
                           "[Sound Files]\nPage1=COW.WAV\n[Options]\nBackColor=16777215\n");
    ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
    EXPECT_EQ(doc->GetPathName(), vol.string());
    EXPECT_EQ(doc->GetTitle(), "Animals");
    EXPECT_EQ(doc->GetPageCount(), 2);
    EXPECT_EQ(doc->GetPageFile(1, PageFileKind::Sound), "COW.WAV");
    EXPECT_EQ(doc->GetPageFile(2, PageFileKind::Sound), "");
    EXPECT_EQ(doc->CanColour(), 1);
    EXPECT_EQ(doc->GetBackColor(), 0xFFFFFFu);
    EXPECT_EQ(doc->GetCopyPath(1), "C:\\COLORED\\ANIMALS\\COW.BMP");
    EXPECT_EQ(doc->GetOriginalPath(2), org.string() + "\\PIG.BMP");
    EXPECT_EQ(paths.CurrentDirectory(), fs::canonical(org));
    EXPECT_TRUE(paths.FileExists(doc->GetPageFile(1, PageFileKind::Picture)));
    // The window heard of the new volume, and the wait cursor is back.
    EXPECT_EQ(frame.volumesRead, 1);
    EXPECT_EQ(frame.waitDepth, 0);
    // No slide-show section: pages 1 to 2, sounds on, no loop, 7 seconds, wait for sounds.
    const CSlideShowInfo& show = doc->GetSlideShow();
    EXPECT_EQ(show.m_nStartPage, 1);
    EXPECT_EQ(show.m_nEndPage, 2);
    EXPECT_EQ(show.m_nSeconds, 7);
    EXPECT_EQ(show.m_bSound, 1);
    EXPECT_EQ(show.m_bGoBySeconds, 0);
    EXPECT_EQ(show.m_bLoop, 0);
}

TEST_F(VolDocTest, PageCountsFollowTheEntriesPresent) {
    struct Case {
        const char* keys;
        int pictures, sounds, pages;
    } cases[] = {
        {"NumPages=3\n[Picture Files]\nPage1=A.BMP\nPage3=C.BMP\n", 3, 1, 3},
        {"NumPages=5\n[Picture Files]\nPage1=A.BMP\nPage2=B.BMP\n", 2, 1, 2},
        {"NumPages=0\n[Picture Files]\nPage1=A.BMP\n", 1, 1, 1},
        {"NumPages=-4\n[Picture Files]\nPage1=A.BMP\n", 1, 1, 1},
        {"NumPages=4\n[Sound Files]\nPage1=1.WAV\nPage2=2.WAV\nPage3=3.WAV\npage4=4.WAV\n", 1, 4,
         4},
        {"NumPages=9\n[Picture Files]\nPage1=A.BMP\n[Sound Files]\nPage6=S.WAV\n", 1, 6, 6},
        // Keys above NumPages, with leading zeros or empty values are never read.
        {"NumPages=2\n[Picture Files]\nPage1=A.BMP\nPage3=C.BMP\nPage02=B.BMP\nPage2=\n", 1, 1, 1},
        // The first of two keys of the same name wins.
        {"NumPages=2\n[Picture Files]\nPage2=\nPAGE2=B.BMP\n", 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        ASSERT_TRUE(doc->OnOpenDocument(WriteVolume("v.vol", "", c.keys).string()));
        EXPECT_EQ(doc->GetPictureCount(), c.pictures);
        EXPECT_EQ(doc->GetSoundCount(), c.sounds);
        EXPECT_EQ(doc->GetPageCount(), c.pages);
    }
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol", "[Picture Files]\nPage1=A.BMP\nPage3=C.BMP\n", "NumPages=3\n")
            .string()));
    EXPECT_EQ(doc->GetPageFile(2, PageFileKind::Picture), "");
    EXPECT_TRUE(doc->HasPageFile(2, PageFileKind::Picture));
    EXPECT_TRUE(doc->HasPageFile(3, PageFileKind::Picture));
    EXPECT_FALSE(doc->HasPageFile(4, PageFileKind::Picture));
    EXPECT_FALSE(doc->HasPageFile(2, PageFileKind::Sound));
}

// A book shows pages 1 to 99: the page count (the bar's "of N", End, the
// slide show's last page) stops there, whatever the lists hold.
TEST_F(VolDocTest, PagesAbove99AreNeverCountedOrGivenOut) {
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol", "[Picture Files]\nPage1=A.BMP\nPage100=Z.BMP\nPage99=Y.BMP\n",
                    "NumPages=150\n")
            .string()));
    EXPECT_EQ(doc->GetPageCount(), 99);
    EXPECT_EQ(doc->GetPictureCount(), 100);
    EXPECT_EQ(doc->GetSlideShow().m_nEndPage, 99);
    EXPECT_EQ(doc->GetPageFile(99, PageFileKind::Picture), "Y.BMP");
    EXPECT_EQ(doc->GetPageFile(100, PageFileKind::Picture), "");
    EXPECT_EQ(doc->GetPageFile(0, PageFileKind::Picture), "");
    EXPECT_EQ(doc->GetPageFile(-3, PageFileKind::Sound), "");
    EXPECT_TRUE(doc->HasPageFile(100, PageFileKind::Picture));
}

TEST_F(VolDocTest, HugePageNumbersCostNothing) {
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol",
                    "[Picture Files]\nPage1=A.BMP\nPage2000000000=B.BMP\n"
                    "[Sound Files]\nPage2147483647=S.WAV\nPage2147483648=T.WAV\n",
                    "NumPages=2147483647\n")
            .string()));
    EXPECT_EQ(doc->GetPictureCount(), 2000000000);
    EXPECT_EQ(doc->GetSoundCount(), 2147483647);
    EXPECT_EQ(doc->GetPageCount(), 99);
    EXPECT_EQ(doc->GetSlideShow().m_nEndPage, 99);
    EXPECT_TRUE(doc->HasPageFile(2000000000, PageFileKind::Picture));
    EXPECT_FALSE(doc->HasPageFile(2147483647, PageFileKind::Picture));
}

TEST_F(VolDocTest, BackColorReadsAsACIntegerLiteral) {
    struct Case {
        const char* text;
        ColorRef value;
    } cases[] = {{"0xFF0000", 0xFF0000},
                 {"010", 8},
                 {"255", 255},
                 {"abc", 0},
                 {"", 0},
                 {"-1", 0xFFFFFFFF},
                 {"99999999999", 0x7FFFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(doc->OnOpenDocument(
            WriteVolume("v.vol", std::string("[Options]\nBackColor=") + c.text + "\n").string()));
        EXPECT_EQ(doc->GetBackColor(), c.value);
    }
}

TEST_F(VolDocTest, MissingFileIsReportedAndChangesNothing) {
    auto good =
        WriteVolume("good.vol", "[Picture Files]\nPage1=A.BMP\n", "NumPages=1\nTitle=Good\n");
    ASSERT_TRUE(doc->OnOpenDocument(good.string()));
    fs::path cwd = paths.CurrentDirectory();
    dir.MakeDir("a folder.vol");
    for (fs::path bad : {dir / "missing.vol", dir / "a folder.vol"}) {
        dialogs.messages.clear();
        EXPECT_FALSE(doc->OnOpenDocument(bad.string()));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text,
                  "Cannot find file: " + bad.string() +
                      ".\n\nPlease verify that the correct path and filename are given.");
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(doc->GetTitle(), "Good");
    EXPECT_EQ(doc->GetPathName(), good.string());
    EXPECT_EQ(paths.CurrentDirectory(), cwd);
    EXPECT_EQ(frame.volumesRead, 1);
}

TEST_F(VolDocTest, UnreachableOrgPathPromptsUntilCancel) {
    auto good = WriteVolume("good.vol", "", "Title=Good\n");
    ASSERT_TRUE(doc->OnOpenDocument(good.string()));
    fs::path cwd = paths.CurrentDirectory();
    auto onDisc = dir.Write("disc.vol", "[Volume]\nTitle=Farm\nOrgPath=D:\\FARM\nNumPages=1\n"
                                        "[Picture Files]\nPage1=COW.BMP\n");
    dialogs.insertDiscAnswers = {true, true, false};
    EXPECT_FALSE(doc->OnOpenDocument(onDisc.string()));
    ASSERT_EQ(dialogs.prompts.size(), 3u);
    EXPECT_EQ(dialogs.prompts[0].text, "Please insert the \"Farm\" CD. Then press OK.");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(doc->GetTitle(), "Good");
    EXPECT_EQ(doc->GetPathName(), good.string());
    EXPECT_EQ(paths.CurrentDirectory(), cwd);
    EXPECT_EQ(frame.waitDepth, 0);
}

TEST_F(VolDocTest, InsertingTheDiscLetsTheOpenGoOn) {
    fs::path disc = dir.Path() / "cdrom";
    dir.Write("icon.ico", "icon");
    auto vol = dir.Write("disc.vol", "[Volume]\nTitle=Farm\nIcon=" + (dir / "icon.ico").string() +
                                         "\nOrgPath=D:\\FARM\n");
    paths.SetDrives({{'D', disc}});
    dialogs.insertDiscAnswers = {true, true};
    dialogs.onInsertDisc = [&](std::size_t n) {
        if (n == 2)
            dir.MakeDir("cdrom/farm");
    };
    ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    ASSERT_TRUE(dialogs.prompts[0].iconFile);
    EXPECT_EQ(*dialogs.prompts[0].iconFile, dir / "icon.ico");
    EXPECT_EQ(paths.CurrentDirectory(), fs::canonical(disc / "farm"));
}

// A file without a [Volume] section is no book: it is said so, and the book
// that was open stays, rather than asking for a disc with no title for ever.
// A real volume whose folder cannot be reached still asks for its disc.
TEST_F(VolDocTest, FilesThatAreNoVolumeAreSaidSoAndTheOpenBookStays) {
    fs::path good = WriteVolume("good.vol", "[Picture Files]\nPage1=A.BMP\n", "Title=Good\n");
    ASSERT_TRUE(doc->OnOpenDocument(good.string()));
    std::string junk;
    for (int i = 0; i < 50000; ++i)
        junk.push_back(static_cast<char>((i * 131) & 0xFF));
    std::string utf16 = std::string("\xFF\xFE", 2);
    for (char c : std::string("[Volume]\r\nOrgPath=C:\\\r\n"))
        utf16 += std::string(1, c) + '\0';
    const std::vector<fs::path> files = {
        dir.Write("junk.vol", junk), dir.Write("line.vol", std::string(10 << 20, 'a')),
        dir.Write("empty.vol", ""), dir.Write("utf16.vol", utf16),
        dir.Write("other.ini", "[Settings]\nOrgPath=" + org.string() + "\n")};
    for (const fs::path& f : files) {
        dialogs.messages.clear();
        EXPECT_FALSE(doc->OnOpenDocument(f.string())) << f;
        EXPECT_TRUE(dialogs.prompts.empty()) << f;
        ASSERT_EQ(dialogs.messages.size(), 1u) << f;
        EXPECT_EQ(dialogs.messages[0].text,
                  f.string() + "\nThis file is not a book: it has no [Volume] section.");
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(doc->GetTitle(), "Good");
        EXPECT_EQ(doc->GetPathName(), fs::absolute(good).lexically_normal().string());
    }
    dialogs.insertDiscAnswers = {false};
    fs::path away = dir.Write("away.vol", "[Volume]\nOrgPath=Q:\\BOOK\nTitle=Away\n");
    EXPECT_FALSE(doc->OnOpenDocument(away.string()));
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].text, "Please insert the \"Away\" CD. Then press OK.");
}

TEST_F(VolDocTest, CanPlaySoundAnswers) {
    dir.Write("orig/SONG.MID", "m");
    dir.Write("orig/CLIP.AVI", "a");
    dir.Write("orig/talk.wav", "w");
    mci.Set("MID", "SEQUENCER");
    mci.Set("AVI", "avivideo");
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol", "[Sound Files]\nPage1=TALK.WAV\nPage2=NONE.WAV\n", "NumPages=2\n")
            .string()));
    EXPECT_EQ(doc->CanPlaySound("SONG.MID"), SoundPlayability::Playable);
    EXPECT_EQ(doc->CanPlaySound("CLIP.AVI"), SoundPlayability::Unsupported);
    EXPECT_EQ(doc->CanPlaySound("GONE.MID"), SoundPlayability::NoFile);
    EXPECT_EQ(doc->CanPlaySound(""), SoundPlayability::NoFile);
    // Without a name: the current page's sound entry.
    EXPECT_EQ(doc->CanPlaySound(), SoundPlayability::Playable);
    state.m_nCurPage = 2;
    EXPECT_EQ(doc->CanPlaySound(), SoundPlayability::NoFile);

    FixedAudioDevices silent(0, 0);
    CVolDoc quiet(paths, mci, silent, dialogs, state);
    EXPECT_EQ(quiet.CanPlaySound("SONG.MID"), SoundPlayability::Unsupported);
    EXPECT_EQ(quiet.CanPlaySound("TALK.WAV"), SoundPlayability::Unsupported);
}

TEST_F(VolDocTest, SlideShowSecondsZeroFollowsTheDevices) {
    FixedAudioDevices silent(0, 0);
    CVolDoc quiet(paths, mci, silent, dialogs, state);
    auto vol = WriteVolume("v.vol", "[Slide Show]\nSeconds=0\nSound=1\nStartPage=2\nLoop=1\n");
    ASSERT_TRUE(quiet.OnOpenDocument(vol.string()));
    const CSlideShowInfo& show = quiet.GetSlideShow();
    EXPECT_EQ(show.m_nSeconds, 8);
    EXPECT_EQ(show.m_bSound, 0);
    EXPECT_EQ(show.m_bGoBySeconds, 1);
    EXPECT_EQ(show.m_nStartPage, 2);
    EXPECT_EQ(show.m_bLoop, 1);
}

TEST_F(VolDocTest, SlideShowButtonStartsAtTheCurrentPageAndKeepsTheRecord) {
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol", "[Slide Show]\nStartPage=2\n[Picture Files]\nPage6=F.BMP\n",
                    "NumPages=6\n")
            .string()));
    state.m_nCurPage = 5;
    ASSERT_TRUE(doc->OnCommand(ID_SLIDE_SHOW));
    ASSERT_EQ(frame.shows.size(), 1u);
    EXPECT_EQ(frame.shows[0].m_nStartPage, 5);
    EXPECT_EQ(frame.shows[0].m_nEndPage, 6);
    EXPECT_EQ(doc->GetSlideShow().m_nStartPage, 2);
}

TEST_F(VolDocTest, SlideShowSettingsReplaceTheRecordOnlyOnShow) {
    ASSERT_TRUE(doc->OnOpenDocument(
        WriteVolume("v.vol", "[Slide Show]\nGoBySeconds=1\n[Picture Files]\nPage8=H.BMP\n",
                    "NumPages=8\n")
            .string()));
    CSlideShowInfo before = doc->GetSlideShow();
    ASSERT_TRUE(doc->OnCommand(ID_SLIDE_SHOW_SETTINGS)); // cancelled
    EXPECT_TRUE(frame.shows.empty());
    EXPECT_EQ(doc->GetSlideShow(), before);
    ASSERT_EQ(dialogs.slideShowOpenedWith.size(), 1u);
    EXPECT_EQ(dialogs.slideShowOpenedWith[0].m_nPagesChoice, 1);
    EXPECT_EQ(dialogs.slideShowOpenedWith[0].m_nAdvanceChoice, 0);
    EXPECT_EQ(dialogs.slideShowOpenedWith[0].m_nTo, 8);

    SlideShowDlgData answer = dialogs.slideShowOpenedWith[0];
    answer.m_nPagesChoice = 0; // All
    answer.m_nFrom = 3;
    answer.m_nEvery = 12;
    answer.m_nAdvanceChoice = 1; // When Sound Is Done
    answer.m_bRunContinuously = 1;
    dialogs.slideShowAnswer = answer;
    doc->OnSlideShowSettings();
    ASSERT_EQ(frame.shows.size(), 1u);
    const CSlideShowInfo& now = doc->GetSlideShow();
    EXPECT_EQ(now.m_nStartPage, 1);
    EXPECT_EQ(now.m_nEndPage, 8);
    EXPECT_EQ(now.m_nSeconds, 12);
    EXPECT_EQ(now.m_bGoBySeconds, 0);
    EXPECT_EQ(now.m_bLoop, 1);
    EXPECT_EQ(frame.shows[0], now);
}

TEST_F(VolDocTest, KeyTableOnlyInViewerModeWithoutASlideShow) {
    const KeyTable* table = doc->GetDefaultAccelerator();
    ASSERT_EQ(table, &kKeyTable2);
    EXPECT_EQ(LookUpKey(*table, VK_HOME, kModNone), ID_FIRST_PAGE);
    EXPECT_EQ(LookUpKey(*table, VK_END, kModNone), ID_LAST_PAGE);
    EXPECT_EQ(LookUpKey(*table, VK_PRIOR, kModNone), ID_PREV_PAGE);
    EXPECT_EQ(LookUpKey(*table, VK_NEXT, kModNone), ID_NEXT_PAGE);
    EXPECT_EQ(LookUpKey(*table, 'P', kModCtrl), ID_FILE_PRINT);
    EXPECT_EQ(LookUpKey(*table, 'S', kModAlt), ID_PLAY_OR_STOP_KEY);
    EXPECT_FALSE(LookUpKey(*table, 'P', kModNone));
    EXPECT_FALSE(LookUpKey(*table, VK_HOME, kModShift));
    state.m_nMode = Mode::Colouring;
    EXPECT_EQ(doc->GetDefaultAccelerator(), nullptr);
    state.m_nMode = Mode::Viewer;
    state.g_bSlideShowRunning = true;
    EXPECT_EQ(doc->GetDefaultAccelerator(), nullptr);
    state.g_bSlideShowRunning = false;
    EXPECT_EQ(doc->GetDefaultAccelerator(), &kKeyTable2);
}

TEST_F(VolDocTest, WritingAMissingPageKeyAddsItAndKeepsTheRest) {
    std::string before = "[Volume]\nOrgPath=" + org.string() +
                         "\nNumPages=2\n\n[Picture Files]\nPage2=PIG.BMP\n\n[Sound Files]\n";
    auto vol = dir.Write("v.vol", before);
    ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
    ASSERT_TRUE(doc->WriteVolumeKey("Picture Files", "Page1", "C:\\COPIES\\COW.BMP"));
    EXPECT_EQ(ReadFileBytes(vol), "[Volume]\nOrgPath=" + org.string() +
                                      "\nNumPages=2\n\n[Picture Files]\nPage2=PIG.BMP\n"
                                      "Page1=C:\\COPIES\\COW.BMP\n\n[Sound Files]\n");
    // The current directory moved to OrgPath; the write still reaches the volume.
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, vol),
              "C:\\COPIES\\COW.BMP");
}

// A book maker's editor may start the file with a UTF-8 byte-order mark: the
// first section still counts, and a write keeps the mark.
TEST_F(VolDocTest, AByteOrderMarkHidesNoSectionAndStays) {
    const std::string bom = "\xEF\xBB\xBF";
    auto vol = dir.Write("bom.vol", bom + "[Volume]\r\nOrgPath=" + org.string() +
                                        "\r\nTitle=Farm\r\nCopyDir=" + org.string() +
                                        "\\copies\r\n[Picture Files]\r\nPage1=COW.BMP\r\n");
    ASSERT_TRUE(doc->OnOpenDocument(vol.string()));
    EXPECT_EQ(doc->GetTitle(), "Farm");
    EXPECT_TRUE(doc->CanColour());
    ASSERT_TRUE(doc->WriteVolumeKey("Volume", "Title", "Barn"));
    std::string after = ReadFileBytes(vol);
    EXPECT_EQ(after.substr(0, 3), bom);
    EXPECT_NE(after.find("\r\nTitle=Barn\r\n"), std::string::npos);
    EXPECT_EQ(GetPrivateProfileString("Volume", "Title", "", 255, vol), "Barn");
}

TEST_F(VolDocTest, RelativeVolumeNamesBecomeFullPaths) {
    auto vol = WriteVolume("books/rel.vol", "", "Title=Rel\n");
    ASSERT_TRUE(paths.SetCurrentDirectory(dir.Path().string()));
    ASSERT_TRUE(doc->OnOpenDocument("BOOKS\\REL.VOL"));
    EXPECT_EQ(doc->GetPathName(), vol.string());
    EXPECT_TRUE(doc->WriteVolumeKey("Options", "BackColor", "255"));
}

TEST_F(VolDocTest, SetPageFileGrowsTheListAndKeepsElementZeroEmpty) {
    doc->SetPageFile(3, PageFileKind::Picture, "C.BMP");
    doc->SetPageFile(0, PageFileKind::Picture, "ZERO.BMP");
    doc->SetPageFile(-1, PageFileKind::Sound, "NEG.WAV");
    EXPECT_EQ(doc->GetPageFile(3, PageFileKind::Picture), "C.BMP");
    EXPECT_TRUE(doc->HasPageFile(3, PageFileKind::Picture));
    EXPECT_EQ(doc->GetPageFile(0, PageFileKind::Picture), "");
    doc->CountPages();
    EXPECT_EQ(doc->GetPageCount(), 3);
}

} // namespace
