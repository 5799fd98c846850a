#include "text/CVemtoFileException.h"

#include <utility>

CVemtoFileException::CVemtoFileException(std::string failureText, std::string path)
    : m_path(std::move(path)), m_message(std::move(failureText) + ":" + m_path) {}
