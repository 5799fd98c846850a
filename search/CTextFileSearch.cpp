#include "search/CTextFileSearch.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "model/CExtArray.h"
#include "model/CFileItem.h"
#include "text/Cp932.h"
#include "text/JapaneseCode.h"
#include "text/Normalize.h"

namespace {

constexpr std::size_t kDetectBytes = 64 * 1024;
constexpr std::size_t kReadBytes = 64 * 1024;
// A line longer than this is searched in pieces; the pieces overlap so that no match is lost at a cut.
constexpr std::size_t kMaxPiece = 16 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The length in bytes of the character that starts at `pos`, in the file's code.
std::size_t characterLength(std::string_view bytes, std::size_t pos, int code) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    std::size_t length = 1;
    switch (code) {
        case jtext::kCodeUtf8:
            length = jtext::decodeUtf8(bytes, pos).length;
            break;
        case jtext::kCodeEuc:
            length = byte == 0x8F ? 3 : byte >= 0x80 ? 2 : 1;
            break;
        case jtext::kCodeShiftJis:
        case jtext::kCodeEucOrShiftJis:
            length = jtext::isLeadByte(byte) ? 2 : 1;
            break;
        default:
            break;
    }
    return std::min(length, bytes.size() - pos);
}

// The largest character boundary at or below `limit`.
std::size_t boundaryAtOrBelow(std::string_view bytes, std::size_t limit, int code) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t next = pos + characterLength(bytes, pos, code);
        if (next > limit) {
            break;
        }
        pos = next;
    }
    return pos;
}

std::string toUtf8(std::string_view bytes, int code) {
    std::string shiftJis;
    switch (code) {
        case jtext::kCodeUtf8:
        case jtext::kCodeNone:
            return std::string(bytes);
        case jtext::kCodeJis:
            jtext::jisToShiftJis(bytes, shiftJis);
            return jtext::cp932ToUtf8(shiftJis);
        case jtext::kCodeEuc:
            jtext::eucToShiftJis(bytes, shiftJis);
            return jtext::cp932ToUtf8(shiftJis);
        default:
            return jtext::cp932ToUtf8(bytes);
    }
}

// How many bytes of the file's code the UTF-8 text takes (0 for JIS, whose shifts make it unknowable here).
std::size_t sourceLength(std::string_view utf8, int code) {
    std::string euc;
    switch (code) {
        case jtext::kCodeUtf8:
        case jtext::kCodeNone:
            return utf8.size();
        case jtext::kCodeJis:
            return 0;
        case jtext::kCodeEuc:
            jtext::shiftJisToEuc(jtext::utf8ToCp932(utf8), euc);
            return euc.size();
        default:
            return jtext::utf8ToCp932(utf8).size();
    }
}

// Whether the bytes hold anything but plain ASCII text (JIS starts its shifts with ESC).
bool hasJapaneseBytes(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == 0x1B) {
            return true;
        }
    }
    return false;
}

int detectCode(std::FILE* file) {
    std::string head(kDetectBytes, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::rewind(file);
    // The code the file is read in: the second look settles what the first answer leaves open.
    return jtext::settleJapaneseCode(head, jtext::detectJapaneseCode(head));
}

}  // namespace

std::int64_t CTextFileSearch::find(const CFileItem& item, std::string_view text,
                                   const CExtArray& textFileExtensions) {
    if (item.kind() == ItemKind::Url || item.isUrl() || !textFileExtensions.contains(item.extension())) {
        return -1;
    }
    return findInFile(std::string(item.path()), text);
}

// The file is read in blocks, and all the whole lines of what was read are converted to UTF-8 and searched
// at once: a text typed on one line never matches across a line end, so this finds what a search line by
// line finds, with one conversion and one search per block instead of one per line. A line longer than
// kMaxPiece is cut at a character boundary and the next piece starts with the last bytes of the previous
// one, enough to hold any match. JIS text is cut only where its converter's shift state carries over, so it
// gets no overlap.
std::int64_t CTextFileSearch::findInFile(const std::string& path, std::string_view text) {
    if (text.empty() || path.empty()) {
        return -1;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return -1;
    }
    int code = detectCode(file.get());
    if (code == jtext::kCodeJis) {
        jtext::resetJisShiftState();
    }
    std::size_t overlap = code == jtext::kCodeJis ? 0 : 2 * text.size() + 8;

    std::string pending;            // bytes read and not yet searched
    std::int64_t pendingStart = 0;  // file offset of pending[0]
    std::string carry;              // the overlap taken from the end of the previous piece
    std::int64_t carryStart = 0;
    bool atEnd = false;
    std::string block(kReadBytes, '\0');
    while (true) {
        std::size_t lineEnd = pending.find('\n');
        while (lineEnd == std::string::npos && pending.size() < kMaxPiece && !atEnd) {
            const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
            if (got == 0) {
                atEnd = true;  // end of file or a read error: what was read is still searched
            }
            pending.append(block.data(), got);
            lineEnd = pending.find('\n');
        }
        if (pending.empty()) {
            return -1;
        }
        // A file whose start is plain ASCII gets its code from the first piece that is not.
        if (code == jtext::kCodeNone && hasJapaneseBytes(pending)) {
            code = jtext::settleJapaneseCode(pending, jtext::detectJapaneseCode(pending));
            if (code == jtext::kCodeJis) {
                jtext::resetJisShiftState();
                overlap = 0;
                carry.clear();
            }
        }
        std::size_t cut = 0;
        bool cutInsideLine = false;
        if (lineEnd != std::string::npos && lineEnd < kMaxPiece) {
            cut = pending.rfind('\n') + 1;  // every whole line read so far
        } else if (pending.size() <= kMaxPiece && atEnd) {
            cut = pending.size();
        } else {
            cut = boundaryAtOrBelow(pending, kMaxPiece, code);
            if (cut == 0) {
                cut = std::min(pending.size(), kMaxPiece);
            }
            cutInsideLine = true;
        }
        const std::string_view piece(pending.data(), cut);
        const std::string segment = carry + std::string(piece);
        const std::int64_t segmentStart = carry.empty() ? pendingStart : carryStart;
        const std::string utf8 = toUtf8(segment, code);
        const std::ptrdiff_t hit = jtext::normalizedSearch(utf8, text, jtext::kNormCase);
        if (hit >= 0) {
            const std::string_view before = std::string_view(utf8).substr(0, static_cast<std::size_t>(hit));
            if (code == jtext::kCodeJis) {
                // The offset of the line: conversion keeps line ends, so the hit's line starts after as many
                // of the segment's line ends as precede the hit in the converted text.
                const auto lines = std::count(before.begin(), before.end(), '\n');
                std::size_t lineStart = 0;
                for (std::ptrdiff_t i = 0; i < lines; ++i) {
                    lineStart = segment.find('\n', lineStart) + 1;
                }
                return segmentStart + static_cast<std::int64_t>(lineStart);
            }
            return segmentStart + static_cast<std::int64_t>(sourceLength(before, code));
        }
        carry.clear();
        if (cutInsideLine && overlap > 0) {
            const std::size_t from = cut > overlap ? boundaryAtOrBelow(piece, cut - overlap, code) : 0;
            carry.assign(piece.substr(from));
            carryStart = pendingStart + static_cast<std::int64_t>(from);
        }
        pending.erase(0, cut);
        pendingStart += static_cast<std::int64_t>(cut);
    }
}
