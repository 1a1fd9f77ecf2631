// The viewer bar in the running program: where it sits, what its controls
// show and allow on each page, and what the child hears from it.
#include "app/volume_app.h"

#include "colouring/my_image_view.h"
#include "controls/coloring_bar.h"
#include "controls/hand_button.h"
#include "controls/page_list_box.h"
#include "controls/viewer_bar.h"
#include "mainframe/main_frame.h"
#include "model/display/dib.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QTest>
#include <QToolTip>

namespace fs = std::filesystem;

namespace {

// A white picture of the given size with a black frame, as an 8-bit file.
void WritePicture(const fs::path& file, int w, int h) {
    PixelBuffer p(w, h, 0xFFFFFF);
    for (int x = 0; x < w; ++x)
        p.Set(x, 0, 0), p.Set(x, h - 1, 0);
    LogPalette pal;
    pal.entries = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, pal);
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, file), DibSaveResult::Saved);
}

// Also notes the current page whenever a sound file starts.
class PageNotingAudio : public RecordingAudio {
public:
    bool PlaySoundFile(const fs::path& file, SoundWait wait) override {
        pageAtSpeech.push_back(state ? state->m_nCurPage : 0);
        return RecordingAudio::PlaySoundFile(file, wait);
    }
    const RunningState* state = nullptr;
    std::vector<int> pageAtSpeech;
};

class ViewerBarAppTest : public ::testing::Test {
protected:
    ViewerBarAppTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        org = dir.MakeDir("pages");
        sounds = dir.MakeDir("sounds");
        WritePicture(org / "ONE.BMP", 40, 30);
        WritePicture(org / "TWO.BMP", 50, 30);
        WritePicture(org / "THREE.BMP", 60, 30);
        dir.Write("pages/two.wav", "sound");
        for (const char* spoken : {"1.wav", "2.wav", "3.wav", "NEXT.WAV", "PAGENUM.WAV"})
            dir.Write(std::string("sounds/") + spoken, "voice");
    }

    // A volume of `pages` pictures; page 2 has a sound.
    fs::path Volume(const std::string& name, int pages, const std::string& folders = "") {
        std::string text = "[Volume]\nOrgPath=" + org.string() + "\n" + folders +
                           "NumPages=" + std::to_string(pages) + "\n[Picture Files]\n";
        const char* files[] = {"ONE.BMP", "TWO.BMP", "THREE.BMP"};
        for (int i = 1; i <= pages; ++i)
            text += "Page" + std::to_string(i) + "=" + files[(i - 1) % 3] + "\n";
        return dir.Write(name, text + "[Sound Files]\nPage2=two.wav\n");
    }

    void Start() {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        ASSERT_TRUE(app->InitInstance());
        app->State().g_soundsPath = sounds.string() + "/";
        audio.state = &app->State();
    }
    void Open(const fs::path& volume) { ASSERT_TRUE(app->OpenDocumentFile(volume.string())); }
    // The program's idle moment, when the bar's controls are refreshed.
    void Idle() { app->OnIdle(0); }

    CMainFrame& Frame() { return app->Frame(); }
    CViewerBar& Bar() { return Frame().ViewerBar(); }
    CPageListBox& List() { return *Bar().PageList(); }
    bool Enabled(CommandId id) { return Bar().GetDlgItem(id)->isEnabled(); }
    QString Total() { return qobject_cast<QLabel*>(Bar().GetDlgItem(ID_PAGE_TOTAL))->text(); }
    void Click(CommandId id) {
        QTest::mouseClick(Bar().Button(id), Qt::LeftButton);
        Idle();
    }
    QStringList Entries() {
        QStringList texts;
        for (int i = 0; i < List().count(); ++i)
            texts << List().itemText(i);
        return texts;
    }
    // Opens the list, as a click on it does, and picks the entry so many
    // below the one it shows.
    void Choose(int downPresses) {
        List().setFocus();
        List().showPopup();
        for (int i = 0; i < downPresses; ++i)
            QTest::keyClick(List().view(), Qt::Key_Down);
        QTest::keyClick(List().view(), Qt::Key_Return);
        QApplication::processEvents();
    }
    std::vector<std::string> Spoken() {
        std::vector<std::string> names;
        for (const auto& f : audio.files)
            names.push_back(f.file.filename().string());
        return names;
    }

    TempDir dir;
    fs::path org;
    fs::path sounds;
    QSettings settings;
    ScriptedDialogs dialogs;
    PageNotingAudio audio;
    std::unique_ptr<CVolumeApp> app;
};

