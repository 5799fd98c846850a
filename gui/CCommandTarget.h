#pragma once

// The enabled and checked state of a command, as its handler reports it before a menu or the tool bar
// shows it.
struct CCommandState {
    bool enabled = true;
    bool checked = false;
};

// Anything that commands are routed to: the active view, the document, the main frame and the
// application, asked in that order. A target that knows a command returns true and the routing stops
// there; a command that no target knows is shown disabled.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;

    // Runs the command when this target handles it.
    virtual bool onCommand(int id) {
        (void)id;
        return false;
    }
    // Fills the command's state when this target handles it.
    virtual bool onUpdateCommand(int id, CCommandState& state) {
        (void)id;
        (void)state;
        return false;
    }
};
