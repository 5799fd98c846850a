#include "catalogfile/CArchiveError.h"

CArchiveError::CArchiveError(ArchiveErrorKind kind, std::uint64_t offset, std::string detail)
    : m_kind(kind), m_offset(offset), m_detail(std::move(detail)) {}

std::string_view CArchiveError::kindName(ArchiveErrorKind kind) {
    switch (kind) {
        case ArchiveErrorKind::EndOfFile:
            return "end of file";
        case ArchiveErrorKind::BadClass:
            return "bad class";
        case ArchiveErrorKind::BadSchema:
            return "bad schema";
        case ArchiveErrorKind::BadIndex:
            return "bad index";
        case ArchiveErrorKind::WrongElementClass:
            return "wrong element class";
        case ArchiveErrorKind::CountTooLarge:
            return "count too large";
        case ArchiveErrorKind::SharedObject:
            return "shared object";
        case ArchiveErrorKind::OverLimit:
            return "over limit";
    }
    return "unknown";
}

std::string CArchiveError::describe() const {
    std::string text(kindName(m_kind));
    text += " at byte " + std::to_string(m_offset);
    if (!m_detail.empty())
        text += ": " + m_detail;
    return text;
}
