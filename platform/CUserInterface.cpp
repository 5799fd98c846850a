#include "platform/CUserInterface.h"

#include <cstdio>

namespace {

CUserInterface* g_installed = nullptr;

void writeLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace

CUserInterface& CUserInterface::current() {
    static CStderrUserInterface fallback;
    return g_installed ? *g_installed : fallback;
}

void CUserInterface::install(CUserInterface* ui) { g_installed = ui; }

Answer CUserInterface::askYesNoCancel(std::string_view) { return Answer::Cancel; }

void CStderrUserInterface::message(std::string_view text, MessageIcon) { writeLine(text); }

bool CStderrUserInterface::askYesNo(std::string_view text) {
    writeLine(text);
    return false;
}

bool CStderrUserInterface::askOkCancel(std::string_view text, MessageIcon) {
    writeLine(text);
    return false;
}

Answer CStderrUserInterface::askYesNoCancel(std::string_view text) {
    writeLine(text);
    return Answer::Cancel;
}
