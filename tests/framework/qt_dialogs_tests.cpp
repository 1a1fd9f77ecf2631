#include "framework/qt_dialogs.h"

#include "framework/key_map.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// Runs `answer` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

TEST(QtDialogsTest, InsertDiscPromptBeepsAndAnswersOkOrCancel) {
    QtDialogs dialogs;
    int beeps = 0;
    dialogs.SetBeep([&] { ++beeps; });
    InsertDiscPrompt prompt{"Please insert the \"Farm\" CD. Then press OK.", std::nullopt};
    QString shownText, caption;
    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CInsertDiscDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        caption = dlg->windowTitle();
        shownText = dlg->TextLabel()->text();
        dlg->accept();
    });
    EXPECT_TRUE(dialogs.InsertDisc(prompt));
    EXPECT_EQ(caption, "Insert CD");
    EXPECT_EQ(shownText, "Please insert the \"Farm\" CD. Then press OK.");
    WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.InsertDisc(prompt));
    EXPECT_EQ(beeps, 2);
}

TEST(QtDialogsTest, InsertDiscPromptIsItsTemplateWithNothingBelowTheButtons) {
    struct Case {
        std::string title;
        bool fitsTemplate;
    } cases[] = {{"Farm", true},
                 {"The Big Book of Farm Animals, Their Friends and All the Fields and "
                  "Hills Around Them",
                  false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        CInsertDiscDlg dlg(
            {"Please insert the \"" + c.title + "\" CD. Then press OK.", std::nullopt}, nullptr);
        dlg.show();
        QApplication::processEvents();
        if (c.fitsTemplate)
            EXPECT_EQ(dlg.size(), QSize(318, 89)); // 212 x 55 dialog units
        else
            EXPECT_GT(dlg.height(), 89);
        QLabel* text = dlg.TextLabel();
        EXPECT_GE(text->height(), text->heightForWidth(text->width())); // shown whole
        int buttonsBottom = 0;
        for (QPushButton* button : dlg.findChildren<QPushButton*>()) {
            EXPECT_GT(button->y(), text->geometry().bottom());
            buttonsBottom = std::max(buttonsBottom, button->geometry().bottom());
        }
        for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(dlg.rect().contains(child->geometry())) << child->metaObject()->className();
        // Below the buttons the dialog shows only its background.
        QImage shot = dlg.grab().toImage();
        QRgb background = shot.pixel(0, 0);
        int stray = 0;
        for (int y = buttonsBottom + 1; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                stray += shot.pixel(x, y) != background;
        EXPECT_EQ(stray, 0);
        EXPECT_GE(shot.height() - 1 - buttonsBottom, 8); // a margin, as above the text
    }
}

TEST(QtDialogsTest, MessagesAreTitledWithTheProgramsName) {
    QtDialogs dialogs;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    dialogs.MessageBox("There is no sound file for this page.", MessageIcon::Exclamation);
    EXPECT_EQ(title, "Tintaroo!");
    EXPECT_EQ(text, "There is no sound file for this page.");
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtDialogsTest, ColourChooserSpeaksStoredColourValues) {
    QtDialogs dialogs;
    QColor opened;
    WhenModal([&](QWidget* w) {
        auto* chooser = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(chooser, nullptr);
        opened = chooser->currentColor();
        chooser->setCurrentColor(QColor(10, 20, 30));
        chooser->accept();
    });
    std::optional<std::uint32_t> chosen = dialogs.ChooseColor(0x0000FF); // red
    EXPECT_EQ(opened, QColor(255, 0, 0));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, 0x1E140Au); // 30, 20, 10 as blue, green, red
    WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.ChooseColor(0));
}

TEST(KeyMapTest, ToolkitKeysBecomeTableKeys) {
    auto press = [](int key, Qt::KeyboardModifiers mods) {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        return KeyPressOf(e);
    };
    auto k = press(Qt::Key_PageDown, Qt::NoModifier);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->key, VK_NEXT);
    EXPECT_EQ(k->modifiers, kModNone);
    k = press(Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->key, 'P');
    EXPECT_EQ(k->modifiers, kModCtrl);
    k = press(Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->modifiers, kModAlt | kModShift);
    EXPECT_FALSE(press(Qt::Key_F12, Qt::NoModifier));
}

} // namespace
