#pragma once

#include <QDialog>

class QCheckBox;

// The catalog settings: whether the catalog keeps its files through shortcuts in its folder, and whether it
// stores relative paths (offered only while shortcuts are off, as the two exclude each other). The caller
// sets both options and reads them back after OK.
class CCatalogSetDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CCatalogSetDlg(QWidget* parent = nullptr);

    void setUseShortcuts(bool on);
    bool useShortcuts() const;
    void setRelativePaths(bool on);
    bool relativePaths() const;

private:
    void updateRelativePathsEnabled();

    QCheckBox* m_useShortcuts = nullptr;
    QCheckBox* m_relativePaths = nullptr;
};