TEST_F(ViewerBarAppTest, BarRunsAlongTheBottomWithTheViewAboveIt) {
    Start();
    Frame().layout()->activate();
    QRect bar = Bar().geometry();
    EXPECT_EQ(bar.width(), Frame().width());
    EXPECT_EQ(bar.bottom(), Frame().height() - 1);
    EXPECT_EQ(app->View().geometry().bottom(), bar.top() - 1);
    // Colouring mode swaps in the colouring bar, as high: the page stays put.
    Open(Volume("v.vol", 2, "CopyDir=" + org.string() + "\\copies\n"));
    Frame().SetMode(Mode::Colouring);
    Frame().layout()->activate();
    EXPECT_TRUE(Bar().isHidden());
    EXPECT_EQ(Frame().ColoringBar().geometry(), bar);
    EXPECT_EQ(app->View().geometry().bottom(), bar.top() - 1);
    Frame().SetMode(Mode::Viewer);
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_TRUE(Frame().ColoringBar().isHidden());
}

TEST_F(ViewerBarAppTest, PageCounterFollowsTheVolume) {
    Start();
    Idle();
    // Before any volume: an empty list for the empty document's one page.
    EXPECT_EQ(List().count(), 0);
    EXPECT_EQ(Total(), "of 1");
    for (CommandId id : {ID_PAGE_LABEL, ID_PAGE_LIST, ID_PAGE_TOTAL})
        EXPECT_TRUE(Enabled(id)) << id;

    Open(Volume("twelve.vol", 12));
    QStringList twelve;
    for (int i = 1; i <= 12; ++i)
        twelve << QString::number(i);
    EXPECT_EQ(Entries(), twelve);
    EXPECT_EQ(Total(), "of 12");
    EXPECT_EQ(List().currentText(), "1");
    Frame().GoToPage(9);
    EXPECT_EQ(List().currentText(), "9");

    Open(Volume("five.vol", 5));
    EXPECT_EQ(Entries(), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Total(), "of 5");
    EXPECT_EQ(List().currentText(), "1");
    EXPECT_EQ(app->State().m_nCurPage, 1);
}

