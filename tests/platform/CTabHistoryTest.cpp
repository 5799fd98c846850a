// A tab's navigation history against a plain map that applies each removal by rebuilding itself.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "platform/CTabHistory.h"

namespace {

using Pages = std::map<std::int64_t, std::string>;

void removeRangeFrom(Pages& pages, std::int64_t first, std::int64_t count) {
    Pages kept;
    for (const auto& [index, url] : pages) {
        if (index < first) {
            kept.emplace(index, url);
        } else if (index >= first + count) {
            kept.emplace(index - count, url);
        }
    }
    pages = std::move(kept);
}

}  // namespace

TEST(CTabHistoryTest, AgreesWithAMapUnderRandomSetsAndRemovals) {
    std::mt19937 random(27);
    for (int round = 0; round < 20; ++round) {
        CTabHistory history;
        Pages expected;
        for (int step = 0; step < 2000; ++step) {
            const std::int64_t index = static_cast<std::int64_t>(random() % 80) - 10;
            switch (random() % 6) {
            case 0:
                history.removeFrom(index);
                expected.erase(expected.lower_bound(index), expected.end());
                break;
            case 1: {
                const std::int64_t count = 1 + random() % 12;
                history.removeRange(index, count);
                removeRangeFrom(expected, index, count);
                break;
            }
            default: {
                const std::string url = "u" + std::to_string(step);
                history.set(index, CBrowserSession::Tab{url, "t"});
                expected[index] = url;
            }
            }
            ASSERT_EQ(history.size(), expected.size()) << "round " << round << " step " << step;
            ASSERT_EQ(history.empty(), expected.empty());
            if (!expected.empty()) {
                ASSERT_EQ(history.last()->url, expected.rbegin()->second);
            }
            for (std::int64_t probe = -12; probe < 72; probe += 7) {
                const auto it = expected.find(probe);
                const CBrowserSession::Tab* page = history.find(probe);
                ASSERT_EQ(page != nullptr, it != expected.end()) << "index " << probe << " step " << step;
                if (page) {
                    ASSERT_EQ(page->url, it->second);
                }
            }
        }
    }
}
