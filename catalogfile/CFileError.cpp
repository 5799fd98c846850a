#include "catalogfile/CFileError.h"

#include <cerrno>
#include <cstring>

namespace {

std::string withPath(std::string text, const std::string& path) {
    std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

}  // namespace

CFileError::CFileError(FileErrorKind kind, std::string path, int errorNumber, bool whileWriting)
    : m_kind(kind), m_path(std::move(path)), m_errorNumber(errorNumber), m_whileWriting(whileWriting) {}

CFileError CFileError::fromErrno(int errorNumber, std::string path, bool whileWriting) {
    FileErrorKind kind = FileErrorKind::Other;
    switch (errorNumber) {
        case ENOENT:
        case ENOTDIR:
            kind = FileErrorKind::NotFound;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
        case ETXTBSY:
            kind = FileErrorKind::AccessDenied;
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            kind = FileErrorKind::DiskFull;
            break;
        default:
            break;
    }
    return CFileError(kind, std::move(path), errorNumber, whileWriting);
}

CFileError CFileError::changedOnDisk(std::string path) {
    return CFileError(FileErrorKind::ChangedOnDisk, std::move(path), 0, true);
}

std::string CFileError::userMessage() const {
    if (m_whileWriting) {
        switch (m_kind) {
            case FileErrorKind::AccessDenied:
                return withPath("%1 は使用中または読み取り専用のため、書き込めません。", m_path);
            case FileErrorKind::DiskFull:
                return "出力先のﾃﾞｨｽｸ ﾄﾞﾗｲﾌﾞの空き容量が不足しています。";
            case FileErrorKind::ChangedOnDisk:
                return withPath(
                    "%1 は読み込んだ後に他のプログラムによって変更されたため、保存しませんでした。", m_path);
            case FileErrorKind::NotFound:
            case FileErrorKind::Other:
                return withPath("%1 の書き込み中に予期しないｴﾗｰが発生しました。", m_path);
        }
        return "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。";
    }
    switch (m_kind) {
        case FileErrorKind::NotFound:
            return withPath("%1\nこのﾌｧｲﾙが見つかりません。\nﾊﾟｽとﾌｧｲﾙ名が正しいかどうか確認してださい。",
                            m_path);
        case FileErrorKind::AccessDenied:
            return withPath("%1 は使用中のため、読み取れません。", m_path);
        case FileErrorKind::DiskFull:
        case FileErrorKind::ChangedOnDisk:
        case FileErrorKind::Other:
            return withPath("%1 の読み取り中に予期しないｴﾗｰが発生しました。", m_path);
    }
    return "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";
}

std::string CFileError::describe() const {
    if (m_kind == FileErrorKind::ChangedOnDisk)
        return m_path + ": changed by another program since it was read; not saved";
    return m_path + ": " + std::strerror(m_errorNumber);
}
