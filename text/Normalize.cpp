#include "text/Normalize.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>

namespace jtext {
namespace {

constexpr CharValue kVoicedMark = 0x814A;        // ゛
constexpr CharValue kSemiVoicedMark = 0x814B;    // ゜
constexpr CharValue kHalfVoicedMark = 0xDE;      // ﾞ
constexpr CharValue kHalfSemiVoicedMark = 0xDF;  // ﾟ

constexpr char16_t kVoicedKatakana[] = u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ";
constexpr char16_t kVoicedHiragana[] = u"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽヴ";
constexpr char16_t kHalfWidthVoicedPairs[] = u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ";
constexpr char16_t kFoldFrom[] =
    u"ｧｨｩｪｫｯｬｭｮ-ぁぃぅぇぉっゃゅょァィゥェォッャュョ－ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ";
constexpr char16_t kFoldTo[] =
    u"ｱｲｳｴｵﾂﾔﾕﾖｰあいうえおつやゆよアイウエオツヤユヨーカキクケコサシスセソタチツテトハヒフヘホハヒフヘホウ";
constexpr std::size_t kVoicedCount = std::size(kVoicedKatakana) - 1;
static_assert(std::size(kVoicedHiragana) - 1 == kVoicedCount);
static_assert(std::size(kHalfWidthVoicedPairs) - 1 == 2 * kVoicedCount);
static_assert(std::size(kFoldFrom) == std::size(kFoldTo));

// The text tables above as code page 932 values, with the lookups they serve.
struct KanaTables {
    std::array<CharValue, kVoicedCount> voicedKatakana{};
    std::array<CharValue, kVoicedCount> voicedHiragana{};
    std::array<CharValue, kVoicedCount> halfBase{};
    std::array<CharValue, kVoicedCount> halfMark{};
    std::array<std::uint16_t, 0x10000> fold{};  // 0: not folded
};

CharValue valueOf(char16_t codePoint) {
    return charValue(codePoint);
}

const KanaTables& kanaTables() {
    static const std::unique_ptr<KanaTables> tables = [] {
        auto built = std::make_unique<KanaTables>();
        for (std::size_t i = 0; i < kVoicedCount; ++i) {
            built->voicedKatakana[i] = valueOf(kVoicedKatakana[i]);
            built->voicedHiragana[i] = valueOf(kVoicedHiragana[i]);
            built->halfBase[i] = valueOf(kHalfWidthVoicedPairs[2 * i]);
            built->halfMark[i] = valueOf(kHalfWidthVoicedPairs[2 * i + 1]);
        }
        for (std::size_t i = 0; i + 1 < std::size(kFoldFrom); ++i) {
            built->fold[valueOf(kFoldFrom[i])] = static_cast<std::uint16_t>(valueOf(kFoldTo[i]));
        }
        return built;
    }();
    return *tables;
}

// The index of a full-width voiced kana in the voiced tables, or -1.
int voicedIndex(CharValue value) {
    const KanaTables& tables = kanaTables();
    for (std::size_t i = 0; i < kVoicedCount; ++i) {
        if (tables.voicedKatakana[i] == value || tables.voicedHiragana[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}

// The full-width voiced katakana written as the half-width pair base + mark, or 0.
CharValue voicedFromHalfPair(CharValue base, CharValue mark) {
    const KanaTables& tables = kanaTables();
    for (std::size_t i = 0; i < kVoicedCount; ++i) {
        if (tables.halfBase[i] == base && tables.halfMark[i] == mark)
            return tables.voicedKatakana[i];
    }
    return 0;
}

CharValue foldSmallVoiced(CharValue value) {
    if (value > 0xFFFF)
        return value;
    const std::uint16_t folded = kanaTables().fold[value];
    return folded ? folded : value;
}

// Reads the width-sensitive combinations: a half-width kana with its mark, a full-width kana (a hiragana
// with the kana flag) with a full-width mark. Only pairs that form a voiced kana of the tables combine;
// any other kana and mark are read as two characters.
CharValue combineVoicing(std::string_view text, std::size_t next, CharValue value, unsigned flags,
                         std::size_t* length) {
    if (next >= text.size())
        return value;
    const bool halfWidth = isHalfWidthKatakana(value);
    const bool fullWidth = isKatakana(value) || ((flags & kNormKana) && isHiragana(value));
    if (!halfWidth && !fullWidth)
        return value;
    std::size_t markLength;
    const CharValue mark = charValueAt(text, next, &markLength);
    CharValue voiced = 0;
    if (halfWidth && (mark == kHalfVoicedMark || mark == kHalfSemiVoicedMark)) {
        voiced = voicedFromHalfPair(value, mark);
    } else if (fullWidth && (mark == kVoicedMark || mark == kSemiVoicedMark)) {
        voiced = voicedFromHalfPair(toSingleByte(hiraganaToKatakana(value)), toSingleByte(mark));
    }
    if (!voiced)
        return value;
    *length += markLength;
    return voiced;
}

// Reads the character at `pos` normalised by the flags; *length receives the bytes it took.
inline CharValue readNormalized(std::string_view text, std::size_t pos, unsigned flags, std::size_t* length) {
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80 && !(flags & (kNormWidth | kNormSmallVoiced))) {
        *length = 1;
        return (flags & kNormCase) && first >= 'a' && first <= 'z' ? first - 0x20u : first;
    }
    CharValue value = charValueAt(text, pos, length);
    if (flags & kNormWidth) {
        value = toDoubleByte(combineVoicing(text, pos + *length, value, flags, length));
    }
    if (flags & kNormCase)
        value = toUpper(value);
    if (flags & kNormKana)
        value = hiraganaToKatakana(value);
    if (flags & kNormSmallVoiced)
        value = foldSmallVoiced(value);
    return value;
}

// Whether the pattern's normalised characters (key) match the text at `pos`; *end receives the match end.
bool matchesAt(std::string_view text, std::size_t pos, const std::u32string& key, unsigned flags,
               std::size_t* end) {
    for (const char32_t expected : key) {
        if (pos >= text.size())
            return false;
        std::size_t length;
        if (readNormalized(text, pos, flags, &length) != expected)
            return false;
        pos += length;
    }
    *end = pos;
    return true;
}

// ---- candidate start positions ----
// The search looks for the UTF-8 forms of every character that can start a sequence normalising to the
// pattern's first character, with memchr/memmem, and verifies each hit. Every byte that is not a UTF-8
// continuation byte starts a character (an invalid byte decodes alone), so a hit of a whole UTF-8
// character is always at a character boundary.

// The value that `text` reads as when it is one normalised character, or nullopt.
std::optional<CharValue> singleCharacterValue(std::string_view text, unsigned flags) {
    std::size_t length;
    const CharValue value = readNormalized(text, 0, flags, &length);
    if (length != text.size())
        return std::nullopt;
    return value;
}

using CandidateIndex = std::unordered_map<CharValue, std::vector<std::string>>;

// For every normalised value, the characters that start a reading of it: the character alone, or a kana
// followed by a voicing mark. Built once per flags from every code page 932 character.
CandidateIndex buildCandidateIndex(unsigned flags) {
    CandidateIndex index;
    auto add = [&](CharValue value, const std::string& form) {
        std::vector<std::string>& forms = index[value];
        if (std::find(forms.begin(), forms.end(), form) == forms.end())
            forms.push_back(form);
    };
    for (unsigned code = 0x20; code <= 0xFFFF; ++code) {
        const auto codePoint = codePointOfCp932(static_cast<std::uint16_t>(code));
        if (!codePoint)
            continue;
        std::string form;
        appendUtf8(form, *codePoint);
        std::size_t length;
        add(readNormalized(form, 0, flags, &length), form);
        if (!(flags & kNormWidth) || !(isHalfWidthKatakana(code) || isKatakana(code) || isHiragana(code))) {
            continue;
        }
        for (const char* mark : {"ﾞ", "ﾟ", "゛", "゜"}) {
            if (const auto value = singleCharacterValue(form + mark, flags))
                add(*value, form);
        }
    }
    return index;
}

std::vector<std::string> computeCandidates(CharValue first, unsigned flags) {
    std::vector<std::string> candidates;
    auto add = [&](char32_t codePoint) {
        std::string form;
        appendUtf8(form, codePoint);
        if (std::find(candidates.begin(), candidates.end(), form) == candidates.end()) {
            candidates.push_back(form);
        }
    };
    add(codePointOf(first));
    if (first >= kNoCp932Base)
        return candidates;  // no flag changes a character without a 932 form
    if (!(flags & (kNormWidth | kNormKana | kNormSmallVoiced))) {
        // Case only: the character itself and its lower-case forms.
        if (first >= 'A' && first <= 'Z')
            add(first + 0x20);
        if (first >= 0x8260 && first <= 0x8279)
            add(codePointOf(first + 0x21));
        return candidates;
    }
    thread_local std::unordered_map<unsigned, CandidateIndex> indexes;
    auto found = indexes.find(flags);
    if (found == indexes.end())
        found = indexes.emplace(flags, buildCandidateIndex(flags)).first;
    const auto forms = found->second.find(first);
    if (forms != found->second.end()) {
        for (const std::string& form : forms->second)
            add(decodeUtf8(form, 0).codePoint);
    }
    return candidates;
}

const std::vector<std::string>& candidatesFor(CharValue first, unsigned flags) {
    struct Cached {
        CharValue first = 0;
        unsigned flags = 0;
        bool valid = false;
        std::vector<std::string> candidates;
    };
    thread_local Cached cached;
    if (!cached.valid || cached.first != first || cached.flags != flags) {
        cached.candidates = computeCandidates(first, flags);
        cached.first = first;
        cached.flags = flags;
        cached.valid = true;
    }
    return cached.candidates;
}

std::size_t findForm(std::string_view text, std::size_t from, const std::string& form) {
    constexpr std::size_t kShortText = 256;  // below this memmem's set-up costs more than it saves
    if (from >= text.size())
        return std::string_view::npos;
    const char* base = text.data();
    const std::size_t rest = text.size() - from;
    if (form.size() > 1 && rest >= kShortText) {
        const void* hit = memmem(base + from, rest, form.data(), form.size());
        return hit ? static_cast<const char*>(hit) - base : std::string_view::npos;
    }
    const char* end = base + text.size();
    for (const char* at = base + from; at < end;) {
        const auto* hit = static_cast<const char*>(std::memchr(at, form[0], end - at));
        if (!hit)
            break;
        if (static_cast<std::size_t>(end - hit) >= form.size() &&
            std::memcmp(hit, form.data(), form.size()) == 0) {
            return hit - base;
        }
        at = hit + 1;
    }
    return std::string_view::npos;
}

bool startsCharacter(const std::string& form) {
    return (static_cast<unsigned char>(form[0]) & 0xC0) != 0x80;
}

// The plain walk over every character boundary, for patterns whose first character is an invalid byte.
std::ptrdiff_t searchByWalking(std::string_view text, const std::u32string& key, unsigned flags,
                               std::size_t* matchLength) {
    for (std::size_t pos = 0; pos < text.size(); pos += decodeUtf8(text, pos).length) {
        std::size_t end;
        if (matchesAt(text, pos, key, flags, &end)) {
            if (matchLength)
                *matchLength = end - pos;
            return static_cast<std::ptrdiff_t>(pos);
        }
    }
    return -1;
}

}  // namespace

int fullWidthToHalfWidth(std::string_view source, std::string& out) {
    out.clear();
    int converted = 0;
    const KanaTables& tables = kanaTables();
    for (std::size_t pos = 0; pos < source.size();) {
        std::size_t length;
        const CharValue value = charValueAt(source, pos, &length);
        if (const int voiced = voicedIndex(value); voiced >= 0) {
            appendCharValue(out, tables.halfBase[voiced]);
            appendCharValue(out, tables.halfMark[voiced]);
        } else if (const CharValue single = toSingleByte(value); single != value) {
            appendCharValue(out, single);
            ++converted;
        } else if (value == 0x815D || value == 0x817E || value == 0x8180) {
            out.push_back(value == 0x815D ? '-' : value == 0x817E ? '*' : '/');
            ++converted;
        } else {
            out.append(source.substr(pos, length));
        }
        pos += length;
    }
    return converted;
}

int halfWidthToFullWidth(std::string_view source, std::string& out) {
    out.clear();
    int converted = 0;
    for (std::size_t pos = 0; pos < source.size();) {
        std::size_t length;
        const CharValue value = charValueAt(source, pos, &length);
        if (isHalfWidthKatakana(value) && pos + length < source.size()) {
            std::size_t markLength;
            const CharValue mark = charValueAt(source, pos + length, &markLength);
            if (const CharValue voiced = voicedFromHalfPair(value, mark)) {
                appendCharValue(out, voiced);
                pos += length + markLength;
                continue;
            }
        }
        if (const CharValue full = toDoubleByte(value); full != value) {
            appendCharValue(out, full);
            ++converted;
        } else {
            out.append(source.substr(pos, length));
        }
        pos += length;
    }
    return converted;
}

int normalizedCompare(std::string_view a, std::string_view b, unsigned flags) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() || j < b.size()) {
        CharValue x = 0;
        CharValue y = 0;
        std::size_t length;
        if (i < a.size()) {
            x = readNormalized(a, i, flags, &length);
            i += length;
        }
        if (j < b.size()) {
            y = readNormalized(b, j, flags, &length);
            j += length;
        }
        if (x != y)
            return static_cast<int>(x) - static_cast<int>(y);
    }
    return 0;
}

std::ptrdiff_t normalizedSearch(std::string_view text, std::string_view pattern, unsigned flags,
                                std::size_t* matchLength) {
    if (text.empty() || pattern.empty())
        return -1;
    std::u32string key;
    for (std::size_t pos = 0; pos < pattern.size();) {
        std::size_t length;
        key.push_back(readNormalized(pattern, pos, flags, &length));
        pos += length;
    }
    const std::vector<std::string>& forms = candidatesFor(key[0], flags);
    if (!std::all_of(forms.begin(), forms.end(), startsCharacter)) {
        return searchByWalking(text, key, flags, matchLength);
    }
    // Next hit of every form at or after `from`; the smallest is the next start to verify.
    std::vector<std::size_t> next(forms.size());
    for (std::size_t i = 0; i < forms.size(); ++i)
        next[i] = findForm(text, 0, forms[i]);
    for (;;) {
        const std::size_t pos = *std::min_element(next.begin(), next.end());
        if (pos == std::string_view::npos)
            return -1;
        std::size_t end;
        if (matchesAt(text, pos, key, flags, &end)) {
            if (matchLength)
                *matchLength = end - pos;
            return static_cast<std::ptrdiff_t>(pos);
        }
        for (std::size_t i = 0; i < forms.size(); ++i) {
            if (next[i] == pos)
                next[i] = findForm(text, pos + 1, forms[i]);
        }
    }
}

std::u32string normalizedKey(std::string_view text, unsigned flags) {
    std::u32string key;
    key.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length;
        key.push_back(readNormalized(text, pos, flags, &length));
        pos += length;
    }
    // A string that ends compares as 0 characters, so trailing 0 values do not order.
    while (!key.empty() && key.back() == 0)
        key.pop_back();
    return key;
}

