// Books made to hurt the program: giant and lying pictures, junk, folders,
// FIFOs, link loops and unreadable files where pictures, sounds or the volume
// itself should be. Each is opened and paged through in the real main window
// and view with scripted dialogs: the user sees a message that names the file
// and the problem, or nothing, and the next page still works. A watchdog ends
// the test program when a step does not return (a blocked open of a FIFO).
#include "app/volume_app.h"

#include "colouring/my_image_view.h"
#include "mainframe/main_frame.h"
#include "model/display/dib.h"
#include "model/volume/vol_doc.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <csignal>
#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Runs a step that must return: when it has not after `seconds` (a generous
// bound; nothing here waits on anything), the test program ends with the
// step's name instead of hanging the run.
void MustReturn(const std::string& what, const std::function<void()>& step, unsigned seconds = 10) {
    static char s_what[256];
    std::snprintf(s_what, sizeof s_what, "hung: %s\n", what.c_str());
    std::signal(SIGALRM, [](int) {
        [[maybe_unused]] const ssize_t n = ::write(2, s_what, std::strlen(s_what));
        ::_exit(1);
    });
    ::alarm(seconds);
    step();
    ::alarm(0);
}

void PutLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The headers and colour table of an uncompressed indexed bitmap: what a
// file holds before its pixel rows.
std::string IndexedBmpHead(int width, int height, int bits) {
    const std::uint32_t colours = 1u << bits;
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    std::string b = "BM";
    PutLe(b, static_cast<std::uint32_t>(offset + stride * height), 4);
    PutLe(b, 0, 4);
    PutLe(b, offset, 4);
    for (std::uint32_t v : {40u, std::uint32_t(width), std::uint32_t(height)})
        PutLe(b, v, 4);
    PutLe(b, 1, 2);
    PutLe(b, static_cast<std::uint32_t>(bits), 2);
    for (int i = 0; i < 6; ++i)
        PutLe(b, i == 4 ? colours : 0, 4); // compression .. important colours
    for (std::uint32_t i = 0; i < colours; ++i)
        PutLe(b, i == 0 ? 0xFFFFFF : 0, 4); // white, then black
    return b;
}

// A whole picture of white pixels without the bytes on disc: the headers,
// then a hole up to the file's full size.
void WriteSparsePicture(const fs::path& file, int width, int height, int bits) {
    const std::string head = IndexedBmpHead(width, height, bits);
    std::ofstream(file, std::ios::binary) << head;
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    fs::resize_file(file, head.size() + stride * height);
}

std::string Junk(std::size_t bytes) {
    std::mt19937 random(7);
    std::string s(bytes, '\0');
    for (char& c : s)
        c = static_cast<char>(random());
    return s;
}

void MakeFifo(const fs::path& file) {
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
}

// Two links that lead to each other.
void MakeLinkLoop(const fs::path& file) {
    fs::create_symlink(file.filename().string() + ".OTHER", file);
    fs::create_symlink(file.filename(), file.string() + ".OTHER");
}

// A hostile file of one kind, made under the name a book gives it, and the
// words the message about it must hold ("" for none).
struct Hostile {
    const char* what;
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* says;
};

constexpr char kNotFound[] = "Cannot find file";
constexpr int kGoodWidth = 32;

class HostileBookTest : public ::testing::Test {
protected:
    HostileBookTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        pages = dir.MakeDir("pages");
        PixelBuffer p(kGoodWidth, 24, 0xFFFFFF);
        p.Set(1, 1, 0xFF0000);
        DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, {});
        EXPECT_EQ(SaveDIB(*dib, pages / "GOOD.BMP"), DibSaveResult::Saved);
    }

    // A volume whose pages show `pictures` and play `sounds`, in order.
    fs::path Book(const std::string& name, const std::vector<std::string>& pictures,
                  const std::vector<std::string>& sounds = {}) {
        std::string text = "[Volume]\nTitle=Hostile\nOrgPath=" + pages.string() +
                           "\nNumPages=" + std::to_string(pictures.size()) + "\n[Picture Files]\n";
        for (std::size_t i = 0; i < pictures.size(); ++i)
            text += "Page" + std::to_string(i + 1) + "=" + pictures[i] + "\n";
        text += "[Sound Files]\n";
        for (std::size_t i = 0; i < sounds.size(); ++i)
            text += "Page" + std::to_string(i + 1) + "=" + sounds[i] + "\n";
        return dir.Write(name, text);
    }

    // Starts on the recording output, or on SDL's dummy output when null.
    void Start(IAudio* audio) {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, audio);
        ASSERT_TRUE(app->InitInstance());
    }

    // Goes to a page; true when exactly one message came, holding the file's
    // name and `says`, or none came when `says` is empty.
    ::testing::AssertionResult GoToPageTold(int page, const std::string& name,
                                            const std::string& says, unsigned seconds = 10) {
        const std::size_t before = dialogs.messages.size();
        MustReturn(
            "page " + std::to_string(page) + " " + name, [&] { app->Frame().GoToPage(page); },
            seconds);
        return Told(before, name, says);
    }

    ::testing::AssertionResult Told(std::size_t before, const std::string& name,
                                    const std::string& says) {
        const std::size_t came = dialogs.messages.size() - before;
        if (says.empty() && came == 0)
            return ::testing::AssertionSuccess();
        if (says.empty() || came != 1)
            return ::testing::AssertionFailure() << came << " messages about " << name;
        const std::string& text = dialogs.messages.back().text;
        if (text.find(name) == std::string::npos || text.find(says) == std::string::npos)
            return ::testing::AssertionFailure() << "message: " << text;
        return ::testing::AssertionSuccess();
    }

    TempDir dir;
    fs::path pages;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio recording;
    std::unique_ptr<CVolumeApp> app;
};

