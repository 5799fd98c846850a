#pragma once

// The base of everything the undo history stores.
class CVemtoUndoUnit {
public:
    virtual ~CVemtoUndoUnit() = default;
};
