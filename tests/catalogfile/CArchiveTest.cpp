#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "catalogfile/CArchiveReader.h"
#include "catalogfile/CArchiveWriter.h"
#include "catalogfile/CObjectTagReader.h"
#include "catalogfile/CObjectTagWriter.h"
#include "support/CToolRunner.h"

namespace {

std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

std::string stringBytes(const std::string& text) {
    CArchiveWriter writer;
    writer.writeString(text);
    return writer.bytes();
}

// The UTF-16LE bytes of a UTF-8 text, as iconv makes them.
std::string iconvUtf16(const std::string& utf8) {
    return CToolRunner::run("iconv -f UTF-8 -t UTF-16LE", utf8).output;
}

ArchiveErrorKind kindOf(const CArchiveReader& reader) {
    return reader.error()->kind();
}

}  // namespace

TEST(CArchiveTest, StringPrefixesSwitchAtTheirBoundaries) {
    EXPECT_EQ(stringBytes(""), bytesOf({0x00}));
    EXPECT_EQ(stringBytes(std::string(254, 'a')).substr(0, 1), bytesOf({0xFE}));
    EXPECT_EQ(stringBytes(std::string(255, 'a')).substr(0, 3), bytesOf({0xFF, 0xFF, 0x00}));
    EXPECT_EQ(stringBytes(std::string(0xFFFD, 'a')).substr(0, 3), bytesOf({0xFF, 0xFD, 0xFF}));
    EXPECT_EQ(stringBytes(std::string(0xFFFE, 'a')).substr(0, 7),
              bytesOf({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(stringBytes(std::string(0x10000, 'a')).size(), 7u + 0x10000);

    for (std::size_t length : {0, 1, 254, 255, 256, 0xFFFD, 0xFFFE, 0xFFFF, 0x12345}) {
        std::string text(length, 'q');
        const std::string readerBytes = stringBytes(text) + "tail";
        CArchiveReader reader(readerBytes);
        EXPECT_EQ(reader.readString(), text) << length;
        EXPECT_TRUE(reader.ok());
        EXPECT_EQ(reader.remaining(), 4u) << length;
    }
}

TEST(CArchiveTest, CountsUseTheLongFormFrom0xFFFF) {
    CArchiveWriter writer;
    writer.writeCount(0xFFFE);
    writer.writeCount(0xFFFF);
    writer.writeCount(300);
    EXPECT_EQ(writer.bytes(), bytesOf({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x2C, 0x01}));

    std::string padding(0x20000, '\0');
    const std::string readerBytes = writer.bytes() + padding;
    CArchiveReader reader(readerBytes);
    EXPECT_EQ(reader.readCount(1), 0xFFFEu);
    EXPECT_EQ(reader.readCount(1), 0xFFFFu);
    EXPECT_EQ(reader.readCount(1), 300u);
    EXPECT_TRUE(reader.ok());
}

TEST(CArchiveTest, Utf16StringsAreReadAndWrittenForTextCodePage932Lacks) {
    // 0xFF, 0xFFFE, then a length in code units: "é" and an emoji (a surrogate pair) take 3 units.
    std::string text = "é😀";
    std::string utf16 = iconvUtf16(text);
    ASSERT_EQ(utf16.size(), 6u);
    std::string expected = bytesOf({0xFF, 0xFE, 0xFF, 0x03}) + utf16;
    EXPECT_EQ(stringBytes(text), expected);

    CArchiveReader reader(expected);
    EXPECT_EQ(reader.readString(), text);
    EXPECT_TRUE(reader.ok());

    // The second prefix has its own long forms: 300 units.
    std::string longText(300, 'x');
    std::string longUtf16 = iconvUtf16(longText);
    const std::string longReaderBytes = bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}) + longUtf16;
    CArchiveReader longReader(longReaderBytes);
    EXPECT_EQ(longReader.readString(), longText);
    EXPECT_TRUE(longReader.ok());

    // A string or a count whose prefix ends early is an end-of-file error at the start of the field.
    for (const std::string& cut :
         {bytesOf({0xFF, 0xFF}), bytesOf({0xFF, 0xFF, 0xFF, 0x01}), bytesOf({0xFF, 0xFE})}) {
        const std::string cutBytes = "ab" + cut;
        CArchiveReader cutReader(cutBytes);
        cutReader.readBytes(2);
        cutReader.readString();
        EXPECT_EQ(cutReader.error()->offset(), 2u);
        CArchiveReader countReader(cutBytes);
        countReader.readBytes(2);
        countReader.readCount(1);
        EXPECT_EQ(countReader.error()->offset(), 2u);
    }

    // A UTF-16 text that ends early is an end-of-file error at the start of the string.
    const std::string truncatedBytes = "ab" + bytesOf({0xFF, 0xFE, 0xFF, 0x03}) + utf16.substr(0, 5);
    CArchiveReader truncated(truncatedBytes);
    truncated.readBytes(2);
    truncated.readString();
    ASSERT_FALSE(truncated.ok());
    EXPECT_EQ(kindOf(truncated), ArchiveErrorKind::EndOfFile);
    EXPECT_EQ(truncated.error()->offset(), 2u);
}

TEST(CArchiveTest, ReadsStopAtTheFirstErrorWithItsOffset) {
    const std::string readerBytes = bytesOf({0x64, 0x00, 0x00, 0x00, 0x05, 'a', 'b'});
    CArchiveReader reader(readerBytes);
    EXPECT_EQ(reader.readI32(), 100);
    EXPECT_EQ(reader.readString(), "");
    ASSERT_FALSE(reader.ok());
    EXPECT_EQ(kindOf(reader), ArchiveErrorKind::EndOfFile);
    EXPECT_EQ(reader.error()->offset(), 4u);
    // Later reads change nothing.
    EXPECT_EQ(reader.readU16(), 0u);
    EXPECT_EQ(reader.error()->offset(), 4u);

    // A count that the remaining bytes cannot hold is refused before anything is allocated.
    const std::string hugeBytes = bytesOf({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00});
    CArchiveReader huge(hugeBytes);
    huge.readU16();
    EXPECT_TRUE(huge.readStringArray().empty());
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(kindOf(huge), ArchiveErrorKind::CountTooLarge);
    EXPECT_EQ(huge.error()->offset(), 2u);

    // Three strings need at least three bytes.
    const std::string threeBytes = bytesOf({0x03, 0x00, 0x00, 0x00});
    CArchiveReader three(threeBytes);
    three.readStringArray();
    EXPECT_EQ(kindOf(three), ArchiveErrorKind::CountTooLarge);
    const std::string fitsBytes = bytesOf({0x03, 0x00, 0x00, 0x00, 0x01, 'z'});
    CArchiveReader fits(fitsBytes);
    EXPECT_EQ(fits.readStringArray(), (std::vector<std::string>{"", "", "z"}));
    EXPECT_TRUE(fits.ok());
}

TEST(CArchiveTest, ObjectTagsNumberClassesAndObjectsTogether) {
    CArchiveWriter writer;
    CObjectTagWriter tags;
    tags.writeNewObject(writer, ArchiveClass::SortKey);   // class 1, object 2
    tags.writeNewObject(writer, ArchiveClass::SortKey);   // object 3
    tags.writeNewObject(writer, ArchiveClass::Category);  // class 4, object 5
    tags.writeNewObject(writer, ArchiveClass::SortKey);   // object 6
    EXPECT_EQ(writer.bytes(), bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C',  'S',  'o',  'r',  't',  'I',
                                       't',  'e',  'm',  0x01, 0x80, 0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C',
                                       'C',  'a',  't',  'e',  'g',  'o',  'r',  'y',  0x01, 0x80}));

    const std::string readerBytes = writer.bytes() + bytesOf({0x05, 0x00});
    CArchiveReader reader(readerBytes);
    CObjectTagReader tagReader;
    auto first = tagReader.read(reader);
    auto second = tagReader.read(reader);
    auto third = tagReader.read(reader);
    auto fourth = tagReader.read(reader);
    auto reference = tagReader.read(reader);
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(first->objectClass, ArchiveClass::SortKey);
    EXPECT_EQ(first->objectIndex, 2u);
    EXPECT_EQ(second->objectIndex, 3u);
    EXPECT_EQ(third->objectClass, ArchiveClass::Category);
    EXPECT_EQ(third->objectIndex, 5u);
    EXPECT_EQ(fourth->objectClass, ArchiveClass::SortKey);
    EXPECT_EQ(fourth->objectIndex, 6u);
    EXPECT_EQ(reference->kind, CObjectTagReader::TagKind::Reference);
    EXPECT_EQ(reference->objectClass, ArchiveClass::Category);
}

