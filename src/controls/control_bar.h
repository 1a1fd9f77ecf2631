// The base of the bars along the bottom of the main window.
#pragma once

#include "controls/bar_owner.h"

#include <QWidget>

#include <utility>
#include <vector>

// A strip in the colour of button faces with an etched line along its top.
// Each child control carries a command id: a button's press goes to the
// owner as its command; the owner's update rules decide each control's
// enabled state (and a label's text); the owner answers each control's tip.
class CControlBar : public QWidget {
    Q_OBJECT
public:
    // Rows 0 and 1 hold the etched line; controls start below it.
    static constexpr int kBorderHeight = 2;

    // `owner` is borrowed and outlives the bar.
    CControlBar(IBarOwner& owner, QWidget* parent);

    // Sets every control's enabled state from the owner's update rules, the
    // pressed state of a checkable button and the text of a label whose rule
    // gives one. Nothing while the bar is hidden.
    void OnUpdateCmdUI();

    // The control with this id, or null.
    QWidget* GetDlgItem(CommandId id) const;

protected:
    // Makes `control` the bar's control for `id`. A button's clicks are sent
    // to the owner as that command.
    void AddControl(QWidget* control, CommandId id);
    IBarOwner& Owner() { return m_owner; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CommandId IdOf(const QObject* control) const;
    void ShowTip(QWidget* control, CommandId id, const QPoint& at);

    IBarOwner& m_owner;
    std::vector<std::pair<CommandId, QWidget*>> m_controls;
    QWidget* m_tipFor = nullptr; // the control whose tip was asked for last
    QString m_tipText;
};
