#include "model/colouring/pixel_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kBlue = 0x0000FF;
constexpr Pixel kYellow = 0xFFFF00;

// A 40 x 30 page: a one-pixel black frame round the picture and the outline
// of a box from (10, 10) to (20, 20) inclusive, white inside it.
PixelBuffer LineArt() {
    PixelBuffer art(40, 30, kWhite);
    for (int x = 0; x < 40; ++x)
        art.Set(x, 0, kBlack), art.Set(x, 29, kBlack);
    for (int y = 0; y < 30; ++y)
        art.Set(0, y, kBlack), art.Set(39, y, kBlack);
    for (int i = 10; i <= 20; ++i) {
        art.Set(i, 10, kBlack), art.Set(i, 20, kBlack);
        art.Set(10, i, kBlack), art.Set(20, i, kBlack);
    }
    return art;
}

int CountColour(const PixelBuffer& picture, Pixel colour) {
    int n = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            n += picture.At(x, y) == colour;
    return n;
}

int CountChanged(const PixelBuffer& picture, const PixelBuffer& before) {
    int n = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            n += picture.At(x, y) != before.At(x, y);
    return n;
}

// The line mask (picture OR overlay) is black exactly where both are black
// (low 24 bits).
bool MaskIsComposed(const PixelEngine& engine, const PixelBuffer& picture,
                    const PixelBuffer& overlay = LineArt()) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (engine.IsOutline(x, y) !=
                (SameColour(picture.At(x, y), kBlack) && SameColour(overlay.At(x, y), kBlack)))
                return false;
    return true;
}

class PixelEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.EnterColouring(picture, LineArt())); }

    PixelBuffer picture = LineArt();
    PixelEngine engine;
};

TEST_F(PixelEngineTest, FillColoursExactlyTheEnclosedAreaAndUndoRestoresIt) {
    const FillResult result = engine.Fill(picture, 15, 15, kRed);
    EXPECT_EQ(result.status, FillStatus::Filled);
    EXPECT_EQ(result.changed, (PixelRect{11, 11, 20, 20}));
    EXPECT_EQ(CountColour(picture, kRed), 81);
    EXPECT_EQ(CountColour(picture, kBlack), CountColour(LineArt(), kBlack));
    // The undo step holds the changed pixels' bounding box, not the whole picture.
    EXPECT_EQ(engine.GetUndoCount(), 1);
    EXPECT_EQ(engine.UndoPixelCount(), 81u);
    EXPECT_TRUE(MaskIsComposed(engine, picture));

    EXPECT_EQ(engine.Undo(picture), result.changed);
    EXPECT_EQ(picture, LineArt());
    EXPECT_TRUE(MaskIsComposed(engine, picture));
    EXPECT_EQ(engine.GetUndoCount(), 0);
    EXPECT_TRUE(engine.Undo(picture).IsEmpty());
}

TEST_F(PixelEngineTest, FillOnAnOutlineIsRefusedAndPushesNothing) {
    EXPECT_EQ(engine.Fill(picture, 10, 15, kRed).status, FillStatus::RefusedOnOutline);
    EXPECT_EQ(picture, LineArt());
    EXPECT_EQ(engine.GetUndoCount(), 0);
    EXPECT_EQ(engine.Fill(picture, -5, 15, kRed).status, FillStatus::Ignored);
    EXPECT_EQ(engine.Fill(picture, 15, INT_MAX, kRed).status, FillStatus::Ignored);
    EXPECT_EQ(engine.GetUndoCount(), 0);
}

TEST_F(PixelEngineTest, FillWithTheAreasOwnColourChangesNothingButStillPushesAStep) {
    const FillResult result = engine.Fill(picture, 15, 15, kWhite);
    EXPECT_EQ(result.status, FillStatus::Filled);
    EXPECT_TRUE(result.changed.IsEmpty());
    EXPECT_EQ(picture, LineArt());
    EXPECT_EQ(engine.GetUndoCount(), 1);
    EXPECT_EQ(engine.UndoPixelCount(), 0u);
}

