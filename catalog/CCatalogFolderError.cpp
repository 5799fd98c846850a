#include "catalog/CCatalogFolderError.h"

#include <cstring>

CCatalogFolderError::CCatalogFolderError(CatalogFolderErrorKind kind, std::string path, int errorNumber)
    : m_kind(kind), m_path(std::move(path)), m_errorNumber(errorNumber) {}

std::string CCatalogFolderError::userMessage() const {
    switch (m_kind) {
        case CatalogFolderErrorKind::CreateFolder:
            return "フォルダが作成できませんでした";
        case CatalogFolderErrorKind::OldFolderLeft:
            return "前のフォルダの削除に失敗しました。不要であれば手動で削除してください";
        case CatalogFolderErrorKind::TargetExists:
        case CatalogFolderErrorKind::Rename:
        case CatalogFolderErrorKind::Copy:
            break;
    }
    return std::string();
}

std::string CCatalogFolderError::describe() const {
    if (m_errorNumber == 0) {
        return m_kind == CatalogFolderErrorKind::TargetExists ? m_path + ": already exists" : m_path;
    }
    return m_path + ": " + std::strerror(m_errorNumber);
}
