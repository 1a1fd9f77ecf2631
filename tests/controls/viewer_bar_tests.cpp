#include "controls/viewer_bar.h"

#include "controls/hand_button.h"
#include "controls/page_list_box.h"
#include "fake_bar_owner.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

namespace {

class ViewerBarTest : public ::testing::Test {
protected:
    ViewerBarTest() : bar(owner, nullptr) {
        bar.resize(800, bar.height());
        bar.Create();
        bar.show();
    }

    QLabel* Label(CommandId id) { return qobject_cast<QLabel*>(bar.GetDlgItem(id)); }

    QStringList Entries() {
        QStringList texts;
        for (int i = 0; i < bar.PageList()->count(); ++i)
            texts << bar.PageList()->itemText(i);
        return texts;
    }

    static QStringList Numbers(int n) {
        QStringList texts;
        for (int i = 1; i <= n; ++i)
            texts << QString::number(i);
        return texts;
    }

    void EnableAll() {
        for (CommandId id :
             {ID_PREV_PAGE, ID_NEXT_PAGE, ID_COLOUR_PAGE, ID_PLAY_SOUND, ID_SLIDE_SHOW,
              ID_FILE_PRINT, ID_UPDATE_PAGE, ID_RESTORE_PAGE, ID_APP_EXIT,
              ID_COLOURING_INSTRUCTIONS, ID_PAGE_LABEL, ID_PAGE_LIST, ID_PAGE_TOTAL})
            owner.states[id].enabled = true;
        bar.OnUpdateCmdUI();
    }

