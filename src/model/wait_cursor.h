// The wait cursor, shown while a long operation runs.
#pragma once

class IWaitCursor {
public:
    virtual ~IWaitCursor() = default;
    // Calls nest; the cursor returns once every Begin has had its End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// Shows the wait cursor for its lifetime; a null cursor is allowed.
class WaitCursorScope {
public:
    explicit WaitCursorScope(IWaitCursor* cursor) : m_cursor(cursor) {
        if (m_cursor)
            m_cursor->BeginWaitCursor();
    }
    ~WaitCursorScope() {
        if (m_cursor)
            m_cursor->EndWaitCursor();
    }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    IWaitCursor* m_cursor;
};
