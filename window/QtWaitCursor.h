// The wait cursor of a command, and the arrow that a modal dialog shows on top of it.
#pragma once

namespace quorlet3 {

// Shows the wait cursor for the lifetime of the object: it ends on every way out of
// the scope, also when an exception passes through.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// A modal dialog opened while a command's wait cursor is on shows the normal arrow, so
// the user can see the window is waiting for an answer; the wait cursor is back when
// the object goes. Does nothing when no wait cursor is on.
class CDialogCursor {
public:
    CDialogCursor();
    ~CDialogCursor();
    CDialogCursor(const CDialogCursor&) = delete;
    CDialogCursor& operator=(const CDialogCursor&) = delete;

private:
    bool m_pushed = false;
};

}  // namespace quorlet3
