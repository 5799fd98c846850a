#include "preview/CSPIControl.h"

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kHeaderOffset = 128;  // a picture behind a 128-byte header is tried second
constexpr std::uint32_t kCompressionNone = 0;

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool endsWithSpi(const std::string& name) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".spi";
}

std::uint32_t opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// Frees what a plug-in handed over with malloc().
struct CPluginBlocks {
    void* info = nullptr;
    void* bits = nullptr;
    ~CPluginBlocks() {
        std::free(info);
        if (bits != info)
            std::free(bits);
    }
};

}  // namespace

CSPIControl& CSPIControl::instance() {
    static CSPIControl host;
    return host;
}

void CSPIControl::report(const std::string& path, const std::string& what) {
    if (!m_reported.insert(path).second)
        return;
    m_problems.push_back(CSPIProblem{path, what});
    std::fprintf(stderr, "quillory: image plug-in %s skipped: %s\n", path.c_str(), what.c_str());
}

void CSPIControl::unloadAll() {
    m_plugins.clear();
    m_folder.clear();
    m_lastDecoder = -1;
    m_problems.clear();
    m_reported.clear();
    m_faulty.clear();
}

int CSPIControl::scan(const std::string& folder) {
    std::string base = folder;
    std::replace(base.begin(), base.end(), '\\', '/');
    if (base.size() > 1 && base.back() != '/')
        base += '/';

    std::vector<std::string> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(base.empty() ? "." : base, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (endsWithSpi(name))
            files.push_back(name);
    }
    if (files.empty())
        return 0;
    std::sort(files.begin(), files.end());
    m_folder = folder;

    const std::size_t before = m_plugins.size();
    int added = 0;
    for (const std::string& name : files) {
        const std::string path = base + name;
        CSPICore core;
        std::string why;
        bool reportable = false;
        if (!core.load(path, why, reportable)) {
            if (reportable)
                report(path, why);
            continue;
        }
        const bool wanted = (static_cast<unsigned>(core.kind()) & m_typeMask) != 0;
        const bool duplicate = std::any_of(m_plugins.begin(), m_plugins.begin() + static_cast<std::ptrdiff_t>(before),
                                           [&](const CSPICore& loaded) {
                                               return lower(loaded.fileName()) == lower(core.fileName());
                                           });
        if (!wanted || duplicate)
            continue;
        m_plugins.push_back(std::move(core));
        ++added;
    }
    return added;
}

int CSPIControl::formatTotal() const {
    int total = 0;
    for (const CSPICore& plugin : m_plugins)
        total += plugin.formatCount();
    return total;
}

bool CSPIControl::isSupportedExtension(std::string_view extension) const {
    const std::string wanted = "*" + lower(extension);
    for (const CSPICore& plugin : m_plugins) {
        for (const std::string& pattern : plugin.patterns()) {
            if (lower(pattern) == wanted)
                return true;
        }
    }
    return false;
}

