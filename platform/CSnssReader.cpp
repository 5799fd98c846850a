#include "platform/CSnssReader.h"

#include <algorithm>
#include <cstring>

#include "platform/SnssFormat.h"

namespace {

std::uint32_t u32At(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

std::int32_t i32At(std::string_view bytes, std::size_t offset) {
    return static_cast<std::int32_t>(u32At(bytes, offset));
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16LE units to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            unit = 0xFFFD;
        }
        appendUtf8(out, unit);
    }
    return out;
}

constexpr std::size_t aligned4(std::size_t size) { return (size + 3) & ~std::size_t{3}; }

}  // namespace

CSnssReader::CSnssReader(std::string_view bytes, std::string path) : m_bytes(bytes), m_path(std::move(path)) {}

bool CSnssReader::fail(std::uint64_t offset, std::string what) {
    m_error = CSessionError{m_path, static_cast<std::int64_t>(offset), std::move(what)};
    return false;
}

std::optional<CBrowserSession> CSnssReader::read(CSessionError* error) {
    const auto failed = [&]() -> std::optional<CBrowserSession> {
        if (error) {
            *error = m_error;
        }
        return std::nullopt;
    };
    if (m_bytes.size() < SnssFormat::kHeaderSize) {
        fail(0, "truncated session file header");
        return failed();
    }
    if (u32At(m_bytes, 0) != SnssFormat::kSignature) {
        fail(0, "not a session file (bad signature)");
        return failed();
    }
    const std::int32_t version = i32At(m_bytes, 4);
    if (version != SnssFormat::kVersionPlain && version != SnssFormat::kVersionPlainWithMarker) {
        fail(4, "encrypted or unknown session file version " + std::to_string(version));
        return failed();
    }
    std::size_t offset = SnssFormat::kHeaderSize;
    while (offset + SnssFormat::kCommandSizeBytes <= m_bytes.size()) {
        const std::size_t size = static_cast<unsigned char>(m_bytes[offset]) |
                                 (static_cast<unsigned char>(m_bytes[offset + 1]) << 8);
        const std::size_t start = offset + SnssFormat::kCommandSizeBytes;
        if (size == 0 || size > m_bytes.size() - start) {
            break;  // a command still being written: the state is what the whole commands left
        }
        const auto id = static_cast<std::uint8_t>(m_bytes[start]);
        if (!apply(id, m_bytes.substr(start + 1, size - 1), offset)) {
            return failed();
        }
        offset = start + size;
    }
    return build();
}

CSnssReader::Window& CSnssReader::window(std::int32_t id) {
    auto [it, added] = m_windows.try_emplace(id);
    if (added) {
        it->second.order = m_windowCount++;
    }
    return it->second;
}

CSnssReader::Tab& CSnssReader::tab(std::int32_t id, std::int32_t window) {
    auto [it, added] = m_tabs.try_emplace(id);
    if (added) {
        it->second.window = window;
        m_windowTabs[window].emplace(id, &it->second);
    }
    return it->second;
}

void CSnssReader::moveTab(std::int32_t id, Tab& moved, std::int32_t window) {
    if (moved.window == window) {
        return;
    }
    const auto from = m_windowTabs.find(moved.window);
    if (from != m_windowTabs.end()) {
        from->second.erase(id);
        if (from->second.empty()) {
            m_windowTabs.erase(from);
        }
    }
    moved.window = window;
    m_windowTabs[window].emplace(id, &moved);
}

void CSnssReader::closeTab(std::int32_t id) {
    const auto it = m_tabs.find(id);
    if (it == m_tabs.end()) {
        return;
    }
    const auto in = m_windowTabs.find(it->second.window);
    if (in != m_windowTabs.end()) {
        in->second.erase(id);
        if (in->second.empty()) {
            m_windowTabs.erase(in);
        }
    }
    m_tabs.erase(it);
}

