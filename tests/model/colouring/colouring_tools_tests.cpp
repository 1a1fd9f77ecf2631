// The colouring tools from press to release, without a toolkit: what each
// tool draws, which sounds play, what is pushed for undo, what the canvas is
// asked to repaint, and that events waiting at a pump run nested safely.
#include "model/colouring/colouring_tools.h"

#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "model/effect_sounds.h"
#include "model/volume/vol_doc.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_pump.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

// 60 x 40 line art: a black frame 2 pixels wide around the box (10..29, 10..29).
PixelBuffer LineArt() {
    PixelBuffer p(60, 40, kWhite);
    for (int y = 8; y < 32; ++y)
        for (int x = 8; x < 32; ++x)
            if (x < 10 || x > 29 || y < 10 || y > 29)
                p.Set(x, y, kBlack);
    return p;
}

class ColouringToolsTest : public ::testing::Test, public IEffectSounds, public IColouringCanvas {
public:
    ColouringToolsTest() {
        fs::path org = dir.MakeDir("orig");
        LogPalette bw;
        bw.entries = {{255, 255, 255, 0}, {0, 0, 0, 0}};
        DibHandle dib = ChangeBitmapFormat(LineArt(), 8, kDibRgb, bw);
        EXPECT_TRUE(dib && SaveDIB(*dib, org / "BOX.BMP") == DibSaveResult::Saved);
        fs::path vol = dir.Write("v.vol", "[Volume]\nOrgPath=" + org.string() +
                                              "\nNumPages=2\n[Picture Files]\nPage1=BOX.BMP\n"
                                              "Page2=GONE.BMP\n");
        EXPECT_TRUE(doc.OnOpenDocument(vol.string()));
        state.m_nMode = Mode::Colouring;
        state.m_nColor = 9; // a colour that is neither black nor white
    }

    // IEffectSounds
    void PlayEffect(std::string_view name) override { sounds.emplace_back(name); }
    void PlaySplashSound() override { sounds.emplace_back("splash"); }
    // IColouringCanvas
    void RepaintPicture(const PixelRect& rect) override { repaints.push_back(rect); }
    void CaptureMouse() override { ++captures; }
    void ReleaseMouse() override { ++releases; }

    bool Enter() { return tools.Enter(picture, doc, paths, 1); }
    Pixel Paint() const { return ColorTablePixel(state.m_nColor); }
    int Count(Pixel colour) const {
        int n = 0;
        for (std::size_t i = 0; i < picture.PixelCount(); ++i)
            n += SameColour(picture.Data()[i], colour);
        return n;
    }

    TempDir dir;
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices{1, 1};
    ScriptedDialogs dialogs;
    RunningState state;
    CVolDoc doc{paths, mci, devices, dialogs, state};
    ScriptedPump pump;
    ColouringTools tools{state, pump, *this, *this};
    PixelBuffer picture = LineArt();
    std::vector<std::string> sounds;
    std::vector<PixelRect> repaints;
    int captures = 0;
    int releases = 0;
};

TEST_F(ColouringToolsTest, AFillColoursTheAreaAndAnOutlineSaysCoocoo) {
    ASSERT_TRUE(Enter());
    state.m_nTool = Tool::Fill;
    EXPECT_TRUE(tools.OnLButtonDown(20, 20));
    EXPECT_EQ(Count(Paint()), 20 * 20); // exactly the inside of the frame
    EXPECT_EQ(tools.GetUndoCount(), 1);
    EXPECT_EQ(sounds, (std::vector<std::string>{"splash"}));
    ASSERT_EQ(repaints.size(), 1u);
    EXPECT_EQ(repaints[0], (PixelRect{10, 10, 30, 30}));
    EXPECT_EQ(pump.pumps, 1);

    const PixelBuffer before = picture;
    sounds.clear();
    EXPECT_TRUE(tools.OnLButtonDown(8, 20)); // on the outline
    EXPECT_EQ(sounds, (std::vector<std::string>{"COOCOO"}));
    EXPECT_EQ(tools.GetUndoCount(), 1);
    EXPECT_TRUE(std::equal(before.Data(), before.Data() + before.PixelCount(), picture.Data()));
    EXPECT_EQ(pump.pumps, 1); // no pump, no splash after "coocoo"
}

