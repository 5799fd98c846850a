#include "catalogfile/CObjectTagWriter.h"

#include "catalogfile/CatalogFormat.h"

using namespace catalog_format;

void CObjectTagWriter::writeNewObject(CArchiveWriter& writer, ArchiveClass objectClass) {
    std::uint32_t& classIndex = m_classIndex[static_cast<std::size_t>(objectClass)];
    if (classIndex == 0) {
        const CClassRegistry::Entry& entry = CClassRegistry::entry(objectClass);
        writer.writeU16(kNewClassTag);
        writer.writeU16(entry.schema);
        writer.writeU16(static_cast<std::uint16_t>(entry.name.size()));
        writer.writeBytes(entry.name);
        classIndex = m_nextIndex++;
    } else if (classIndex < kLongTag) {
        writer.writeU16(static_cast<std::uint16_t>(kClassTag + classIndex));
    } else {
        writer.writeU16(kLongTag);
        writer.writeU32(kLongClassTag + classIndex);
    }
    ++m_nextIndex;
}