TEST(CArchiveTest, ClassIndicesFrom0x7FFFUseTheLongForm) {
    CArchiveWriter writer;
    CObjectTagWriter tags;
    // 0x7FFD objects of one class, then a second class: it takes index 0x7FFF.
    for (int i = 0; i < 0x7FFD; ++i)
        tags.writeNewObject(writer, ArchiveClass::SortKey);
    std::size_t before = writer.bytes().size();
    tags.writeNewObject(writer, ArchiveClass::Item);
    tags.writeNewObject(writer, ArchiveClass::Item);
    EXPECT_EQ(writer.bytes().substr(before + 15), bytesOf({0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80}));

    const std::string readerBytes = writer.bytes();
    CArchiveReader reader(readerBytes);
    CObjectTagReader tagReader;
    std::optional<CObjectTagReader::Tag> tag;
    for (int i = 0; i < 0x7FFF && reader.ok(); ++i)
        tag = tagReader.read(reader);
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(tag->objectClass, ArchiveClass::Item);
    EXPECT_EQ(tag->objectIndex, 0x8001u);
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(CArchiveTest, MalformedTagsGiveTheirKindAtTheTagOffset) {
    struct Case {
        std::string bytes;
        ArchiveErrorKind kind;
        std::uint64_t offset;
    };
    std::string sortItem = bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}) + "CSortItem";
    const Case cases[] = {
        {bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}) + "CSortIten", ArchiveErrorKind::BadClass, 0},
        {bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00}) + std::string(64, 'C'), ArchiveErrorKind::BadClass, 0},
        {bytesOf({0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00}) + "CCategory", ArchiveErrorKind::BadSchema, 0},
        {bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}) + "CSortIt", ArchiveErrorKind::EndOfFile, 6},
        {sortItem + bytesOf({0x03, 0x80}), ArchiveErrorKind::BadIndex, 15},  // class 3 unknown
        {sortItem + bytesOf({0x02, 0x80}), ArchiveErrorKind::BadIndex, 15},  // 2 is an object
        {sortItem + bytesOf({0x00, 0x80}), ArchiveErrorKind::BadIndex, 15},  // class 0
        {sortItem + bytesOf({0x01, 0x00}), ArchiveErrorKind::BadIndex, 15},  // 1 is a class
        {sortItem + bytesOf({0x07, 0x00}), ArchiveErrorKind::BadIndex, 15},  // not read yet
        {sortItem + bytesOf({0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80}), ArchiveErrorKind::BadIndex, 15},
        {sortItem + bytesOf({0xFF, 0x7F, 0x01, 0x00}), ArchiveErrorKind::EndOfFile, 15},
    };
    for (const Case& c : cases) {
        CArchiveReader reader(c.bytes);
        CObjectTagReader tags;
        std::optional<CObjectTagReader::Tag> tag = tags.read(reader);
        bool second = c.bytes.size() > 15 && c.bytes.compare(0, 15, sortItem) == 0;
        if (second) {
            ASSERT_TRUE(reader.ok());
            tag = tags.read(reader);
        }
        EXPECT_FALSE(tag.has_value());
        ASSERT_FALSE(reader.ok());
        EXPECT_EQ(reader.error()->kind(), c.kind) << reader.error()->describe();
        EXPECT_EQ(reader.error()->offset(), c.offset) << reader.error()->describe();
    }
}