TEST_F(ColouringToolsTest, ABrushClickLeavesADotOfItsSizeAndOneStep) {
    ASSERT_TRUE(Enter());
    state.m_nTool = Tool::Brush;
    for (int size : {0, 1, 2}) {
        picture = LineArt();
        ASSERT_TRUE(tools.Enter(picture, doc, paths, 1));
        state.m_nBrushSize = size;
        sounds.clear();
        tools.OnLButtonDown(45, 20);
        EXPECT_TRUE(tools.HasCapture());
        tools.OnLButtonUp(45, 20);
        EXPECT_FALSE(tools.HasCapture());
        const int across = 2 * PixelEngine::BrushRadius(size); // 2, 6, 10
        int width = 0;
        for (int x = 0; x < picture.Width(); ++x)
            width += SameColour(picture.At(x, 20), Paint());
        EXPECT_EQ(width, across) << size;
        EXPECT_EQ(tools.GetUndoCount(), 1) << size;
        EXPECT_EQ(sounds, (std::vector<std::string>{"splash"})) << size; // none on release
    }
    EXPECT_EQ(captures, releases);
}

TEST_F(ColouringToolsTest, ALineWithoutAMoveDrawsNothingButIsAStepWithTwoSplashes) {
    ASSERT_TRUE(Enter());
    state.m_nTool = Tool::Line;
    tools.OnLButtonDown(40, 5);
    tools.OnLButtonUp(50, 35); // the release point is not drawn to
    EXPECT_EQ(Count(Paint()), 0);
    EXPECT_EQ(tools.GetUndoCount(), 1);
    EXPECT_EQ(sounds, (std::vector<std::string>{"splash", "splash"}));

    // With a move, the line ends at the last move, and undo takes it back.
    tools.OnLButtonDown(40, 5);
    tools.OnMouseMove(55, 5);
    tools.OnLButtonUp(58, 30);
    EXPECT_GT(Count(Paint()), 0);
    EXPECT_TRUE(SameColour(picture.At(55, 5), Paint()));
    EXPECT_FALSE(SameColour(picture.At(58, 30), Paint()));
    tools.Undo();
    EXPECT_EQ(Count(Paint()), 0);
    EXPECT_EQ(tools.GetUndoCount(), 1);
}

TEST_F(ColouringToolsTest, OutsideColouringTheToolsDoNothing) {
    // Viewer mode: the press is not the tools'.
    ASSERT_TRUE(Enter());
    state.m_nMode = Mode::Viewer;
    EXPECT_FALSE(tools.OnLButtonDown(20, 20));
    // No original to read: the tools take the press and ignore it.
    state.m_nMode = Mode::Colouring;
    std::string original;
    EXPECT_FALSE(tools.Enter(picture, doc, paths, 2, &original));
    EXPECT_EQ(original, doc.GetOriginalPath(2));
    for (Tool tool : {Tool::Fill, Tool::Brush, Tool::Line}) {
        state.m_nTool = tool;
        EXPECT_TRUE(tools.OnLButtonDown(20, 20));
        tools.OnMouseMove(25, 25);
        tools.OnLButtonUp(25, 25);
    }
    EXPECT_EQ(Count(Paint()), 0);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(tools.GetUndoCount(), 0);
    EXPECT_EQ(pump.pumps, 0);
}

// Moves and the release that wait in the queue run inside the press's pump:
// the stroke is whole, the capture let go once, one undo step.
TEST_F(ColouringToolsTest, EventsWaitingAtThePressRunNestedAsOneOperation) {
    ASSERT_TRUE(Enter());
    state.m_nTool = Tool::Brush;
    state.m_nBrushSize = 0;
    pump.Post([this] { tools.OnMouseMove(55, 35); });
    pump.Post([this] { tools.OnLButtonUp(55, 35); });
    tools.OnLButtonDown(40, 35);
    EXPECT_FALSE(tools.HasCapture());
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(tools.GetUndoCount(), 1);
    for (int x = 40; x <= 55; ++x)
        EXPECT_TRUE(SameColour(picture.At(x, 35), Paint())) << x;
    tools.Undo();
    EXPECT_EQ(Count(Paint()), 0);
}

TEST_F(ColouringToolsTest, LeavingDropsTheStepsAndTheCapture) {
    ASSERT_TRUE(Enter());
    state.m_nTool = Tool::Brush;
    tools.OnLButtonDown(45, 20);
    tools.Leave();
    EXPECT_FALSE(tools.HasCapture());
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(tools.IsColouring());
    ASSERT_TRUE(Enter());
    EXPECT_EQ(tools.GetUndoCount(), 0);
}

} // namespace
