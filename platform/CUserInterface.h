#pragma once

#include <string>
#include <string_view>

// The core never opens a window. When core code must tell the user something or ask a question, it goes
// through this interface: the application implements it with message boxes, qlry writes to standard
// error, and tests record what was said and script the answers.
enum class MessageIcon { None, Information, Warning, Error, Question };
// The answer to a question with Yes, No and Cancel buttons.
enum class Answer { Yes, No, Cancel };

class CUserInterface {
public:
    virtual ~CUserInterface() = default;

    // A message with an OK button.
    virtual void message(std::string_view text, MessageIcon icon) = 0;
    // A question with Yes and No buttons and the question icon; true for Yes.
    virtual bool askYesNo(std::string_view text) = 0;
    // A question with OK and Cancel buttons; true for OK.
    virtual bool askOkCancel(std::string_view text, MessageIcon icon) = 0;
    // A question with Yes, No and Cancel buttons and the question icon. An interface that cannot ask
    // answers Cancel, so that nothing goes ahead unasked.
    virtual Answer askYesNoCancel(std::string_view text);

    // The interface the core talks to. Until an application installs its own, messages go to standard
    // error and every question is answered No / Cancel, so nothing is changed without a user's consent.
    static CUserInterface& current();
    // Installs an interface (not owned; it must outlive its use). nullptr restores the default.
    static void install(CUserInterface* ui);
};

// Writes messages to standard error and answers every question No / Cancel.
class CStderrUserInterface final : public CUserInterface {
public:
    void message(std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view text) override;
    bool askOkCancel(std::string_view text, MessageIcon icon) override;
    Answer askYesNoCancel(std::string_view text) override;
};
