#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/CUserInterface.h"

// Records every message and question the core shows, and answers questions from a script (default: the
// given fallback answer). Installs itself for its lifetime.
class CRecordingUserInterface final : public CUserInterface {
public:
    struct Shown {
        enum class Kind { Message, YesNo, OkCancel } kind;
        std::string text;
        MessageIcon icon;
    };

    explicit CRecordingUserInterface(bool fallbackAnswer = false);
    ~CRecordingUserInterface() override;

    void message(std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    bool askOkCancel(std::string_view text, MessageIcon icon) override;

    // Answers for the next questions, in order.
    void scriptAnswers(std::initializer_list<bool> answers);
    const std::vector<Shown>& shown() const { return m_shown; }
    // The texts shown, in order, whatever their kind.
    std::vector<std::string> texts() const;
    void clear() { m_shown.clear(); }

private:
    bool nextAnswer();

    std::vector<Shown> m_shown;
    std::deque<bool> m_answers;
    bool m_fallback;
};
