// What a bar of controls along the bottom of a window asks of that window.
// Every control of a bar carries a command id; the bar reports presses and
// notifications by that id and asks for each control's state and tip by it.
#pragma once

#include "model/framework/cmd_target.h"

#include <string>

// Notification codes a control sends with its id.
enum BarNotification : int {
    kNotifySelEndOk = 9,      // a list's choice was made (also the entry already chosen)
    kNotifySelEndCancel = 10, // a list was closed without a choice
};

class IBarOwner {
public:
    virtual ~IBarOwner() = default;

    // A button was pressed: carry out its command (or drop it, as its update
    // rule says).
    virtual void OnBarCommand(CommandId id) = 0;
    // A control other than a button reports what happened to it.
    virtual void OnBarNotify(CommandId id, int code) = 0;
    // How the control of this command should look now: its update rule's answer.
    virtual ControlState QueryBarControl(CommandId id) = 0;
    // The tip to show over the control of this command, empty for none. The
    // owner may speak the control's prompt while answering.
    virtual std::string OnNeedToolTipText(CommandId id) = 0;
};