TEST_F(PixelEngineTest, FillRecoloursAPaintedAreaWithTouchingStrokesAndStopsAtOtherColours) {
    engine.Fill(picture, 15, 15, kRed);
    // A red stroke from inside the box across its outline into the outside area.
    engine.PaintDot(picture, 15, 15, 1, kRed);
    engine.PaintStrokeSegment(picture, 30, 15, 1, kRed);
    engine.EndBrushOrLine(picture);
    engine.PaintDot(picture, 14, 14, 1, kYellow);
    engine.EndBrushOrLine(picture);
    engine.Fill(picture, 12, 12, kBlue);
    EXPECT_EQ(picture.At(12, 12), kBlue);
    EXPECT_EQ(picture.At(29, 15), kBlue); // the stroke outside the box
    EXPECT_EQ(picture.At(13, 13), kYellow);
    EXPECT_EQ(CountColour(picture, kRed), 0);
    EXPECT_EQ(picture.At(5, 5), kWhite);
}

TEST_F(PixelEngineTest, FillOnABlackPaintedAreaRecoloursOnlyThatArea) {
    engine.Fill(picture, 15, 15, kBlack); // the box painted black
    engine.Fill(picture, 5, 5, kBlack);   // so is everything outside it
    EXPECT_FALSE(engine.IsOutline(15, 15));
    EXPECT_TRUE(MaskIsComposed(engine, picture));
    engine.Fill(picture, 15, 15, kYellow);
    EXPECT_EQ(CountColour(picture, kYellow), 81);
    EXPECT_EQ(picture.At(10, 15), kBlack); // outline
    EXPECT_EQ(picture.At(5, 5), kBlack);   // the other black area
    EXPECT_EQ(engine.UndoPixelCount(), 81u + (38u * 28u - 11u * 11u) + 81u);
    engine.Undo(picture);
    EXPECT_EQ(CountColour(picture, kYellow), 0);
}

TEST_F(PixelEngineTest, BrushClickWithoutMovingLeavesADotAndOneStep) {
    const int sizes[] = {2, 6, 10};
    for (int size = 0; size < 3; ++size) {
        PixelBuffer before = picture;
        const int r = PixelEngine::BrushRadius(size);
        engine.PaintDot(picture, 30, 20, r, kBlue);
        EXPECT_EQ(engine.EndBrushOrLine(picture), (PixelRect{30 - r, 20 - r, 30 + r, 20 + r}));
        int across = 0;
        for (int x = 0; x < 40; ++x)
            across += picture.At(x, 19) == kBlue;
        EXPECT_EQ(across, sizes[size]);
        EXPECT_EQ(engine.GetUndoCount(), 1);
        engine.Undo(picture);
        EXPECT_EQ(picture, before);
    }
}

TEST_F(PixelEngineTest, StrokeLeavingThePictureIsClippedAndSoIsItsUndoStep) {
    engine.PaintDot(picture, 35, 5, 5, kBlue);
    EXPECT_EQ(engine.PaintStrokeSegment(picture, 100, 5, 5, kBlue), (PixelRect{30, 0, 40, 10}));
    engine.PaintStrokeSegment(picture, INT_MAX, INT_MIN, 5, kBlue);
    EXPECT_EQ(engine.EndBrushOrLine(picture), (PixelRect{30, 0, 40, 10}));
    EXPECT_EQ(picture.At(39, 5), kBlue);
    EXPECT_EQ(picture.At(39, 0), kBlue);
    EXPECT_EQ(engine.UndoPixelCount(), static_cast<std::size_t>(CountChanged(picture, LineArt())));
    engine.Undo(picture);
    EXPECT_EQ(picture, LineArt());
}

TEST_F(PixelEngineTest, LineDrawsOnlyFromThePressToTheLastMove) {
    engine.StartLine(picture, 5, 5, 3);
    engine.DrawRubberBandLine(picture, 35, 5, 3, kRed);
    engine.DrawRubberBandLine(picture, 5, 25, 1, kRed);
    const PixelRect repaint = engine.DrawRubberBandLine(picture, 30, 25, 3, kRed);
    EXPECT_EQ(repaint, (PixelRect{2, 2, 33, 28})); // old and new line
    engine.EndBrushOrLine(picture);

    PixelBuffer expected = LineArt();
    DrawRoundStroke(expected, {5, 5}, {30, 25}, 3, kRed);
    EXPECT_EQ(picture, expected);
    EXPECT_EQ(engine.GetUndoCount(), 1);
    engine.Undo(picture);
    EXPECT_EQ(picture, LineArt());
}

