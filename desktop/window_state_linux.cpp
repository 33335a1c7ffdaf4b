#include "desktop/window_state.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_window_t RootOf(xcb_connection_t* c, xcb_window_t window)
{
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree)
        return XCB_WINDOW_NONE;
    const xcb_window_t root = tree->root;
    std::free(tree);
    return root;
}

bool IsMapped(xcb_connection_t* c, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (!attributes)
        return false;
    const bool mapped = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    std::free(attributes);
    return mapped;
}
xcb_connection_t* X11Connection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// A request to the window manager about a mapped window (EWMH client message).
void AskWindowManager(xcb_connection_t* c, xcb_window_t id, xcb_atom_t type,
                      std::initializer_list<std::uint32_t> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = type;
    std::size_t i = 0;
    for (std::uint32_t value : data)
        event.data.data32[i++] = value;
    xcb_send_event(c, 0, RootOf(c, id),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Adds one or two _NET_WM_STATE atoms: into the property itself, keeping whatever
// states are already there (what a window manager reads when the window is
// mapped), and, for a mapped window, whose state belongs to the window
// manager, as a request.
void AddStates(QWindow* window, const char* first, const char* second = nullptr)
{
    xcb_connection_t* c = window ? X11Connection() : nullptr;
    if (!c)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = {Atom(c, first),
                                 second ? Atom(c, second) : xcb_atom_t{XCB_ATOM_NONE}};
    if (state == XCB_ATOM_NONE || wanted[0] == XCB_ATOM_NONE ||
        (second && wanted[1] == XCB_ATOM_NONE))
        return;

    std::vector<xcb_atom_t> atoms;
    xcb_get_property_reply_t* current = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (current) {
        if (current->format == 32 && current->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(current));
            atoms.assign(data, data + xcb_get_property_value_length(current) / 4);
        }
        std::free(current);
    }
    for (xcb_atom_t atom : wanted) {
        if (atom == XCB_ATOM_NONE)
            continue;
        bool present = false;
        for (xcb_atom_t a : atoms)
            present = present || a == atom;
        if (!present)
            atoms.push_back(atom);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    if (IsMapped(c, id))
        AskWindowManager(c, id, state, {1 /* _NET_WM_STATE_ADD */, wanted[0], wanted[1], 1});
    xcb_flush(c);
}
}  // namespace

void KeepOffTaskbar(QWindow* window)
{
    AddStates(window, "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER");
}

void ShowOnAllWorkspaces(QWindow* window)
{
    AddStates(window, "_NET_WM_STATE_STICKY");
    xcb_connection_t* c = window ? X11Connection() : nullptr;
    if (!c)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t desktop = Atom(c, "_NET_WM_DESKTOP");
    if (desktop == XCB_ATOM_NONE)
        return;
    const std::uint32_t all = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &all);
    if (IsMapped(c, id))
        AskWindowManager(c, id, desktop, {all, 1 /* from a normal application */});
    xcb_flush(c);
}
