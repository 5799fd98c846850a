#include "desktop/CX11Windows.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> owned(T* reply) {
    return Reply<T>(reply, &std::free);
}

enum class Atom { ClientListStacking, ClientList, ActiveWindow, WmName, Utf8String, WmPid, Count };
constexpr std::array<const char*, static_cast<std::size_t>(Atom::Count)> kAtomNames = {
    "_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW", "_NET_WM_NAME", "UTF8_STRING",
    "_NET_WM_PID"};

std::vector<std::uint32_t> windowList(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t property) {
    if (property == XCB_ATOM_NONE) {
        return {};
    }
    auto reply = owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, property, XCB_ATOM_WINDOW, 0, 1 << 16), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

std::string propertyText(xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 8) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply)));
}

// WM_NAME in ISO 8859-1 (STRING) to UTF-8.
std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (const unsigned char byte : text) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

}  // namespace

bool CX11Windows::read() {
    m_windows.clear();
    m_active.reset();
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(xcb_connect(nullptr, &screenNumber),
                                                                            &xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        m_error = "no X11 display";
        return false;
    }
    xcb_connection_t* c = connection.get();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        m_error = "X11 screen not found";
        return false;
    }
    const xcb_window_t root = screens.data->root;

    // Every request goes out before the first reply is awaited: one round trip per stage.
    std::array<xcb_intern_atom_cookie_t, kAtomNames.size()> atomCookies{};
    for (std::size_t i = 0; i < kAtomNames.size(); ++i) {
        atomCookies[i] = xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
    }
    std::array<xcb_atom_t, kAtomNames.size()> atoms{};
    for (std::size_t i = 0; i < kAtomNames.size(); ++i) {
        auto reply = owned(xcb_intern_atom_reply(c, atomCookies[i], nullptr));
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    const auto atom = [&](Atom which) { return atoms[static_cast<std::size_t>(which)]; };

    // Stacking order is bottom to top.
    std::vector<std::uint32_t> ids = windowList(c, root, atom(Atom::ClientListStacking));
    if (ids.empty()) {
        ids = windowList(c, root, atom(Atom::ClientList));
    }
    if (ids.empty()) {
        auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            std::vector<xcb_get_window_attributes_cookie_t> cookies;
            for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
                cookies.push_back(xcb_get_window_attributes(c, children[i]));
            }
            for (std::size_t i = 0; i < cookies.size(); ++i) {
                auto attributes = owned(xcb_get_window_attributes_reply(c, cookies[i], nullptr));
                if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && !attributes->override_redirect) {
                    ids.push_back(children[i]);
                }
            }
        }
    }
    std::reverse(ids.begin(), ids.end());

    struct Cookies {
        xcb_get_property_cookie_t netName, name, wmClass, pid;
    };
    std::vector<Cookies> cookies;
    for (const std::uint32_t id : ids) {
        cookies.push_back({xcb_get_property(c, 0, id, atom(Atom::WmName), atom(Atom::Utf8String), 0, 4096),
                           xcb_get_property(c, 0, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 4096),
                           xcb_get_property(c, 0, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 1024),
                           xcb_get_property(c, 0, id, atom(Atom::WmPid), XCB_ATOM_CARDINAL, 0, 1)});
    }
    const auto activeCookie = xcb_get_property(c, 0, root, atom(Atom::ActiveWindow), XCB_ATOM_WINDOW, 0, 1);
    const auto focusCookie = xcb_get_input_focus(c);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        Window window;
        window.id = ids[i];
        auto netName = owned(xcb_get_property_reply(c, cookies[i].netName, nullptr));
        auto name = owned(xcb_get_property_reply(c, cookies[i].name, nullptr));
        auto wmClass = owned(xcb_get_property_reply(c, cookies[i].wmClass, nullptr));
        auto pid = owned(xcb_get_property_reply(c, cookies[i].pid, nullptr));
        window.title = propertyText(netName.get());
        if (window.title.empty()) {
            window.title = latin1ToUtf8(propertyText(name.get()));
        }
        const std::string classes = propertyText(wmClass.get());
        const auto split = classes.find('\0');
        window.instance = classes.substr(0, split);
        if (split != std::string::npos) {
            const std::string rest = classes.substr(split + 1);
            window.wmClass = rest.substr(0, rest.find('\0'));
        }
        if (pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) == 4) {
            window.pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(pid.get()));
        }
        m_windows.push_back(std::move(window));
    }

    auto active = owned(xcb_get_property_reply(c, activeCookie, nullptr));
    auto focus = owned(xcb_get_input_focus_reply(c, focusCookie, nullptr));
    if (active && active->format == 32 && xcb_get_property_value_length(active.get()) == 4) {
        const std::uint32_t id = *static_cast<const std::uint32_t*>(xcb_get_property_value(active.get()));
        if (id != XCB_WINDOW_NONE) {
            m_active = id;
        }
    } else if (focus && focus->focus != XCB_WINDOW_NONE && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT) {
        // Without a window manager: the top-level window that holds the focus.
        xcb_window_t window = focus->focus;
        for (int depth = 0; depth < 64 && window != root; ++depth) {
            if (std::any_of(m_windows.begin(), m_windows.end(), [&](const Window& w) { return w.id == window; })) {
                m_active = window;
                break;
            }
            auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
            if (!tree) {
                break;
            }
            window = tree->parent;
        }
    }
    return true;
}
