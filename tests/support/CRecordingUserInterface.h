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
        enum class Kind { Message, YesNo, OkCancel, YesNoCancel } kind;
        std::string text;
        MessageIcon icon;
    };

    explicit CRecordingUserInterface(bool fallbackAnswer = false);
    ~CRecordingUserInterface() override;

    void message(std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    bool askOkCancel(std::string_view text, MessageIcon icon) override;
    // Answered from its own script; without one, Yes for a true fallback answer and No otherwise.
    Answer askYesNoCancel(std::string_view text) override;

    // Answers for the next questions, in order.
    void scriptAnswers(std::initializer_list<bool> answers);
    // Answers for the next Yes/No/Cancel questions, in order.
    void scriptThreeWayAnswers(std::initializer_list<Answer> answers);
    const std::vector<Shown>& shown() const { return m_shown; }
    // The texts shown, in order, whatever their kind.
    std::vector<std::string> texts() const;
    void clear() { m_shown.clear(); }

private:
    bool nextAnswer();

    std::vector<Shown> m_shown;
    std::deque<bool> m_answers;
    std::deque<Answer> m_threeWayAnswers;
    bool m_fallback;
};