// Each hostile picture sits between good pages: going to it tells the user
// or shows it, and the good page after it shows as ever.
TEST_F(HostileBookTest, HostilePicturesAreToldAndTheNextPageShows) {
    std::vector<Hostile> kinds{
        {"binary junk", "JUNK.BMP", [](const fs::path& f) { std::ofstream(f) << Junk(5000); },
         "Unsupported picture file type"},
        {"a folder", "FOLDER.BMP", [](const fs::path& f) { fs::create_directory(f); }, kNotFound},
        {"a FIFO", "FIFO.BMP", MakeFifo, kNotFound},
        {"a link loop", "LOOP.BMP", MakeLinkLoop, kNotFound},
        {"16384 x 16384 claimed, the pixels missing", "CLAIM.BMP",
         [](const fs::path& f) { std::ofstream(f) << IndexedBmpHead(16384, 16384, 8); },
         "Unsupported picture file type"},
        {"more pixels than any page may have", "WIDE.BMP",
         [](const fs::path& f) { std::ofstream(f) << IndexedBmpHead(16385, 16384, 1); },
         "Unsupported picture file type"},
    };
    if (::geteuid() != 0) // root reads any file
        kinds.push_back({"unreadable", "LOCKED.BMP",
                         [](const fs::path& f) {
                             fs::copy_file(f.parent_path() / "GOOD.BMP", f);
                             fs::permissions(f, fs::perms::none);
                         },
                         "Unsupported picture file type"});
    std::vector<std::string> pictures{"GOOD.BMP"};
    for (const Hostile& h : kinds) {
        h.make(pages / h.name);
        pictures.insert(pictures.end(), {h.name, "GOOD.BMP"});
    }
    Start(&recording);
    MustReturn("open",
               [&] { ASSERT_TRUE(app->OpenDocumentFile(Book("h.vol", pictures).string())); });
    ASSERT_TRUE(dialogs.messages.empty());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const int page = static_cast<int>(2 * i + 2);
        EXPECT_TRUE(GoToPageTold(page, kinds[i].name, kinds[i].says)) << kinds[i].what;
        EXPECT_FALSE(app->View().Picture().HasPicture()) << kinds[i].what;
        EXPECT_TRUE(GoToPageTold(page + 1, "GOOD.BMP", "")) << kinds[i].what;
        EXPECT_EQ(app->View().Picture().Width(), kGoodWidth) << kinds[i].what;
    }
}

// Ninety-nine pages of 16384 x 16384 pictures: most claim it and end after
// their colour table; two hold the whole picture (a sparse file), at the
// largest size a page may have. The book opens at once, the giant pages
// show, the lying ones are told, and paging goes on.
TEST_F(HostileBookTest, NinetyNineGiantPagesOpenAndTurn) {
    const std::string head = IndexedBmpHead(16384, 16384, 8);
    std::vector<std::string> pictures;
    for (int i = 1; i <= 99; ++i) {
        pictures.push_back("GIANT" + std::to_string(i) + ".BMP");
        std::ofstream(pages / pictures.back(), std::ios::binary) << head;
    }
    WriteSparsePicture(pages / pictures[97], 16384, 16384, 1);
    WriteSparsePicture(pages / pictures[98], 16384, 16384, 8);
    Start(&recording);
    const std::size_t before = dialogs.messages.size();
    MustReturn("open",
               [&] { ASSERT_TRUE(app->OpenDocumentFile(Book("g.vol", pictures).string())); });
    EXPECT_TRUE(Told(before, "GIANT1.BMP", "Unsupported picture file type"));
    EXPECT_EQ(app->Doc().GetPageCount(), 99);
    EXPECT_TRUE(GoToPageTold(50, "GIANT50.BMP", "Unsupported picture file type"));
    for (int page : {98, 99}) {
        // Decoding a quarter of a billion pixels may take a while in a
        // sanitizer build: a minute before it counts as a hang.
        EXPECT_TRUE(GoToPageTold(page, pictures[page - 1], "", 60)) << page;
        EXPECT_EQ(app->View().Picture().Width(), 16384) << page;
        EXPECT_EQ(app->View().Picture().Buffer().At(16383, 16383), 0xFFFFFFu) << page;
    }
    EXPECT_TRUE(GoToPageTold(97, "GIANT97.BMP", "Unsupported picture file type"));
    EXPECT_FALSE(app->View().Picture().HasPicture());
    EXPECT_EQ(app->State().m_nCurPage, 97);
}

