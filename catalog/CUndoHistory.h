#pragma once

// The undo history of a document: the recorded units, the position of the present among them, and a
// limit of 100 units.
//
// When position < count the unit at position is a snapshot of the present and the units after it are redo
// states; when position == count the present has no snapshot yet. Units before position are undo states,
// the most recent last.

#include <memory>
#include <vector>

#include "catalog/CVemtoUndoUnit.h"

class CFileCatalog;
class CQuilloryUndo;

class CUndoHistory final {
public:
    static constexpr int kLimit = 100;

    // Drops the redo states, drops the oldest unit when the limit is reached, stores the unit at the
    // position and advances; returns the new position.
    int record(std::unique_ptr<CVemtoUndoUnit> unit);
    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position < count() - 1; }
    // Stores `present` when the present has no snapshot yet (else drops it), steps back and returns the
    // unit to restore (it stays in the history); null when there is nothing to undo.
    const CVemtoUndoUnit* undo(std::unique_ptr<CVemtoUndoUnit> present);
    // Steps forward and returns the unit to restore; null when there is nothing to redo.
    const CVemtoUndoUnit* redo();
    void clear();

    int position() const { return m_position; }
    int count() const { return static_cast<int>(m_units.size()); }
    int limit() const { return m_limit; }
    const CVemtoUndoUnit* unitAt(int i) const { return m_units[static_cast<std::size_t>(i)].get(); }

    // ---- the catalog's undo points ----
    // Records a snapshot of the catalog; it shares the unchanged items of the previous snapshot.
    int recordCatalog(const CFileCatalog& catalog);
    // Undo / redo on the catalog: restores the stored state (the caller recomputes); false when nothing
    // was there to undo / redo.
    bool undoCatalog(CFileCatalog& catalog);
    bool redoCatalog(CFileCatalog& catalog);

private:
    const CQuilloryUndo* latestSnapshot() const;

    std::vector<std::unique_ptr<CVemtoUndoUnit>> m_units;
    int m_position = 0;
    int m_limit = kLimit;
};