void appendNormalizedKeyBytes(std::string& out, std::string_view text, unsigned flags) {
    std::size_t keyEnd = out.size();  // after the last value that is not 0: trailing 0 values do not order
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length;
        const CharValue value = readNormalized(text, pos, flags, &length);
        pos += length;
        if (value < 0x80) {
            out.push_back(static_cast<char>(value));
        } else if (value < 0x4000) {
            out.push_back(static_cast<char>(0x80 | value >> 8));
            out.push_back(static_cast<char>(value & 0xFF));
        } else {
            out.push_back(static_cast<char>(0xC0 | value >> 16));
            out.push_back(static_cast<char>(value >> 8 & 0xFF));
            out.push_back(static_cast<char>(value & 0xFF));
        }
        if (value != 0)
            keyEnd = out.size();
    }
    out.resize(keyEnd);
}

void normalizedSort(std::vector<std::string>& strings, unsigned flags) {
    // Each string is normalised once into a byte key: its values as 3-byte big-endian numbers, so that
    // memcmp order is the compare's order. The keys live in one buffer; the sort moves small entries
    // that carry the first three values (21 bits each) for a quick decision.
    std::string buffer;
    std::size_t totalLength = 0;
    for (const std::string& text : strings)
        totalLength += text.size();
    buffer.reserve(totalLength * 3);
    std::vector<std::size_t> offsets;
    offsets.reserve(strings.size() + 1);
    for (const std::string& text : strings) {
        offsets.push_back(buffer.size());
        const std::size_t start = buffer.size();
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t length;
            const CharValue value = readNormalized(text, pos, flags, &length);
            pos += length;
            buffer.push_back(static_cast<char>(value >> 16));
            buffer.push_back(static_cast<char>(value >> 8));
            buffer.push_back(static_cast<char>(value));
        }
        // A string that ends compares as 0 characters, so trailing 0 values do not order.
        while (buffer.size() > start &&
               buffer.compare(buffer.size() - 3, 3, std::string_view("\0\0\0", 3)) == 0) {
            buffer.resize(buffer.size() - 3);
        }
    }
    offsets.push_back(buffer.size());

    struct Entry {
        std::uint64_t prefix;  // the first three values, zero-padded
        std::string_view key;
        std::size_t index;
    };
    std::vector<Entry> entries;
    entries.reserve(strings.size());
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const std::string_view key(buffer.data() + offsets[i], offsets[i + 1] - offsets[i]);
        std::uint64_t prefix = 0;
        for (std::size_t k = 0; k < 9; k += 3) {
            std::uint64_t value = 0;
            if (k < key.size()) {
                value = static_cast<std::uint64_t>(static_cast<unsigned char>(key[k])) << 16 |
                        static_cast<unsigned char>(key[k + 1]) << 8 | static_cast<unsigned char>(key[k + 2]);
            }
            prefix = prefix << 21 | value;
        }
        entries.push_back({prefix, key, i});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return a.key < b.key;
    });
    std::vector<std::string> sorted;
    sorted.reserve(strings.size());
    for (const Entry& entry : entries)
        sorted.push_back(std::move(strings[entry.index]));
    strings = std::move(sorted);
}

}  // namespace jtext
