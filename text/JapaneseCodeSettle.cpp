// The second look of the Japanese code detector (see settleJapaneseCode in text/JapaneseCode.h).

#include <optional>

#include "text/Cp932.h"
#include "text/JapaneseCode.h"

namespace jtext {
namespace {

// Weights of a decoded character. The first answer leaves two or three codes open; decoding the sample
// in the wrong one gives text no Japanese writer produces: half-width kana where kanji and hiragana were
// meant, rare level-two kanji, Latin and IPA letters, box drawing. Summing these weights ranks the codes.
constexpr int kHiragana = 4;
constexpr int kKatakana = 3;
constexpr int kCommonKanji = 3;  // JIS level one (rows 16 to 47)
constexpr int kRareKanji = 1;    // JIS level two and beyond
constexpr int kPunctuation = 1;  // ideographic punctuation, full-width letters and digits
constexpr int kHalfWidthKana = 1;
constexpr int kVoicedPair = 4;  // a half-width kana followed by the voiced or semi-voiced mark it takes
constexpr int kUnlikely = -2;   // anything else above ASCII
// Bytes that happen to form UTF-8 form two-byte sequences (Latin, IPA) far more often than longer ones:
// a sequence of three or four bytes is evidence of its own.
constexpr int kLongUtf8Sequence = 2;

bool isVoiceable(char32_t kana) {
    return (kana >= 0xFF76 && kana <= 0xFF84) || (kana >= 0xFF8A && kana <= 0xFF8E) || kana == 0xFF73;
}

bool isSemiVoiceable(char32_t kana) {
    return kana >= 0xFF8A && kana <= 0xFF8E;
}

// Scores characters one by one; a voicing mark scores by the kana before it.
class CharacterScore final {
public:
    void add(char32_t c, std::uint16_t jis) {
        if (c < 0x80) {
            m_previous = c;
            return;
        }
        if (c == 0xFF9E || c == 0xFF9F) {
            const bool fits = c == 0xFF9E ? isVoiceable(m_previous) : isSemiVoiceable(m_previous);
            m_score += fits ? kVoicedPair : kUnlikely;
        } else if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {
            m_score += kHiragana;
        } else if ((c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC) {
            m_score += kKatakana;
        } else if (c >= 0x4E00 && c <= 0x9FFF) {
            m_score += jis >= 0x3021 && jis <= 0x4FFE ? kCommonKanji : kRareKanji;
        } else if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF5E)) {
            m_score += kPunctuation;
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            m_score += kHalfWidthKana;
        } else {
            m_score += kUnlikely;
        }
        m_previous = c;
    }
    int score() const { return m_score; }

private:
    int m_score = 0;
    char32_t m_previous = 0;
};

// The JIS code of a character that code page 932 holds, 0 for others.
std::uint16_t jisOf(char32_t c) {
    const std::optional<std::uint16_t> code = cp932Code(c);
    return code && *code > 0xFF ? shiftJisToJis(*code) : 0;
}

std::optional<int> scoreAsUtf8(std::string_view bytes) {
    CharacterScore score;
    int bonus = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Utf8Char c = decodeUtf8(bytes, pos);
        if (c.length == 1 && static_cast<unsigned char>(bytes[pos]) >= 0x80)
            return std::nullopt;
        score.add(c.codePoint, jisOf(c.codePoint));
        if (c.length >= 3)
            bonus += kLongUtf8Sequence;
        pos += c.length;
    }
    return score.score() + bonus;
}

std::optional<int> scoreAsShiftJis(std::string_view bytes) {
    CharacterScore score;
    for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            score.add(byte, 0);
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            score.add(0xFF61 + (byte - 0xA1), 0);
        } else if (isLeadByte(byte) && pos + 1 < bytes.size()) {
            const std::uint16_t code =
                static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(bytes[++pos]));
            const std::optional<char32_t> c = codePointOfCp932(code);
            if (!c)
                return std::nullopt;
            // 0x8E and a half-width kana byte is how EUC writes that kana; read as Shift-JIS it counts as
            // a rare kanji, so that the two readings weigh the same and the tie goes to EUC.
            const bool eucKanaPair = byte == 0x8E && (code & 0xFF) >= 0xA1 && (code & 0xFF) <= 0xDF;
            score.add(*c, eucKanaPair ? 0 : shiftJisToJis(code));
        } else {
            return std::nullopt;
        }
    }
    return score.score();
}

