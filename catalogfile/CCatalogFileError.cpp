#include "catalogfile/CCatalogFileError.h"

std::string CCatalogFileError::userMessage() const {
    if (isFormatError())
        return "予期しないﾌｧｲﾙ形式です。";
    return fileError().userMessage();
}

std::string CCatalogFileError::describe() const {
    if (isFormatError())
        return formatError().describe();
    return fileError().describe();
}
