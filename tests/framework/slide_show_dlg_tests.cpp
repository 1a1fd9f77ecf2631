#include "framework/qt_dialogs.h"
#include "framework/slide_show_dlg.h"
#include "framework/slide_show_help_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

SlideShowDlgData Opening(bool playSounds, int advanceChoice) {
    SlideShowDlgData d;
    d.m_bPlaySounds = playSounds;
    d.m_nFrom = 2;
    d.m_nTo = 9;
    d.m_nEvery = 15;
    d.m_nPagesChoice = 1;
    d.m_nAdvanceChoice = advanceChoice;
    return d;
}

bool Checked(const CSlideShowDlg& dlg, int id) {
    return static_cast<QAbstractButton*>(dlg.Control(id))->isChecked();
}

QLineEdit* Box(const CSlideShowDlg& dlg, int id) {
    return static_cast<QLineEdit*>(dlg.Control(id));
}

// Runs `answer` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

TEST(SlideShowDlgTest, TemplateControlsInTabOrder) {
    CSlideShowDlg dlg(Opening(true, 1), 12, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Slide Show");
    EXPECT_EQ(dlg.size(), QSize(460, 177)); // 307 x 109 dialog units
    struct Control {
        int id;
        const char* text;
        QRect units;
    } controls[] = {
        {303, "2", {40, 34, 15, 13}},
        {301, "&All", {10, 20, 29, 10}},
        {302, "&From:", {10, 35, 29, 10}},
        {304, "9", {75, 34, 15, 13}},
        {305, "&Every", {120, 20, 30, 10}},
        {306, "15", {155, 19, 15, 13}},
        {307, "&When Sound Is Done", {120, 85, 85, 10}},
        {308, "&Play Sounds", {5, 65, 106, 10}},
        {309, "&Run Continuously Until 'Esc'", {5, 80, 106, 10}},
        {1, "&Show", {255, 7, 45, 14}},
        {2, "Cancel", {255, 24, 45, 14}},
        {57670, "&Help", {255, 41, 45, 14}},
    };
    QStringList tabOrder;
    for (QWidget* w = dlg.nextInFocusChain(); w != &dlg; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder << w->objectName();
    QStringList expected;
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        QWidget* w = dlg.Control(c.id);
        ASSERT_NE(w, nullptr);
        QString text = w->property("text").toString();
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(w->geometry(), FromDialogUnits(c.units));
        expected << QString::number(c.id);
    }
    EXPECT_EQ(tabOrder, expected);
    auto* note = qobject_cast<QLabel*>(dlg.Control(310));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().startsWith("If 'When Sound Is Done' is selected"));
    EXPECT_LE(note->font().pixelSize(), dlg.font().pixelSize());    // no larger than the rest
    EXPECT_GE(note->height(), note->heightForWidth(note->width())); // shown whole
}

TEST(SlideShowDlgTest, OpensOnFromAndFollowsPlaySounds) {
    CSlideShowDlg sounds(Opening(true, 1), 12, nullptr);
    EXPECT_TRUE(Checked(sounds, 302));
    EXPECT_TRUE(Checked(sounds, 307));
    EXPECT_TRUE(sounds.Control(307)->isEnabled());

    CSlideShowDlg silent(Opening(false, 1), 12, nullptr);
    EXPECT_TRUE(Checked(silent, 305));
    EXPECT_FALSE(silent.Control(307)->isEnabled());
    // Ticking Play Sounds offers the sound again but keeps Every chosen.
    static_cast<QCheckBox*>(silent.Control(308))->click();
    EXPECT_TRUE(silent.Control(307)->isEnabled());
    EXPECT_TRUE(Checked(silent, 305));
    static_cast<QAbstractButton*>(silent.Control(307))->click();
    static_cast<QCheckBox*>(silent.Control(308))->click();
    EXPECT_TRUE(Checked(silent, 305));
    EXPECT_FALSE(silent.Control(307)->isEnabled());
}

TEST(SlideShowDlgTest, TypingAPageChoosesFromAndFromTakesTheFocus) {
    CSlideShowDlg dlg(Opening(true, 1), 12, nullptr);
    dlg.show();
    for (int box : {304, 303}) {
        static_cast<QAbstractButton*>(dlg.Control(301))->click();
        ASSERT_TRUE(Checked(dlg, 301));
        QTest::keyClick(dlg.Control(box), Qt::Key_5);
        EXPECT_TRUE(Checked(dlg, 302)) << box;
    }
    dlg.Control(306)->setFocus();
    static_cast<QAbstractButton*>(dlg.Control(302))->click();
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(303));
}

