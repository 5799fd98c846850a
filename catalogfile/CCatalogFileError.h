#pragma once

#include <string>
#include <variant>

#include "catalogfile/CArchiveError.h"
#include "catalogfile/CFileError.h"

// Why a catalog file could not be read or written: its bytes are malformed, or the file system failed.
class CCatalogFileError final {
public:
    CCatalogFileError(CArchiveError error) : m_error(std::move(error)) {}  // NOLINT: implicit by design
    CCatalogFileError(CFileError error) : m_error(std::move(error)) {}     // NOLINT: implicit by design

    bool isFormatError() const { return std::holds_alternative<CArchiveError>(m_error); }
    const CArchiveError& formatError() const { return std::get<CArchiveError>(m_error); }
    const CFileError& fileError() const { return std::get<CFileError>(m_error); }

    // The message the user sees: "予期しないﾌｧｲﾙ形式です。" for every format error, else the file system's
    // text.
    std::string userMessage() const;
    // For qlry and logs: the kind and byte offset, or the path and the system's error text.
    std::string describe() const;

private:
    std::variant<CArchiveError, CFileError> m_error;
};
