#include "catalog/CUndoHistory.h"

#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "catalog/CQuilloryUndo.h"

int CUndoHistory::record(std::unique_ptr<CVemtoUndoUnit> unit) {
    m_units.resize(static_cast<std::size_t>(m_position));
    if (count() >= m_limit) {
        m_units.erase(m_units.begin());
        --m_position;
    }
    m_units.push_back(std::move(unit));
    return ++m_position;
}

const CVemtoUndoUnit* CUndoHistory::undo(std::unique_ptr<CVemtoUndoUnit> present) {
    if (m_position < 1) {
        return nullptr;
    }
    if (m_position == count()) {
        m_units.push_back(std::move(present));
    }
    --m_position;
    return m_units[static_cast<std::size_t>(m_position)].get();
}

const CVemtoUndoUnit* CUndoHistory::redo() {
    if (!canRedo()) {
        return nullptr;
    }
    ++m_position;
    return m_units[static_cast<std::size_t>(m_position)].get();
}

void CUndoHistory::clear() {
    m_units.clear();
    m_position = 0;
}

const CQuilloryUndo* CUndoHistory::latestSnapshot() const {
    // Any snapshot of the catalog serves for sharing; the one nearest the present shares the most.
    for (int i = std::min(m_position, count() - 1); i >= 0; --i) {
        if (auto* unit = dynamic_cast<const CQuilloryUndo*>(unitAt(i))) {
            return unit;
        }
    }
    return nullptr;
}

int CUndoHistory::recordCatalog(const CFileCatalog& catalog) {
    return record(std::make_unique<CQuilloryUndo>(catalog, latestSnapshot()));
}

bool CUndoHistory::undoCatalog(CFileCatalog& catalog) {
    if (!canUndo()) {
        return false;
    }
    auto present = std::make_unique<CQuilloryUndo>(catalog, latestSnapshot());
    const auto* unit = dynamic_cast<const CQuilloryUndo*>(undo(std::move(present)));
    if (unit) {
        unit->restoreInto(catalog);
    }
    return unit != nullptr;
}

bool CUndoHistory::redoCatalog(CFileCatalog& catalog) {
    const auto* unit = dynamic_cast<const CQuilloryUndo*>(redo());
    if (unit) {
        unit->restoreInto(catalog);
    }
    return unit != nullptr;
}
