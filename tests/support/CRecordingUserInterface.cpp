#include "support/CRecordingUserInterface.h"

CRecordingUserInterface::CRecordingUserInterface(bool fallbackAnswer) : m_fallback(fallbackAnswer) {
    CUserInterface::install(this);
}

CRecordingUserInterface::~CRecordingUserInterface() { CUserInterface::install(nullptr); }

void CRecordingUserInterface::message(std::string_view text, MessageIcon icon) {
    m_shown.push_back({Shown::Kind::Message, std::string(text), icon});
}

bool CRecordingUserInterface::askYesNo(std::string_view text) {
    m_shown.push_back({Shown::Kind::YesNo, std::string(text), MessageIcon::Question});
    return nextAnswer();
}

bool CRecordingUserInterface::askOkCancel(std::string_view text, MessageIcon icon) {
    m_shown.push_back({Shown::Kind::OkCancel, std::string(text), icon});
    return nextAnswer();
}

void CRecordingUserInterface::scriptAnswers(std::initializer_list<bool> answers) {
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

std::vector<std::string> CRecordingUserInterface::texts() const {
    std::vector<std::string> result;
    for (const Shown& s : m_shown) result.push_back(s.text);
    return result;
}

bool CRecordingUserInterface::nextAnswer() {
    if (m_answers.empty()) return m_fallback;
    bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}
