#pragma once

// Shows the wait cursor over the whole application for as long as it lives: while a catalog is read or
// written the program cannot answer.
class CWaitCursor final {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
