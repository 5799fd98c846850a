#pragma once

#include <exception>
#include <string>

// A failure to open, write or close a line file. The message is the failure text, ":" and the path, ready
// to be shown to the user as it is.
class CVemtoFileException final : public std::exception {
public:
    CVemtoFileException(std::string failureText, std::string path);

    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& message() const { return m_message; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_message;
};