TEST_F(PixelEngineTest, LinePressAndReleaseWithoutMoveDrawsNothingButPushesAStep) {
    engine.StartLine(picture, 15, 15, 5);
    EXPECT_EQ(engine.EndBrushOrLine(picture), (PixelRect{10, 10, 20, 20}));
    EXPECT_EQ(picture, LineArt());
    EXPECT_EQ(engine.GetUndoCount(), 1);
}

TEST_F(PixelEngineTest, SixthActionDropsTheOldestStep) {
    std::vector<PixelBuffer> states{picture};
    for (int i = 0; i < 6; ++i) {
        engine.PaintDot(picture, 3 + 5 * i, 5, 1, kRed);
        engine.EndBrushOrLine(picture);
        states.push_back(picture);
    }
    EXPECT_EQ(engine.GetUndoCount(), PixelEngine::kMaxUndoSteps);
    for (int i = 5; i >= 1; --i) {
        EXPECT_FALSE(engine.Undo(picture).IsEmpty());
        EXPECT_EQ(picture, states[i]);
    }
    EXPECT_TRUE(engine.Undo(picture).IsEmpty());
    EXPECT_EQ(picture, states[1]);
}

TEST_F(PixelEngineTest, PaintingOverAnOutlineLetsAFillStartThereUntilUndone) {
    engine.PaintDot(picture, 10, 15, 1, kRed);
    engine.EndBrushOrLine(picture);
    EXPECT_FALSE(engine.IsOutline(10, 15));
    EXPECT_EQ(engine.Fill(picture, 10, 15, kBlue).status, FillStatus::Filled);
    engine.Undo(picture);
    engine.Undo(picture);
    EXPECT_TRUE(engine.IsOutline(10, 15));
    EXPECT_EQ(engine.Fill(picture, 10, 15, kBlue).status, FillStatus::RefusedOnOutline);
}

TEST_F(PixelEngineTest, LeavingColouringDropsEverything) {
    engine.Fill(picture, 15, 15, kRed);
    engine.LeaveColouring();
    EXPECT_FALSE(engine.IsColouring());
    EXPECT_EQ(engine.GetUndoCount(), 0);
    EXPECT_EQ(engine.Fill(picture, 5, 5, kRed).status, FillStatus::Ignored);
    EXPECT_TRUE(engine.PaintDot(picture, 5, 5, 3, kRed).IsEmpty());
    ASSERT_TRUE(engine.EnterColouring(picture, LineArt()));
    EXPECT_EQ(engine.GetUndoCount(), 0);
}

TEST(PixelEngine, OverlayIsBlackWhereTheOriginalDoesNotReach) {
    PixelEngine engine;
    PixelBuffer picture(6, 4, kBlack);
    EXPECT_FALSE(engine.EnterColouring(picture, PixelBuffer()));
    EXPECT_FALSE(engine.EnterColouring(PixelBuffer(), picture));
    ASSERT_TRUE(engine.EnterColouring(picture, PixelBuffer(4, 8, kWhite)));
    EXPECT_FALSE(engine.IsOutline(3, 3));
    EXPECT_TRUE(engine.IsOutline(4, 0));
    EXPECT_EQ(engine.Fill(picture, 5, 3, kRed).status, FillStatus::RefusedOnOutline);
    // Black paint where the overlay is white is a black area of its own.
    EXPECT_EQ(engine.Fill(picture, 0, 0, kRed).changed, (PixelRect{0, 0, 4, 4}));
}

