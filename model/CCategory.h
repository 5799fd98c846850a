#pragma once

// One category of a catalog: a named attribute whose values the items carry in their value strings.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCategory final {
public:
    // Flag bits. The low two bits are the alignment of the category's cells.
    static constexpr std::uint32_t kAlignmentMask = 0x3;
    static constexpr std::uint32_t kGridColumn = 0x4;    // set at creation, never cleared
    static constexpr std::uint32_t kHiddenInPane = 0x8;  // hidden from the pane, ignored by the drill-down
    static constexpr int kAutomaticWidth = -1;

    // A new category: the given name, selection {""}, widths automatic, flags kGridColumn.
    explicit CCategory(std::string_view name = "");

    const std::string& name() const { return m_name; }
    void setName(std::string_view name) { m_name = name; }

    // The selected values of the pane; empty means no restriction.
    const std::vector<std::string>& selection() const { return m_selection; }
    void setSelection(std::vector<std::string> selection) { m_selection = std::move(selection); }

    // Every distinct value of the displayed items, sorted; rebuilt by the catalog's recompute.
    const std::vector<std::string>& values() const { return m_values; }
    void setValues(std::vector<std::string> values) { m_values = std::move(values); }

    int listWidth() const { return m_listWidth; }
    void setListWidth(int width) { m_listWidth = width; }
    int columnWidth() const { return m_columnWidth; }
    void setColumnWidth(int width) { m_columnWidth = width; }

    std::uint32_t flags() const { return m_flags; }
    void setFlags(std::uint32_t flags) { m_flags = flags; }
    int alignment() const { return static_cast<int>(m_flags & kAlignmentMask); }
    bool isShownInPane() const { return (m_flags & kHiddenInPane) == 0; }
    bool isGridColumn() const { return (m_flags & kGridColumn) != 0; }

    // Copies the stored fields: name, selection, widths and flags (the values list is left empty).
    CCategory copyStored() const;

private:
    std::string m_name;
    std::vector<std::string> m_selection{std::string()};
    std::vector<std::string> m_values;
    int m_listWidth = kAutomaticWidth;
    int m_columnWidth = kAutomaticWidth;
    std::uint32_t m_flags = kGridColumn;
};
