// Dispatching the events waiting on the UI thread from inside an operation.
#pragma once

class IMessagePump {
public:
    virtual ~IMessagePump() = default;

    // Dispatches every event waiting on the UI thread, then returns; no idle
    // work, no key-table translation. Handlers run nested in the caller, so
    // a caller must store what they need before and look at its state again
    // afterwards.
    virtual void PumpPendingMessages() = 0;
};