// Random pictures, some pixels with a junk top byte, and random fills,
// strokes and lines: every undo puts back the exact earlier picture, and the
// line mask stays composed throughout.
TEST(PixelEngine, UndoRestoresEveryPixelExactlyAfterRandomOperations) {
    std::mt19937 random(4242);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const Pixel colours[] = {kBlack, kWhite, kRed, kBlue, kWhite | 0x5A000000, 0x01000000};
    for (int round = 0; round < 40; ++round) {
        PixelBuffer picture(between(1, 140), between(1, 40));
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                picture.Set(x, y, colours[between(0, 5)]);
        PixelEngine engine;
        ASSERT_TRUE(engine.EnterColouring(picture, picture));
        std::vector<PixelBuffer> states{picture};
        for (int op = 0; op < 12; ++op) {
            const int x = between(-3, picture.Width() + 2);
            const int y = between(-3, picture.Height() + 2);
            const Pixel colour = colours[between(0, 3)];
            const int kind = between(0, 2);
            if (kind == 0 && engine.Fill(picture, x, y, colour).status != FillStatus::Filled)
                continue;
            if (kind == 1) {
                engine.PaintDot(picture, x, y, between(1, 5), colour);
                engine.PaintStrokeSegment(picture, between(0, 150), between(0, 50), 3, colour);
            } else if (kind == 2) {
                engine.StartLine(picture, x, y, between(1, 5));
                engine.DrawRubberBandLine(picture, between(0, 150), between(0, 50), 3, colour);
                engine.DrawRubberBandLine(picture, between(0, 150), between(0, 50), 1, colour);
            }
            engine.EndBrushOrLine(picture);
            states.push_back(picture);
            ASSERT_TRUE(MaskIsComposed(engine, picture, states.front())) << "round " << round;
        }
        const int undos =
            std::min<int>(PixelEngine::kMaxUndoSteps, static_cast<int>(states.size()) - 1);
        for (int i = 1; i <= undos; ++i) {
            engine.Undo(picture);
            ASSERT_EQ(picture, states[states.size() - 1 - i]) << "round " << round << " undo " << i;
            ASSERT_TRUE(MaskIsComposed(engine, picture, states.front())) << "round " << round;
        }
    }
}

// The faults the engine guards against beyond the plain sequence of events.
TEST_F(PixelEngineTest, UnusualEventOrdersNeverLoseOrCorruptPixels) {
    // The brush size changes in mid-stroke: undo still removes every pixel.
    engine.PaintDot(picture, 30, 5, 1, kRed);
    engine.PaintStrokeSegment(picture, 30, 15, 5, kRed);
    engine.PaintStrokeSegment(picture, 30, 20, 1, kRed);
    engine.EndBrushOrLine(picture);
    engine.Undo(picture);
    EXPECT_EQ(picture, LineArt());

    // A press whose release never came: the next press finishes it first.
    engine.PaintDot(picture, 5, 5, 3, kRed);
    engine.StartLine(picture, 25, 25, 3);
    engine.DrawRubberBandLine(picture, 35, 25, 3, kBlue);
    EXPECT_EQ(picture.At(5, 5), kRed); // the rubber band did not wipe the dot
    // Undo in mid-operation undoes that operation.
    engine.Undo(picture);
    EXPECT_EQ(picture.At(30, 25), kWhite);
    EXPECT_FALSE(engine.IsOperationRunning());
    EXPECT_TRUE(engine.DrawRubberBandLine(picture, 35, 20, 3, kBlue).IsEmpty());
    engine.Undo(picture);
    EXPECT_EQ(picture, LineArt());

    // Moves of the other tool, and a picture of another size, change nothing.
    engine.PaintDot(picture, 5, 5, 3, kRed);
    EXPECT_TRUE(engine.DrawRubberBandLine(picture, 25, 25, 3, kBlue).IsEmpty());
    PixelBuffer other(10, 10, kWhite);
    EXPECT_TRUE(engine.PaintStrokeSegment(other, 5, 5, 3, kBlue).IsEmpty());
    EXPECT_EQ(engine.Fill(other, 5, 5, kBlue).status, FillStatus::Ignored);
    EXPECT_TRUE(engine.Undo(other).IsEmpty());
    EXPECT_EQ(other, PixelBuffer(10, 10, kWhite));
}

} // namespace
