// The UI queue for model tests: what is posted runs at the next pump, in
// order, so nested handlers run exactly where an operation pumps.
#pragma once

#include "model/message_pump.h"

#include <deque>
#include <functional>

class ScriptedPump : public IMessagePump {
public:
    void Post(std::function<void()> event) { queue.push_back(std::move(event)); }
    void PumpPendingMessages() override {
        ++pumps;
        while (!queue.empty()) {
            std::function<void()> event = std::move(queue.front());
            queue.pop_front();
            event();
        }
    }
    std::deque<std::function<void()>> queue;
    int pumps = 0;
};
