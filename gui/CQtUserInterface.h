#pragma once

#include "platform/CUserInterface.h"

// Messages and questions as message boxes over the active window, titled with the program's name.
class CQtUserInterface final : public CUserInterface {
public:
    void message(std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    bool askOkCancel(std::string_view text, MessageIcon icon) override;
    Answer askYesNoCancel(std::string_view text) override;
};