CSPIControl::Conversion CSPIControl::convertPicture(void* bitmapInfo, void* bitmapBits, CDecodedPicture& picture,
                                                    std::string& fault) {
    if (!bitmapInfo || !bitmapBits) {
        fault = "GetPicture succeeded without handing over both blocks";
        return Conversion::Broken;
    }
    if (bitmapInfo == bitmapBits) {
        fault = "GetPicture handed over one block as both header and bits";
        return Conversion::Broken;
    }
    const std::size_t infoSize = malloc_usable_size(bitmapInfo);
    if (infoSize < sizeof(SusieBitmapHeader)) {
        fault = "the bitmap header block is " + std::to_string(infoSize) + " bytes, less than a header";
        return Conversion::Broken;
    }
    SusieBitmapHeader header;
    std::memcpy(&header, bitmapInfo, sizeof header);
    if (header.size < sizeof(SusieBitmapHeader) || header.size > infoSize) {
        fault = "the bitmap header declares " + std::to_string(header.size) + " bytes in a block of " +
                std::to_string(infoSize);
        return Conversion::Broken;
    }
    const int bitCount = header.bitCount;
    if (header.width == 0 || header.height == 0) {
        picture = CDecodedPicture{};  // an empty picture: the caller says "読み込み失敗"
        return Conversion::Done;
    }
    if (header.width < 0 || header.height == INT32_MIN ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        fault = "the bitmap header declares " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                " pixels of " + std::to_string(bitCount) + " bits";
        return Conversion::Broken;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(header.width);
    const std::uint64_t height = static_cast<std::uint64_t>(header.height < 0 ? -static_cast<std::int64_t>(header.height)
                                                                               : header.height);
    if (width * height * 4 > CPcxDecoder::kMaxPictureBytes) {
        return Conversion::TooLarge;
    }
    if (header.compression != kCompressionNone) {
        return Conversion::Unsupported;
    }
    std::uint32_t colours = 0;
    if (bitCount <= 8) {
        colours = header.colorsUsed != 0 ? header.colorsUsed : (1u << bitCount);
        if (colours > (1u << bitCount)) {
            fault = "the palette has " + std::to_string(colours) + " colours for " + std::to_string(bitCount) + " bits";
            return Conversion::Broken;
        }
        if (header.size + std::uint64_t{colours} * 4 > infoSize) {
            fault = "the palette runs past the end of the header block";
            return Conversion::Broken;
        }
    }
    const std::uint64_t stride = (width * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
    const std::size_t bitsSize = malloc_usable_size(bitmapBits);
    if (stride * height > bitsSize) {
        fault = "the bits block is " + std::to_string(bitsSize) + " bytes for " + std::to_string(stride * height) +
                " bytes of rows";
        return Conversion::Broken;
    }

    const auto* palette = static_cast<const std::uint8_t*>(bitmapInfo) + header.size;
    auto paletteColour = [&](std::uint32_t index) {
        if (index >= colours)
            return opaque(0, 0, 0);
        const std::uint8_t* entry = palette + index * 4;
        return opaque(entry[2], entry[1], entry[0]);
    };
    picture = CDecodedPicture{};
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.sourceBitsPerPixel = bitCount;
    picture.pixels.resize(static_cast<std::size_t>(width * height));
    const auto* bits = static_cast<const std::uint8_t*>(bitmapBits);
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint64_t row = header.height < 0 ? y : height - 1 - y;
        const std::uint8_t* in = bits + row * stride;
        std::uint32_t* out = picture.pixels.data() + y * width;
        for (std::uint64_t x = 0; x < width; ++x) {
            switch (bitCount) {
            case 32:
            case 24: {
                const std::uint8_t* p = in + x * static_cast<std::uint64_t>(bitCount / 8);
                out[x] = opaque(p[2], p[1], p[0]);
                break;
            }
            case 16: {
                const unsigned v = in[x * 2] | (in[x * 2 + 1] << 8);
                out[x] = opaque(static_cast<std::uint8_t>(((v >> 10) & 31) * 255 / 31),
                                static_cast<std::uint8_t>(((v >> 5) & 31) * 255 / 31),
                                static_cast<std::uint8_t>((v & 31) * 255 / 31));
                break;
            }
            default: {
                const std::uint64_t bit = x * static_cast<std::uint64_t>(bitCount);
                const unsigned shift = static_cast<unsigned>(8 - bitCount - bit % 8);
                out[x] = paletteColour((in[bit / 8] >> shift) & ((1u << bitCount) - 1));
                break;
            }
            }
        }
    }
    return Conversion::Done;
}

int CSPIControl::getPicture(const std::string& path, CDecodedPicture& picture, SusiePictureInfo* info) {
    picture = CDecodedPicture{};
    if (path.empty())
        return kMissingArgument;
    // The bytes of the buffer beyond the end of a shorter file are zero.
    std::vector<char> head(kHeadSize, '\0');
    {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return kReadFailed;
        file.read(head.data(), static_cast<std::streamsize>(head.size()));
        if (file.bad())
            return kReadFailed;
    }

    for (std::size_t i = 0; i < m_plugins.size(); ++i) {
        CSPICore& plugin = m_plugins[i];
        if (!plugin.isSupported() || !plugin.getPicture() || m_faulty.count(plugin.path()))
            continue;
        if (plugin.isSupported()(path.c_str(), head.data()) != 1)
            continue;
        CPluginBlocks blocks;
        int result = plugin.getPicture()(path.c_str(), 0, 0, &blocks.info, &blocks.bits, nullptr, 0);
        if (result != 0 && result != 1) {
            CPluginBlocks retry;
            result = plugin.getPicture()(path.c_str(), kHeaderOffset, 0, &retry.info, &retry.bits, nullptr, 0);
            std::swap(blocks.info, retry.info);
            std::swap(blocks.bits, retry.bits);
        }
        if (result != 0)
            continue;
        std::string fault;
        const Conversion conversion = convertPicture(blocks.info, blocks.bits, picture, fault);
        if (conversion != Conversion::Done) {
            picture = CDecodedPicture{};
            if (conversion == Conversion::TooLarge)
                return kReadFailed;
            if (conversion == Conversion::Broken) {
                // A picture that does not add up: the plug-in is not asked again.
                m_faulty.insert(plugin.path());
                report(plugin.path(), fault);
            }
            continue;
        }
        m_lastDecoder = static_cast<int>(i);
        if (info) {
            std::memset(info, 0, sizeof *info);
            if (plugin.getPictureInfo() && plugin.getPictureInfo()(path.c_str(), 0, 0, info) != 0) {
                std::memset(info, 0, sizeof *info);
                plugin.getPictureInfo()(path.c_str(), kHeaderOffset, 0, info);
            }
            std::free(info->info);
            info->info = nullptr;
        }
        return kSuccess;
    }
    return kNotDecoded;
}
