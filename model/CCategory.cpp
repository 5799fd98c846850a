#include "model/CCategory.h"

CCategory::CCategory(std::string_view name) : m_name(name) {}

CCategory CCategory::copyStored() const {
    CCategory copy(m_name);
    copy.m_selection = m_selection;
    copy.m_listWidth = m_listWidth;
    copy.m_columnWidth = m_columnWidth;
    copy.m_flags = m_flags;
    return copy;
}
