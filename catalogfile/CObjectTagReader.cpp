#include "catalogfile/CObjectTagReader.h"

#include <string>

#include "catalogfile/CatalogFormat.h"

using namespace catalog_format;

std::optional<CObjectTagReader::Tag> CObjectTagReader::read(CArchiveReader& reader) {
    std::uint64_t offset = reader.offset();
    std::uint16_t tag = reader.readU16();
    if (!reader.ok())
        return std::nullopt;
    if (tag == kNullTag)
        return Tag{TagKind::Null, ArchiveClass::Catalog, 0, offset};
    if (tag == kNewClassTag)
        return readNewClass(reader, offset);
    if (tag == kLongTag) {
        if (reader.remaining() < 4)
            reader.fail(ArchiveErrorKind::EndOfFile, offset);
        std::uint32_t value = reader.readU32();
        if (!reader.ok())
            return std::nullopt;
        if (value & kLongClassTag)
            return newObjectOfClassIndex(reader, value & ~kLongClassTag, offset);
        return referenceTo(reader, value, offset);
    }
    if (tag & kClassTag)
        return newObjectOfClassIndex(reader, tag & ~kClassTag, offset);
    return referenceTo(reader, tag, offset);
}

// 0xFFFF, u16 schema, u16 name length, the name; the class takes the next index, then its first object.
std::optional<CObjectTagReader::Tag> CObjectTagReader::readNewClass(CArchiveReader& reader,
                                                                    std::uint64_t offset) {
    std::uint16_t schema = reader.readU16();
    std::uint16_t nameLength = reader.readU16();
    if (!reader.ok())
        return std::nullopt;
    if (nameLength > kMaxClassNameLength) {
        reader.fail(ArchiveErrorKind::BadClass, offset,
                    "class name of " + std::to_string(nameLength) + " bytes");
        return std::nullopt;
    }
    std::string_view name = reader.readBytes(nameLength);
    if (!reader.ok())
        return std::nullopt;
    std::optional<CClassRegistry::Entry> entry = CClassRegistry::find(name);
    if (!entry) {
        reader.fail(ArchiveErrorKind::BadClass, offset, "unknown class");
        return std::nullopt;
    }
    if (schema != entry->schema) {
        reader.fail(ArchiveErrorKind::BadSchema, offset,
                    std::string(entry->name) + " schema " + std::to_string(schema));
        return std::nullopt;
    }
    if (!takeIndex(reader, Slot{true, entry->id}, offset))
        return std::nullopt;
    std::uint32_t objectIndex = static_cast<std::uint32_t>(m_slots.size());
    if (!takeIndex(reader, Slot{false, entry->id}, offset))
        return std::nullopt;
    return Tag{TagKind::NewObject, entry->id, objectIndex, offset};
}

std::optional<CObjectTagReader::Tag> CObjectTagReader::newObjectOfClassIndex(CArchiveReader& reader,
                                                                             std::uint64_t classIndex,
                                                                             std::uint64_t offset) {
    if (classIndex == 0 || classIndex >= m_slots.size() || !m_slots[classIndex].isClass) {
        reader.fail(ArchiveErrorKind::BadIndex, offset, "class index " + std::to_string(classIndex));
        return std::nullopt;
    }
    ArchiveClass objectClass = m_slots[classIndex].objectClass;
    std::uint32_t objectIndex = static_cast<std::uint32_t>(m_slots.size());
    if (!takeIndex(reader, Slot{false, objectClass}, offset))
        return std::nullopt;
    return Tag{TagKind::NewObject, objectClass, objectIndex, offset};
}

std::optional<CObjectTagReader::Tag> CObjectTagReader::referenceTo(CArchiveReader& reader,
                                                                   std::uint64_t objectIndex,
                                                                   std::uint64_t offset) {
    if (objectIndex == 0 || objectIndex >= m_slots.size() || m_slots[objectIndex].isClass) {
        reader.fail(ArchiveErrorKind::BadIndex, offset, "object index " + std::to_string(objectIndex));
        return std::nullopt;
    }
    return Tag{TagKind::Reference, m_slots[objectIndex].objectClass, static_cast<std::uint32_t>(objectIndex),
               offset};
}

bool CObjectTagReader::takeIndex(CArchiveReader& reader, Slot slot, std::uint64_t offset) {
    if (m_slots.size() > kMaxIndex) {
        reader.fail(ArchiveErrorKind::BadIndex, offset,
                    "more than " + std::to_string(kMaxIndex) + " indices");
        return false;
    }
    m_slots.push_back(slot);
    return true;
}