// A volume file that is junk, a folder, a FIFO or a link loop is refused
// with a message; the open book stays and pages on.
TEST_F(HostileBookTest, HostileVolumeFilesAreToldAndTheOpenBookStays) {
    const std::vector<Hostile> kinds{
        {"binary junk", "junk.vol", [](const fs::path& f) { std::ofstream(f) << Junk(3000); },
         "not a book"},
        {"a folder", "folder.vol", [](const fs::path& f) { fs::create_directory(f); }, kNotFound},
        {"a FIFO", "fifo.vol", MakeFifo, kNotFound},
        {"a link loop", "loop.vol", MakeLinkLoop, kNotFound},
    };
    Start(&recording);
    ASSERT_TRUE(app->OpenDocumentFile(Book("good.vol", {"GOOD.BMP", "GOOD.BMP"}).string()));
    for (const Hostile& h : kinds) {
        h.make(dir / h.name);
        const std::size_t before = dialogs.messages.size();
        MustReturn(h.what, [&] { EXPECT_FALSE(app->OpenDocumentFile((dir / h.name).string())); });
        EXPECT_TRUE(Told(before, h.name, h.says)) << h.what;
        EXPECT_EQ(app->Doc().GetTitle(), "Hostile") << h.what;
        EXPECT_TRUE(GoToPageTold(2, "GOOD.BMP", "")) << h.what;
        EXPECT_EQ(app->View().Picture().Width(), kGoodWidth) << h.what;
        app->Frame().GoToPage(1);
    }
}

// Sounds that are not sounds, on SDL's dummy output: the page's own sound
// starting on arrival and the play button each tell the user, nothing
// plays, and a real sound on the next page still plays.
TEST_F(HostileBookTest, HostileSoundsAreToldAndTheNextSoundPlays) {
    const std::vector<Hostile> kinds{
        {"junk named .WAV", "JUNK.WAV", [](const fs::path& f) { std::ofstream(f) << Junk(4000); },
         "Unsupported sound file type"},
        {"junk named .MID", "JUNK.MID", [](const fs::path& f) { std::ofstream(f) << Junk(4000); },
         "Unsupported sound file type"},
        {"a folder named .WAV", "FOLDER.WAV", [](const fs::path& f) { fs::create_directory(f); },
         kNotFound},
        {"a FIFO named .WAV", "FIFO.WAV", MakeFifo, kNotFound},
        {"a link loop named .WAV", "LOOP.WAV", MakeLinkLoop, kNotFound},
    };
    std::vector<std::string> sounds{""}; // page 1 is silent
    for (const Hostile& h : kinds) {
        h.make(pages / h.name);
        sounds.insert(sounds.end(), {h.name, "TONE.WAV"});
    }
    const std::vector<std::uint8_t> tone = test_sound::ToneWave(2000, 440);
    std::ofstream(pages / "TONE.WAV", std::ios::binary)
        .write(reinterpret_cast<const char*>(tone.data()),
               static_cast<std::streamsize>(tone.size()));
    Start(nullptr);
    ASSERT_TRUE(dialogs.messages.empty());
    const std::vector<std::string> pictures(sounds.size(), "GOOD.BMP");
    ASSERT_TRUE(app->OpenDocumentFile(Book("s.vol", pictures, sounds).string()));
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const Hostile& h = kinds[i];
        const int page = static_cast<int>(2 * i + 2);
        EXPECT_TRUE(GoToPageTold(page, h.name, h.says)) << h.what; // its sound starts
        EXPECT_FALSE(app->State().m_bSoundPlaying) << h.what;
        const std::size_t before = dialogs.messages.size();
        MustReturn(std::string("play ") + h.what, [&] { app->Frame().PlayOrStopPageSound(); });
        EXPECT_TRUE(Told(before, h.name, h.says)) << h.what;
        EXPECT_FALSE(app->State().m_bSoundPlaying) << h.what;
        EXPECT_TRUE(GoToPageTold(page + 1, "TONE.WAV", "")) << h.what;
        EXPECT_TRUE(app->State().m_bSoundPlaying) << h.what;
    }
}

} // namespace
