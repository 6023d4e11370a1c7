#pragma once

// Shows the wait cursor over the application's windows for the life of the object, on every way
// out. Nested ones stack; the last to go restores the cursor of before.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

    // Whether a wait cursor is showing now.
    static bool Showing();

    // The ordinary arrow for the life of the object while a wait cursor shows, for a message
    // box or dialog that asks the user something in the middle of long work.
    class TPause {
    public:
        TPause();
        ~TPause();
        TPause(const TPause&) = delete;
        TPause& operator=(const TPause&) = delete;

    private:
        bool m_paused;
    };
};