std::optional<int> scoreAsEuc(std::string_view bytes) {
    CharacterScore score;
    auto inEucRange = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
    for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            score.add(byte, 0);
            continue;
        }
        if (pos + 1 >= bytes.size())
            return std::nullopt;
        const auto second = static_cast<unsigned char>(bytes[++pos]);
        if (byte == 0x8E) {  // single shift 2: a half-width kana
            if (second < 0xA1 || second > 0xDF)
                return std::nullopt;
            score.add(0xFF61 + (second - 0xA1), 0);
        } else if (byte == 0x8F) {  // single shift 3: JIS X 0212, rare
            if (pos + 1 >= bytes.size() || !inEucRange(second) ||
                !inEucRange(static_cast<unsigned char>(bytes[++pos])))
                return std::nullopt;
            score.add(0x4E00, 0);
        } else if (inEucRange(byte) && inEucRange(second)) {
            const std::uint16_t jis = static_cast<std::uint16_t>((byte & 0x7F) << 8 | (second & 0x7F));
            const std::optional<char32_t> c = codePointOfCp932(jisToShiftJis(jis));
            if (!c)
                return std::nullopt;
            score.add(*c, jis);
        } else {
            return std::nullopt;
        }
    }
    return score.score();
}

// EUC writes a half-width kana as 0x8E and the kana's byte. Text whose every byte above ASCII is such a
// pair is EUC half-width kana; read as Shift-JIS it would be a row of kanji that all share one lead byte.
bool isEucHalfWidthKanaOnly(std::string_view bytes) {
    bool any = false;
    for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80)
            continue;
        if (byte != 0x8E || pos + 1 >= bytes.size())
            return false;
        const auto kana = static_cast<unsigned char>(bytes[++pos]);
        if (kana < 0xA1 || kana > 0xDF)
            return false;
        any = true;
    }
    return any;
}

bool hasJisDesignation(std::string_view bytes) {
    for (const std::string_view escape : {"\x1B(I", "\x1B$B", "\x1B$@", "\x1B$(D", "\x1B&@"}) {
        if (bytes.find(escape) != std::string_view::npos)
            return true;
    }
    return false;
}

// Text that is UTF-8 but for a few stray bytes (a byte from another code dropped in, a cut character): its
// valid sequences of two or more bytes outnumber the stray bytes many times over. Shift-JIS and EUC-JP
// text forms such sequences only by chance and has bytes that form none all through it.
constexpr std::size_t kValidSequencesPerStrayByte = 32;

bool isUtf8WithStrayBytes(std::string_view bytes) {
    std::size_t valid = 0;
    std::size_t stray = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = decodeUtf8(bytes, pos).length;
        ++(length == 1 ? stray : valid);
        pos += length;
    }
    return stray > 0 && valid >= kValidSequencesPerStrayByte * stray;
}

bool hasHighBytes(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

int settleJapaneseCode(std::string_view bytes, int firstAnswer) {
    if (firstAnswer != kCodeJis && firstAnswer != kCodeUtf8 && isUtf8WithStrayBytes(bytes))
        return kCodeUtf8;
    if (firstAnswer != kCodeUtf8 && firstAnswer != kCodeNone && firstAnswer != kCodeEucOrShiftJis)
        return firstAnswer;
    if (hasJisDesignation(bytes) && !hasHighBytes(bytes))
        return kCodeJis;  // JIS that shifts to half-width kana only (ESC ( I), which the first look passes
                          // over
    if (!hasHighBytes(bytes))
        return firstAnswer;
    if (isEucHalfWidthKanaOnly(bytes))
        return kCodeEuc;
    // Ties go to the first code listed: UTF-8, then EUC, whose text is valid Shift-JIS far more often than
    // the reverse.
    const std::pair<int, std::optional<int>> candidates[] = {{kCodeUtf8, scoreAsUtf8(bytes)},
                                                             {kCodeEuc, scoreAsEuc(bytes)},
                                                             {kCodeShiftJis, scoreAsShiftJis(bytes)}};
    std::optional<std::pair<int, int>> best;
    for (const auto& [code, score] : candidates) {
        if (score && (!best || *score > best->second))
            best = std::pair(code, *score);
    }
    if (best)
        return best->first;
    // Nothing decodes cleanly (a damaged file): undecided text reads as Shift-JIS, as before.
    return firstAnswer == kCodeEucOrShiftJis ? kCodeShiftJis : firstAnswer;
}

}  // namespace jtext
