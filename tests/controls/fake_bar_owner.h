// A bar owner for tests: records what the bar sends and asks, and answers
// from maps a test fills in.
#pragma once

#include "controls/bar_owner.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeBarOwner : public IBarOwner {
public:
    void OnBarCommand(CommandId id) override { commands.push_back(id); }
    void OnBarNotify(CommandId id, int code) override { notifications.emplace_back(id, code); }
    ControlState QueryBarControl(CommandId id) override {
        auto it = states.find(id);
        return it == states.end() ? ControlState{} : it->second;
    }
    std::string OnNeedToolTipText(CommandId id) override {
        tipsAsked.push_back(id);
        auto it = tips.find(id);
        return it == tips.end() ? std::string() : it->second;
    }

    std::vector<CommandId> commands;
    std::vector<std::pair<CommandId, int>> notifications;
    std::map<CommandId, ControlState> states;
    std::vector<CommandId> tipsAsked;
    std::map<CommandId, std::string> tips;
};