    FakeBarOwner owner;
    CViewerBar bar;
};

TEST_F(ViewerBarTest, ButtonsSitSideBySideSharingTheirEdges) {
    struct Place {
        CommandId id;
        QRect rect;
    };
    const Place places[] = {
        {ID_PREV_PAGE, QRect(0, 2, 38, 73)},
        {ID_PAGE_LABEL, QRect(39, 2, 60, 14)},
        {ID_NEXT_PAGE, QRect(98, 2, 38, 73)},
        {ID_COLOUR_PAGE, QRect(142, 2, 102, 73)},
        {ID_PLAY_SOUND, QRect(243, 2, 70, 73)},
        {ID_SLIDE_SHOW, QRect(312, 2, 84, 73)},
        {ID_FILE_PRINT, QRect(395, 2, 89, 73)},
        {ID_UPDATE_PAGE, QRect(483, 2, 79, 37)},
        {ID_RESTORE_PAGE, QRect(483, 38, 79, 37)},
        {ID_APP_EXIT, QRect(561, 2, 66, 37)},
        {ID_COLOURING_INSTRUCTIONS, QRect(561, 38, 66, 37)},
    };
    for (const Place& p : places) {
        QWidget* control = bar.GetDlgItem(p.id);
        ASSERT_TRUE(control) << p.id;
        EXPECT_EQ(control->geometry(), p.rect) << p.id;
        EXPECT_LE(control->geometry().bottom(), bar.height() - 1) << p.id;
    }
}

TEST_F(ViewerBarTest, PageCounterStandsInOneColumnUnderTheLabel) {
    QRect label = bar.GetDlgItem(ID_PAGE_LABEL)->geometry();
    QRect list = bar.PageList()->geometry();
    QRect total = bar.GetDlgItem(ID_PAGE_TOTAL)->geometry();
    EXPECT_EQ(list.topLeft(), QPoint(label.left(), label.bottom() + 2));
    EXPECT_EQ(list.width(), 60);
    // The closed list is as high as its large numbers need.
    EXPECT_GE(list.height(), QFontMetrics(bar.PageList()->font()).height());
    EXPECT_EQ(total, QRect(list.left(), list.bottom() + 2, 59, 12));
    EXPECT_LE(total.bottom(), bar.height() - 1);
    // The next button covers the column's right-most pixels.
    EXPECT_EQ(bar.GetDlgItem(ID_NEXT_PAGE)->x(), list.right());
}

TEST_F(ViewerBarTest, CounterStartsDisabledAndFollowsTheUpdateRules) {
    for (CommandId id : {ID_PAGE_LABEL, ID_PAGE_LIST, ID_PAGE_TOTAL})
        EXPECT_FALSE(bar.GetDlgItem(id)->isEnabled()) << id;
    EXPECT_EQ(Label(ID_PAGE_LABEL)->text(), "Page:");
    EXPECT_EQ(Label(ID_PAGE_TOTAL)->text(), "of ");
    EXPECT_EQ(bar.PageList()->count(), 0);

    owner.states[ID_PAGE_TOTAL] = {true, std::nullopt, "of 1"};
    owner.states[ID_PAGE_LABEL].enabled = true;
    owner.states[ID_PAGE_LIST].enabled = true;
    owner.states[ID_NEXT_PAGE].enabled = true;
    bar.OnUpdateCmdUI();
    for (CommandId id : {ID_PAGE_LABEL, ID_PAGE_LIST, ID_PAGE_TOTAL, ID_NEXT_PAGE})
        EXPECT_TRUE(bar.GetDlgItem(id)->isEnabled()) << id;
    EXPECT_EQ(Label(ID_PAGE_TOTAL)->text(), "of 1");
    // A control whose command nobody handles or updates is disabled.
    EXPECT_FALSE(bar.GetDlgItem(ID_PREV_PAGE)->isEnabled());
    EXPECT_FALSE(bar.GetDlgItem(ID_COLOURING_INSTRUCTIONS)->isEnabled());

    // A hidden bar is left as it is.
    bar.hide();
    owner.states[ID_NEXT_PAGE].enabled = false;
    bar.OnUpdateCmdUI();
    EXPECT_TRUE(bar.GetDlgItem(ID_NEXT_PAGE)->isEnabled());
}

TEST_F(ViewerBarTest, PageListHoldsOneEntryPerPageUpToNinetyNine) {
    bar.FillPageList(true, 12);
    EXPECT_EQ(Entries(), Numbers(12));
    bar.FillPageList(true, 5);
    EXPECT_EQ(Entries(), Numbers(5));
    // Without the reset the entries already there stay, more are added or
    // the last ones dropped.
    bar.FillPageList(false, 8);
    EXPECT_EQ(Entries(), Numbers(8));
    bar.FillPageList(false, 3);
    EXPECT_EQ(Entries(), Numbers(3));
    bar.FillPageList(true, 150);
    EXPECT_EQ(Entries(), Numbers(99));

    // However many entries, the open list is a drop-down of about 360 pixels.
    EnableAll();
    bar.PageList()->showPopup();
    int height = bar.PageList()->view()->window()->height();
    EXPECT_GE(height, 300);
    EXPECT_LE(height, 400);
    bar.PageList()->hidePopup();
}

TEST_F(ViewerBarTest, SelectingAPageMovesTheListWithoutReportingAChoice) {
    EnableAll();
    bar.FillPageList(true, 12);
    bar.SelectPage(7);
    EXPECT_EQ(bar.PageList()->currentText(), "7");
    bar.SelectPage(13);
    EXPECT_EQ(bar.PageList()->currentIndex(), -1);
    QApplication::processEvents();
    EXPECT_TRUE(owner.notifications.empty());
}

TEST_F(ViewerBarTest, SoundButtonSwitchesBetweenPlayAndStop) {
    CHandButton* sound = bar.Button(ID_PLAY_SOUND);
    // Before any sound has played, a disabled sound button shows its play face.
    bar.OnUpdateCmdUI();
    ASSERT_FALSE(sound->isEnabled());
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDU");
    owner.states[ID_PLAY_SOUND].enabled = true;
    bar.OnUpdateCmdUI();
    bar.SetPlayButton(false);
    EXPECT_EQ(sound->ShownFace(), "STOPSNDU");
    sound->setDown(true);
    EXPECT_EQ(sound->ShownFace(), "STOPSNDD");
    sound->setDown(false);
    bar.SetPlayButton(true);
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDU");
    EXPECT_EQ(sound->size(), QSize(70, 73));
    // Set back after a sound, a disabled play face is greyed.
    owner.states[ID_PLAY_SOUND].enabled = false;
    bar.OnUpdateCmdUI();
    EXPECT_EQ(sound->ShownFace(), "PLAYSNDX");
}

TEST_F(ViewerBarTest, PressingAButtonSendsItsCommand) {
    EnableAll();
    QTest::mouseClick(bar.Button(ID_NEXT_PAGE), Qt::LeftButton);
    QTest::mouseClick(bar.Button(ID_COLOURING_INSTRUCTIONS), Qt::LeftButton, {}, QPoint(30, 30));
    owner.states[ID_PREV_PAGE].enabled = false;
    bar.OnUpdateCmdUI();
    QTest::mouseClick(bar.Button(ID_PREV_PAGE), Qt::LeftButton);
    EXPECT_EQ(owner.commands, (std::vector<CommandId>{ID_NEXT_PAGE, ID_COLOURING_INSTRUCTIONS}));
}

TEST_F(ViewerBarTest, ChoosingFromTheListEndsWithOkAndClosingItWithCancel) {
    EnableAll();
    bar.FillPageList(true, 12);
    bar.SelectPage(3);
    CPageListBox* list = bar.PageList();

    // The entry already selected, chosen again, still ends with OK.
    list->showPopup();
    QTest::keyClick(list->view(), Qt::Key_Return);
    QApplication::processEvents();
    list->showPopup();
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(list->currentText(), "4");
    list->showPopup();
    QTest::keyClick(list->view(), Qt::Key_Escape);
    QApplication::processEvents();

    using Note = std::pair<CommandId, int>;
    EXPECT_EQ(owner.notifications, (std::vector<Note>{{ID_PAGE_LIST, kNotifySelEndOk},
                                                      {ID_PAGE_LIST, kNotifySelEndOk},
                                                      {ID_PAGE_LIST, kNotifySelEndCancel}}));
}

TEST_F(ViewerBarTest, WheelOverTheClosedListChoosesNothingButReturnDoes) {
    EnableAll();
    bar.FillPageList(true, 12);
    bar.SelectPage(3);
    CPageListBox* list = bar.PageList();
    QPointF centre = QRectF(list->rect()).center();
    for (int notch : {-120, -120, 120}) {
        QWheelEvent wheel(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, notch),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    }
    QApplication::processEvents();
    EXPECT_EQ(list->currentText(), "3");
    EXPECT_TRUE(owner.notifications.empty());

    // Return on the closed list confirms the page it shows.
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(list->currentText(), "3");
    using Note = std::pair<CommandId, int>;
    EXPECT_EQ(owner.notifications, (std::vector<Note>{{ID_PAGE_LIST, kNotifySelEndOk}}));
}

TEST_F(ViewerBarTest, LargestNumberStaysLeftOfTheArrow) {
    EnableAll();
    bar.FillPageList(true, 99);
    CPageListBox* list = bar.PageList();
    bar.SelectPage(0); // no entry: the box and its arrow alone
    QImage empty = list->grab().toImage();
    bar.SelectPage(99);
    QImage shown = list->grab().toImage();
    ASSERT_EQ(empty.size(), shown.size());

    QStyleOptionComboBox option;
    option.initFrom(list);
    QRect arrow =
        list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, list);
    QRect text = list->TextRect();
    ASSERT_LT(text.right(), arrow.left());
    // Every pixel the number changes lies in the room left of the arrow,
    // and the number shows there whole, not cut at either side.
    QRect ink;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != empty.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(text.contains(ink)) << ink.x() << "," << ink.width() << " in " << text.x() << ","
                                    << text.width() << ", arrow from " << arrow.left();
    EXPECT_GT(ink.left(), text.left());
    EXPECT_LT(ink.right(), text.right());
}

TEST_F(ViewerBarTest, TipIsAskedForOnceEachTimeThePointerComesToAControl) {
    owner.tips[ID_NEXT_PAGE] = "Go to the next page";
    QWidget* next = bar.GetDlgItem(ID_NEXT_PAGE);
    auto rest = [](QWidget* w, QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &help);
    };
    rest(next, QPoint(5, 5));
    EXPECT_EQ(QToolTip::text(), "Go to the next page");
    rest(next, QPoint(9, 20)); // still over the same button: not asked again
    EXPECT_EQ(owner.tipsAsked, std::vector<CommandId>{ID_NEXT_PAGE});
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(next, &leave);
    rest(next, QPoint(5, 5));
    // The page list and disabled controls have tips too; a control without
    // a tip shows none.
    rest(bar.PageList(), QPoint(5, 5));
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
        QTest::qWait(10); // a tip fades out
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(owner.tipsAsked, (std::vector<CommandId>{ID_NEXT_PAGE, ID_NEXT_PAGE, ID_PAGE_LIST}));
}

} // namespace
