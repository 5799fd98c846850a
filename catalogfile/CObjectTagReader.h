#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "catalogfile/CArchiveReader.h"
#include "catalogfile/CClassRegistry.h"

// Reads the tag in front of each object array element and keeps the file's index table: classes and
// objects numbered from 1 in order of first appearance, sharing one counter.
class CObjectTagReader final {
public:
    enum class TagKind { Null, NewObject, Reference };
    struct Tag {
        TagKind kind = TagKind::Null;
        ArchiveClass objectClass = ArchiveClass::Catalog;  // for NewObject and Reference
        std::uint32_t objectIndex = 0;                     // for NewObject and Reference
        std::uint64_t offset = 0;                          // where the tag starts
    };

    // Reads one tag. On a malformed tag the reader's error is set (bad class, bad schema, bad index, end of
    // file) and nullopt is returned. A new object takes its index here; its record follows in the file.
    std::optional<Tag> read(CArchiveReader& reader);

private:
    struct Slot {
        bool isClass;
        ArchiveClass objectClass;
    };

    std::optional<Tag> readNewClass(CArchiveReader& reader, std::uint64_t offset);
    std::optional<Tag> newObjectOfClassIndex(CArchiveReader& reader, std::uint64_t classIndex,
                                             std::uint64_t offset);
    std::optional<Tag> referenceTo(CArchiveReader& reader, std::uint64_t objectIndex, std::uint64_t offset);
    bool takeIndex(CArchiveReader& reader, Slot slot, std::uint64_t offset);

    std::vector<Slot> m_slots{Slot{false, ArchiveClass::Catalog}};  // index 0 is the null element
};
