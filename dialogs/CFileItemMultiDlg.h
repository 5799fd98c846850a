#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class CCategoryCombos;
class CFileCatalog;
class CFileItem;
class QLabel;

// "アイテムの属性設定": the values common to several items. A category that some item has a value in starts
// with the keep marker; on OK every category whose text is not the marker is set to that text in every item
// (an emptied text clears the category everywhere). The caller records the undo point and recomputes.
class CFileItemMultiDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kKeepMarker = "現在の内容をそのまま適用";
    static constexpr const char* kDefaultPrompt = "複数のファイル・フォルダに共通する属性を設定してください。";

    CFileItemMultiDlg(const CFileCatalog& catalog, std::vector<CFileItem*> items, QWidget* parent = nullptr);

    void setPrompt(const QString& prompt);
    CCategoryCombos& combos() const { return *m_combos; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<CFileItem*> m_items;
    QLabel* m_prompt = nullptr;
    CCategoryCombos* m_combos = nullptr;
};
