#pragma once

#include <string>
#include <vector>

#include "cli/CCommandLine.h"

class CFileCatalog;

// The options that decide which items a command sees, shared by every command that shows items:
//   --select CATEGORY=VALUE[,VALUE...]  replaces the selection of that category ("CATEGORY=" clears it)
//   --all                               clears every selection first
//   --filter                            switches filtering on
//   --json                              prints JSON
class CDisplayOptions final {
public:
    static std::vector<CCommandLine::OptionSpec> optionSpecs();
    static std::string helpText();

    static CDisplayOptions fromCommandLine(const CCommandLine& line);

    // Applies the options to a catalog read without its recompute, then recomputes. False with *error
    // set when a category is not found.
    bool applyAndRecompute(CFileCatalog& catalog, std::string* error) const;

    bool json() const { return m_json; }

private:
    std::vector<std::string> m_selects;
    bool m_all = false;
    bool m_filter = false;
    bool m_json = false;
};