TEST_F(ViewerBarAppTest, ButtonsAreEnabledAsThePageAllows) {
    Start();
    Open(Volume("v.vol", 3, "CopyDir=" + dir.MakeDir("copies").string() + "\n"));
    Idle();
    auto enabledOnes = [this] {
        std::vector<CommandId> on;
        for (CommandId id : {ID_PREV_PAGE, ID_NEXT_PAGE, ID_COLOUR_PAGE, ID_PLAY_SOUND,
                             ID_SLIDE_SHOW, ID_FILE_PRINT, ID_UPDATE_PAGE, ID_RESTORE_PAGE,
                             ID_APP_EXIT, ID_COLOURING_INSTRUCTIONS}) {
            if (Enabled(id))
                on.push_back(id);
        }
        return on;
    };
    const std::vector<CommandId> always = {ID_COLOUR_PAGE,           ID_SLIDE_SHOW,   ID_FILE_PRINT,
                                           ID_UPDATE_PAGE,           ID_RESTORE_PAGE, ID_APP_EXIT,
                                           ID_COLOURING_INSTRUCTIONS};
    auto with = [&](std::vector<CommandId> extra) {
        std::vector<CommandId> all = always;
        all.insert(all.end(), extra.begin(), extra.end());
        std::sort(all.begin(), all.end());
        return all;
    };
    auto sorted = [](std::vector<CommandId> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(sorted(enabledOnes()), with({ID_NEXT_PAGE}));
    Click(ID_NEXT_PAGE);
    EXPECT_EQ(app->State().m_nCurPage, 2);
    EXPECT_EQ(sorted(enabledOnes()), with({ID_PREV_PAGE, ID_NEXT_PAGE, ID_PLAY_SOUND}));
    audio.Finish(audio.devices.begin()->first); // page 2's sound ends
    QApplication::processEvents();
    Click(ID_NEXT_PAGE);
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(sorted(enabledOnes()), with({ID_PREV_PAGE}));
    Click(ID_NEXT_PAGE); // disabled: nothing happens
    EXPECT_EQ(app->State().m_nCurPage, 3);
    Click(ID_PREV_PAGE);
    EXPECT_EQ(app->State().m_nCurPage, 2);
    EXPECT_EQ(List().currentText(), "2");

    // Without a copy folder nothing can be coloured or updated: the update
    // button shows its greyed face.
    Open(Volume("plain.vol", 3));
    Idle();
    EXPECT_FALSE(Enabled(ID_COLOUR_PAGE));
    EXPECT_FALSE(Enabled(ID_UPDATE_PAGE));
    EXPECT_EQ(Bar().Button(ID_UPDATE_PAGE)->ShownFace(), "UPDATEX");
    EXPECT_TRUE(Enabled(ID_RESTORE_PAGE));
}

TEST_F(ViewerBarAppTest, SoundButtonShowsStopWhileThePageSoundPlays) {
    Start();
    Open(Volume("v.vol", 3));
    Idle();
    CHandButton* sound = Bar().Button(ID_PLAY_SOUND);
    EXPECT_FALSE(sound->isEnabled()); // page 1 has no sound
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDU");
    Click(ID_NEXT_PAGE); // page 2 plays its sound at once
    EXPECT_EQ(app->State().m_bSoundPlaying, true);
    EXPECT_EQ(sound->ShownFace(), "STOPSNDU");
    audio.Finish(audio.devices.begin()->first);
    QApplication::processEvents();
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDU");
    Click(ID_NEXT_PAGE);
    EXPECT_FALSE(sound->isEnabled());
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDX");
}

TEST_F(ViewerBarAppTest, ChosenPageNumberIsSpokenBeforeThePageChanges) {
    Start();
    Open(Volume("v.vol", 3));
    Idle();
    Choose(2);
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(app->View().Picture().Width(), 60);
    ASSERT_EQ(Spoken(), std::vector<std::string>{"3.wav"});
    EXPECT_EQ(audio.files[0].wait, SoundWait::Block);
    EXPECT_EQ(audio.pageAtSpeech, std::vector<int>{1});
    EXPECT_EQ(Frame().focusWidget(), &app->View()); // the keys go to the view

    // The page shown, chosen again: its number is spoken, the picture is not
    // read again (the changed file would show).
    WritePicture(org / "THREE.BMP", 70, 30);
    Choose(0);
    EXPECT_EQ(Spoken(), (std::vector<std::string>{"3.wav", "3.wav"}));
    EXPECT_EQ(app->View().Picture().Width(), 60);
    EXPECT_EQ(app->State().m_nCurPage, 3);
}

TEST_F(ViewerBarAppTest, ClosingTheListWithoutAChoicePutsTheCurrentPageBack) {
    Start();
    Open(Volume("v.vol", 3));
    Frame().GoToPage(2);
    List().setCurrentIndex(0);
    List().setFocus();
    List().showPopup();
    QTest::keyClick(List().view(), Qt::Key_Down);
    QTest::keyClick(List().view(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(List().currentText(), "2");
    EXPECT_EQ(app->State().m_nCurPage, 2);
    EXPECT_TRUE(Spoken().empty());
    EXPECT_EQ(Frame().focusWidget(), &app->View()); // the keys go to the view
}

TEST_F(ViewerBarAppTest, TipsShowTheFirstLineOfThePromptAndSpeakTheSecond) {
    Start();
    Idle();
    auto rest = [](QWidget* w) {
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), w->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(w, &help);
    };
    rest(Bar().GetDlgItem(ID_NEXT_PAGE));
    EXPECT_EQ(QToolTip::text(), "Go to the next page");
    rest(&List());
    EXPECT_EQ(QToolTip::text(), "Page Number");
    EXPECT_EQ(Spoken(), (std::vector<std::string>{"NEXT.WAV", "PAGENUM.WAV"}));
    EXPECT_EQ(audio.files[0].wait, SoundWait::Return);
}

} // namespace
