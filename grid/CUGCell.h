#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <Qt>

// What a cell shows and how it behaves.
enum class CUGCellKind { Normal, DropList, CheckBox, Arrow };

// How a cell's text compares when the grid sorts.
enum class CUGDataType { Text, Number };

// One cell of the grid, copied out by CUGCtrl::getCell and written back by CUGCtrl::setCell.
// A check box cell is checked when its text is a non-zero number ("1"); a drop-down list cell offers the
// choices of its label text, each followed by "\n".
class CUGCell final {
public:
    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    const QString& label() const { return m_label; }
    void setLabel(const QString& label) { m_label = label; }
    CUGCellKind cellType() const { return m_type; }
    void setCellType(CUGCellKind type) { m_type = type; }
    // A style flag of the cell type, kept for the derived grid; the grid itself does not read it.
    int cellTypeEx() const { return m_typeEx; }
    void setCellTypeEx(int flags) { m_typeEx = flags; }
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    CUGDataType dataType() const { return m_dataType; }
    void setDataType(CUGDataType type) { m_dataType = type; }
    // An invalid colour stands for the grid's default background.
    const QColor& backColor() const { return m_backColor; }
    void setBackColor(const QColor& colour) { m_backColor = colour; }

    bool isChecked() const { return isCheckedText(m_text); }
    double number() const { return m_text.toDouble(); }
    QStringList choices() const { return choicesOf(m_label); }

    static bool isCheckedText(const QString& text);
    // The choices of a drop-down label: "a\nb\n" gives a, b; an empty label gives none.
    static QStringList choicesOf(const QString& label);

private:
    QString m_text;
    QString m_label;
    CUGCellKind m_type = CUGCellKind::Normal;
    int m_typeEx = 0;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    CUGDataType m_dataType = CUGDataType::Text;
    QColor m_backColor;
};
