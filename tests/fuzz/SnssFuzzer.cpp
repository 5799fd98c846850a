// The Chromium session reader under libFuzzer: whatever the bytes, a replay never crashes, hangs or reads
// out of bounds. A failure names the file and an offset inside it; a session read has valid selections,
// comes only from a plain session file, keeps no more tabs than the file has navigation commands for
// them, and reads the same again (each tab's history is a treap seeded afresh, so a replay whose result
// depends on the tree's shape shows here).

#include <cstdint>
#include <string>
#include <string_view>

#include "SessionFuzzChecks.h"
#include "platform/CSnssReader.h"
#include "platform/SnssFormat.h"

namespace {

constexpr const char* kFuzzer = "snss fuzzer";
constexpr const char* kPath = "/fuzz/Session_1";
// The smallest command that can give a tab its page: size, id, then the pickle's size, tab id, index, URL
// length and title length.
constexpr std::size_t kMinNavigationCommand = 2 + 1 + 5 * 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CSessionError error;
    const auto session = CSnssReader(bytes, kPath).read(&error);
    if (!session) {
        SessionFuzzChecks::checkError(kFuzzer, error, kPath, size);
        return 0;
    }
    if (size < SnssFormat::kHeaderSize || bytes.substr(0, 4) != "SNSS") {
        SessionFuzzChecks::fail(kFuzzer, "a session read from a file without the signature");
    }
    SessionFuzzChecks::checkSession(kFuzzer, *session);
    std::size_t tabs = 0;
    for (const CBrowserSession::Window& window : session->windows()) {
        if (window.tabs.empty()) {
            SessionFuzzChecks::fail(kFuzzer, "a window kept without tabs");
        }
        tabs += window.tabs.size();
    }
    if (tabs * kMinNavigationCommand > size - SnssFormat::kHeaderSize) {
        SessionFuzzChecks::fail(kFuzzer, std::to_string(tabs) + " tabs from " + std::to_string(size) + " bytes");
    }
    const auto again = CSnssReader(bytes, kPath).read(nullptr);
    if (!again || !SessionFuzzChecks::sameSession(*session, *again)) {
        SessionFuzzChecks::fail(kFuzzer, "a second replay of the same file differs");
    }
    return 0;
}
