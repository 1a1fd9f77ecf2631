#include "controls/hand_button.h"

#include "controls/control_bar.h"
#include "fake_bar_owner.h"
#include "model/display/dib.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QFile>
#include <QTest>

namespace {

struct FaceSize {
    const char* name;
    int width;
    int height;
};

// Every face the bars use, at the size the bar's layout is built on.
constexpr FaceSize kFaces[] = {
    {"PREVU", 38, 73},     {"PREVD", 38, 73},     {"NEXTU", 38, 73},    {"NEXTD", 38, 73},
    {"DOPAINTU", 102, 73}, {"DOPAINTD", 102, 73}, {"PLAYSNDU", 70, 73}, {"PLAYSNDD", 70, 73},
    {"PLAYSNDX", 87, 73},  {"STOPSNDU", 70, 73},  {"STOPSNDD", 70, 73}, {"SLIDSHWU", 84, 73},
    {"SLIDSHWD", 84, 73},  {"PRINTU", 89, 73},    {"PRINTD", 89, 73},   {"UPDATEU", 79, 37},
    {"UPDATED", 79, 37},   {"UPDATEX", 79, 37},   {"EXITU", 66, 37},    {"EXITD", 66, 37},
    {"RESTOREU", 79, 37},  {"RESTORED", 79, 37},  {"RESTOREX", 79, 37}, {"COLORINU", 66, 37},
    {"COLORIND", 66, 37},
};

DibHandle LoadCompiledIn(const QString& name) {
    QFile file(":/bitmaps/" + name.toLower() + ".bmp");
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QByteArray bytes = file.readAll();
    return LoadDIB(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size())));
}

QImage Pixels(const QPixmap& p) {
    return p.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ButtonFacesTest, EveryFaceIsCompiledInAtItsSizeInSixteenColours) {
    for (const FaceSize& f : kFaces) {
        DibHandle dib = LoadCompiledIn(f.name);
        ASSERT_TRUE(dib) << f.name;
        EXPECT_EQ(DIBWidth(*dib), f.width) << f.name;
        EXPECT_EQ(DIBHeight(*dib), f.height) << f.name;
        EXPECT_EQ(dib->header.bitCount, 4) << f.name;
        EXPECT_LE(dib->colorTable.size(), 16u) << f.name;
    }
}

TEST(ButtonFacesTest, PressedAndGreyedFacesDifferFromTheNormalFace) {
    for (const char* base : {"PREV", "NEXT", "DOPAINT", "PLAYSND", "STOPSND", "SLIDSHW", "PRINT",
                             "UPDATE", "EXIT", "RESTORE", "COLORIN"}) {
        QImage normal = Pixels(LoadBarBitmap(QString(base) + "U"));
        EXPECT_NE(normal, Pixels(LoadBarBitmap(QString(base) + "D"))) << base;
    }
    // A greyed face keeps no colour but the greys of the button.
    for (const char* name : {"UPDATEX", "RESTOREX", "PLAYSNDX"}) {
        QImage greyed = Pixels(LoadBarBitmap(name));
        for (int y = 0; y < greyed.height(); ++y) {
            for (int x = 0; x < greyed.width(); ++x) {
                QRgb c = greyed.pixel(x, y);
                ASSERT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c))
                    << name << " at " << x << "," << y;
            }
        }
    }
}

TEST(HandButtonTest, ShowsTheFaceOfItsState) {
    QWidget parent;
    CHandButton update("UPDATE", ID_UPDATE_PAGE, &parent);
    ASSERT_TRUE(update.LoadBitmaps("UPDATEU", "UPDATED", "UPDATEX"));
    update.SizeToContent();
    EXPECT_EQ(update.size(), QSize(79, 37));
    EXPECT_EQ(update.text(), "UPDATE");
    EXPECT_EQ(update.ShownFace(), "UPDATEU");
    EXPECT_EQ(Pixels(update.grab()), Pixels(LoadBarBitmap("UPDATEU")));
    update.setDown(true);
    EXPECT_EQ(update.ShownFace(), "UPDATED");
    EXPECT_EQ(Pixels(update.grab()), Pixels(LoadBarBitmap("UPDATED")));
    update.setEnabled(false);
    EXPECT_EQ(update.ShownFace(), "UPDATEX");
    EXPECT_EQ(Pixels(update.grab()), Pixels(LoadBarBitmap("UPDATEX")));

    // Without a disabled face a disabled button shows its normal one.
    CHandButton exit("EXIT", ID_APP_EXIT, &parent);
    exit.LoadBitmaps("EXITU", "EXITD");
    exit.setEnabled(false);
    EXPECT_EQ(exit.ShownFace(), "EXITU");
    EXPECT_FALSE(exit.LoadBitmaps("NOSUCHU", "NOSUCHD"));
}

TEST(HandButtonTest, WiderDisabledFaceShowsItsLeftPart) {
    QWidget parent;
    CHandButton sound("PLAYSND", ID_PLAY_SOUND, &parent);
    sound.LoadBitmaps("PLAYSNDU", "PLAYSNDD", "PLAYSNDX");
    sound.SizeToContent();
    sound.setEnabled(false);
    EXPECT_EQ(sound.size(), QSize(70, 73));
    EXPECT_EQ(Pixels(sound.grab()), Pixels(LoadBarBitmap("PLAYSNDX")).copy(0, 0, 70, 73));
}

TEST(HandButtonTest, HandPointsWithTheTipOfItsFinger) {
    QCursor hand = HandCursor();
    ASSERT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(6, 0));
    QImage picture = hand.bitmap().toImage();
    QImage mask = hand.mask().toImage();
    ASSERT_EQ(picture.size(), QSize(32, 32));
    // The hot spot lies on the black edge of the fingertip, inside the mask;
    // the corner opposite is see-through.
    EXPECT_EQ(picture.pixelIndex(6, 0), 1);
    EXPECT_EQ(mask.pixelIndex(6, 0), 1);
    EXPECT_EQ(mask.pixelIndex(31, 31), 0);
    EXPECT_EQ(mask.pixelIndex(0, 0), 0);
}

TEST(HandButtonTest, HandShowsOnlyOverAButtonThatCanBePressed) {
    QWidget parent;
    CHandButton next("NEXT", ID_NEXT_PAGE, &parent);
    EXPECT_EQ(next.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(next.cursor().hotSpot(), QPoint(6, 0));
    next.setEnabled(false);
    EXPECT_FALSE(next.testAttribute(Qt::WA_SetCursor));
    next.setEnabled(true);
    EXPECT_EQ(next.cursor().shape(), Qt::BitmapCursor);
}

} // namespace
