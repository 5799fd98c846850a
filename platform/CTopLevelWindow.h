#pragma once

#include <string>
#include <vector>

// A top-level window as the browser capture sees it: its text (title, UTF-8), its window class and, for
// windows that hold documents of their own, its child windows in order.
struct CTopLevelWindow {
    std::string text;
    std::string className;
    std::vector<CTopLevelWindow> children;
};