TEST(SlideShowDlgTest, ShowRefusesUntilTheValuesAreValid) {
    CSlideShowDlg dlg(Opening(true, 1), 5, nullptr);
    std::vector<std::string> messages;
    int beeps = 0;
    dlg.SetMessage([&](const std::string& text) { messages.push_back(text); });
    dlg.SetBeep([&] { ++beeps; });
    dlg.show();
    auto show = [&](const char* from, const char* to, const char* every) {
        Box(dlg, 303)->setText(from);
        Box(dlg, 304)->setText(to);
        Box(dlg, 306)->setText(every);
        static_cast<QAbstractButton*>(dlg.Control(1))->click();
    };
    show("2", "3", "61");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Please enter an integer between 1 and 60.");
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(306));
    EXPECT_EQ(Box(dlg, 306)->selectedText(), "61");
    show("2", "three", "7");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Please enter an integer.");
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(304));
    show("0", "3", "7");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(302));
    show("4", "3", "7");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(dlg.focusWidget(), dlg.Control(304));
    EXPECT_EQ(messages.size(), 2u); // a page out of range only beeps
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);

    show("2", "3", "1");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Data().m_nFrom, 2);
    EXPECT_EQ(dlg.Data().m_nTo, 3);
    EXPECT_EQ(dlg.Data().m_nEvery, 1);
}

TEST(SlideShowDlgTest, QtDialogsReturnTheValuesOnShowOnly) {
    QtDialogs dialogs;
    int helps = 0;
    dialogs.SetHelpHandler([&] { ++helps; });
    dialogs.SetPageCountSource([] { return 12; });
    SlideShowDlgData data = Opening(true, 1);
    WhenModal([](QWidget* w) {
        auto* dlg = qobject_cast<CSlideShowDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        Box(*dlg, 304)->setText("12");
        static_cast<QAbstractButton*>(dlg->Control(2))->click();
    });
    EXPECT_FALSE(dialogs.SlideShowDialog(data));
    EXPECT_EQ(data.m_nTo, 9);
    WhenModal([](QWidget* w) {
        auto* dlg = qobject_cast<CSlideShowDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        static_cast<QAbstractButton*>(dlg->Control(57670))->click();
        Box(*dlg, 304)->setText("12"); // 12 of 12 pages
        static_cast<QAbstractButton*>(dlg->Control(308))->click();
        static_cast<QAbstractButton*>(dlg->Control(1))->click();
    });
    EXPECT_TRUE(dialogs.SlideShowDialog(data));
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(data.m_nTo, 12);
    EXPECT_FALSE(data.m_bPlaySounds);
    EXPECT_EQ(data.m_nAdvanceChoice, 0);
}

TEST(SlideShowHelpDlgTest, ListsTheKeysInTwoColumns) {
    CSlideShowHelpDlg dlg(nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Slide Show Help");
    EXPECT_EQ(dlg.size(), QSize(382, 143)); // 255 x 88 dialog units
    const int leftX = FromDialogUnits(QRect(5, 0, 0, 0)).x();
    const int rightX = FromDialogUnits(QRect(128, 0, 0, 0)).x();
    QStringList left, right;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_TRUE(dlg.rect().contains(label->geometry()));
        EXPECT_GE(label->height(), label->sizeHint().height()); // no line cut off
        if (label->x() == leftX) {
            left << label->text();
        } else {
            EXPECT_EQ(label->x(), rightX);
            right << label->text();
        }
    }
    EXPECT_EQ(left, QStringList({"During the slide show:",
                                 "Mouse click, space, 'N', right\narrow, down arrow, or page down",
                                 "Right click, backspace, 'P', left\narrow, up arrow, or page up",
                                 "'S' or '+'", "Esc, Ctrl+Break, or '-'"}));
    EXPECT_EQ(right, QStringList({"Advance to the next page", "Return to the previous page",
                                  "Stop/Restart show", "End slide show"}));
    auto* ok = dlg.findChild<QAbstractButton*>("2");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(ok->geometry(), FromDialogUnits(QRect(211, 5, 40, 14)));
}

TEST(SlideShowHelpDlgTest, OneListAtATime) {
    QtDialogs dialogs;
    int listsWhileOpen = -1;
    WhenModal([&](QWidget* w) {
        ASSERT_NE(qobject_cast<CSlideShowHelpDlg*>(w), nullptr);
        dialogs.SlideShowHelp(); // returns at once
        listsWhileOpen = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            listsWhileOpen += qobject_cast<CSlideShowHelpDlg*>(top) && top->isVisible();
        static_cast<QAbstractButton*>(w->findChild<QAbstractButton*>("2"))->click();
    });
    dialogs.SlideShowHelp();
    EXPECT_EQ(listsWhileOpen, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
