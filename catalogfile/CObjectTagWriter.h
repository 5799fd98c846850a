#pragma once

#include <array>
#include <cstdint>

#include "catalogfile/CArchiveWriter.h"
#include "catalogfile/CClassRegistry.h"

// Writes the tag in front of each new object and numbers classes and objects as a reader will.
class CObjectTagWriter final {
public:
    // A new-class tag the first time a class is written, then a class-index tag (the long form once the
    // index reaches 0x7FFF). The object takes the next index.
    void writeNewObject(CArchiveWriter& writer, ArchiveClass objectClass);

private:
    std::uint32_t m_nextIndex = 1;
    std::array<std::uint32_t, 8> m_classIndex{};  // 0 = not written yet
};