bool CSnssReader::apply(std::uint8_t id, std::string_view payload, std::uint64_t offset) {
    namespace F = SnssFormat;
    const auto need = [&](std::size_t fields) {
        return payload.size() >= 4 * fields ||
               fail(offset, "command " + std::to_string(id) + " too short (" + std::to_string(payload.size()) +
                                " bytes)");
    };
    switch (id) {
    case F::kSetTabWindow:
        if (!need(2)) {
            return false;
        }
        window(i32At(payload, 0));
        moveTab(i32At(payload, 4), tab(i32At(payload, 4), i32At(payload, 0)), i32At(payload, 0));
        return true;
    case F::kSetTabIndexInWindow:
        if (!need(2)) {
            return false;
        }
        tab(i32At(payload, 0)).visualIndex = i32At(payload, 4);
        return true;
    case F::kSetSelectedNavigationIndex:
        if (!need(2)) {
            return false;
        }
        tab(i32At(payload, 0)).currentNavigation = i32At(payload, 4);
        return true;
    case F::kSetSelectedTabInIndex:
        if (!need(2)) {
            return false;
        }
        window(i32At(payload, 0)).selectedVisualIndex = i32At(payload, 4);
        return true;
    case F::kSetActiveWindow:
        if (!need(1)) {
            return false;
        }
        m_activeWindow = i32At(payload, 0);
        return true;
    case F::kTabClosed:
        if (!need(1)) {
            return false;
        }
        closeTab(i32At(payload, 0));
        return true;
    case F::kWindowClosed: {
        if (!need(1)) {
            return false;
        }
        const std::int32_t closed = i32At(payload, 0);
        m_windows.erase(closed);
        const auto tabs = m_windowTabs.find(closed);
        if (tabs != m_windowTabs.end()) {
            for (const auto& [id, unused] : tabs->second) {
                m_tabs.erase(id);
            }
            m_windowTabs.erase(tabs);
        }
        return true;
    }
    case F::kTabNavigationPathPrunedFromBack: {
        if (!need(2)) {
            return false;
        }
        tab(i32At(payload, 0)).navigations.removeFrom(i32At(payload, 4));
        return true;
    }
    case F::kTabNavigationPathPrunedFromFront:
    case F::kTabNavigationPathPruned: {
        const bool fromFront = id == F::kTabNavigationPathPrunedFromFront;
        if (!need(fromFront ? 2 : 3)) {
            return false;
        }
        Tab& pruned = tab(i32At(payload, 0));
        const std::int64_t first = fromFront ? 0 : i32At(payload, 4);
        const std::int64_t count = i32At(payload, fromFront ? 4 : 8);
        if (count <= 0) {
            return true;
        }
        pruned.navigations.removeRange(first, count);
        if (pruned.currentNavigation >= first + count) {
            pruned.currentNavigation = static_cast<std::int32_t>(pruned.currentNavigation - count);
        } else if (pruned.currentNavigation >= first) {
            pruned.currentNavigation = static_cast<std::int32_t>(first);
        }
        return true;
    }
    case F::kUpdateTabNavigation:
        return readNavigation(payload, offset);
    default:  // the marker, window bounds, pinning, groups and the rest do not change the shown page
        return true;
    }
}

bool CSnssReader::readNavigation(std::string_view payload, std::uint64_t offset) {
    // Pickle: payload size u32, tab id i32, navigation index i32, URL (i32 count + bytes), title (i32
    // UTF-16 unit count + units), each field padded to 4 bytes; further fields are not needed.
    const auto bad = [&](const char* what) { return fail(offset, std::string("tab navigation: ") + what); };
    if (payload.size() < 4) {
        return bad("truncated pickle header");
    }
    const std::size_t end = 4 + std::min<std::size_t>(u32At(payload, 0), payload.size() - 4);
    std::size_t at = 4;
    const auto readInt = [&](std::int32_t& value) {
        if (end - at < 4) {
            return false;
        }
        value = i32At(payload, at);
        at += 4;
        return true;
    };
    const auto readBytes = [&](std::int32_t count, std::size_t unit, std::string_view& bytes) {
        if (count < 0 || static_cast<std::uint64_t>(count) * unit > end - at) {
            return false;
        }
        bytes = payload.substr(at, static_cast<std::size_t>(count) * unit);
        at = std::min(end, at + aligned4(bytes.size()));
        return true;
    };
    std::int32_t tabId = 0;
    std::int32_t index = 0;
    std::int32_t urlLength = 0;
    std::int32_t titleLength = 0;
    std::string_view url;
    std::string_view title;
    if (!readInt(tabId) || !readInt(index)) {
        return bad("truncated ids");
    }
    if (!readInt(urlLength) || !readBytes(urlLength, 1, url)) {
        return bad("URL length past the end of the command");
    }
    if (!readInt(titleLength) || !readBytes(titleLength, 2, title)) {
        return bad("title length past the end of the command");
    }
    tab(tabId).navigations.set(index, CBrowserSession::Tab{std::string(url), utf16ToUtf8(title)});
    return true;
}

CBrowserSession CSnssReader::build() const {
    std::vector<std::pair<std::uint64_t, std::int32_t>> order;
    for (const auto& [id, window] : m_windows) {
        order.emplace_back(window.order, id);
    }
    std::sort(order.begin(), order.end());

    CBrowserSession session;
    for (const auto& [unused, windowId] : order) {
        std::vector<const Tab*> tabs;
        if (const auto ids = m_windowTabs.find(windowId); ids != m_windowTabs.end()) {
            for (const auto& [tabId, candidate] : ids->second) {
                if (!candidate->navigations.empty()) {
                    tabs.push_back(candidate);
                }
            }
        }
        if (tabs.empty()) {
            continue;
        }
        std::stable_sort(tabs.begin(), tabs.end(),
                         [](const Tab* a, const Tab* b) { return a->visualIndex < b->visualIndex; });
        CBrowserSession::Window window;
        const std::int32_t selected = m_windows.at(windowId).selectedVisualIndex;
        window.selectedTab = selected >= 0 && static_cast<std::size_t>(selected) < tabs.size()
                                 ? static_cast<std::size_t>(selected) : 0;
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            if (tabs[i]->visualIndex == selected) {
                window.selectedTab = i;
            }
            // The current navigation, or the last one when the index names none.
            const CTabHistory& navigations = tabs[i]->navigations;
            const CBrowserSession::Tab* current = navigations.find(tabs[i]->currentNavigation);
            window.tabs.push_back(current ? *current : *navigations.last());
        }
        if (m_activeWindow && *m_activeWindow == windowId) {
            session.setSelectedWindow(session.windows().size());
        }
        session.addWindow(std::move(window));
    }
    return session;
}
