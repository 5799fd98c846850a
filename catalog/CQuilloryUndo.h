#pragma once

// One undo point: the whole stored state of the catalog when it was made.

#include "catalog/CCatalogSnapshot.h"
#include "catalog/CVemtoUndoUnit.h"

class CFileCatalog;

class CQuilloryUndo final : public CVemtoUndoUnit {
public:
    // previous: the most recent snapshot of the same catalog, whose unchanged chunks are shared.
    explicit CQuilloryUndo(const CFileCatalog& catalog, const CQuilloryUndo* previous = nullptr)
        : m_snapshot(CCatalogSnapshot::take(catalog, previous ? &previous->m_snapshot : nullptr)) {}

    const CCatalogSnapshot& snapshot() const { return m_snapshot; }
    // Assigns the stored state to the catalog (the caller recomputes).
    void restoreInto(CFileCatalog& catalog) const { m_snapshot.restore(catalog); }

private:
    CCatalogSnapshot m_snapshot;
};
