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

Answer CRecordingUserInterface::askYesNoCancel(std::string_view text) {
    m_shown.push_back({Shown::Kind::YesNoCancel, std::string(text), MessageIcon::Question});
    if (m_threeWayAnswers.empty()) return m_fallback ? Answer::Yes : Answer::No;
    const Answer answer = m_threeWayAnswers.front();
    m_threeWayAnswers.pop_front();
    return answer;
}

void CRecordingUserInterface::scriptThreeWayAnswers(std::initializer_list<Answer> answers) {
    m_threeWayAnswers.insert(m_threeWayAnswers.end(), answers.begin(), answers.end());
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
