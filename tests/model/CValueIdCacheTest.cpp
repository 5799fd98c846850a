#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/CValueIdCache.h"
#include "model/CValueInterner.h"

namespace {

// Texts of every length around the word sizes the cache hashes and compares by, including texts that share
// all but their last byte or their first byte, and a text with a NUL inside.
std::vector<std::string> trickyTexts() {
    std::vector<std::string> texts = {
        "", "a", "b", "ab", "ba", "値", "値1", "値2", "1値", std::string("x\0y", 3), std::string("x\0z", 3)};
    for (std::size_t length = 3; length <= 20; ++length) {
        texts.push_back(std::string(length, 'q'));
        texts.push_back(std::string(length - 1, 'q') + 'r');
        texts.push_back('r' + std::string(length - 1, 'q'));
    }
    return texts;
}

TEST(CValueIdCacheTest, GivesTheInternersNumbersOncePerText) {
    CValueInterner& interner = CValueInterner::instance();
    CValueIdCache cache;
    const std::vector<std::string> texts = trickyTexts();

    std::vector<CValueInterner::Id> first;
    for (const std::string& text : texts) {
        first.push_back(cache.intern(text));
    }
    // Each text has the interner's own number and reads back as itself; distinct texts never share one.
    std::set<CValueInterner::Id> distinct(first.begin(), first.end());
    EXPECT_EQ(distinct.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(interner.find(texts[i]), first[i]) << i;
        EXPECT_EQ(interner.text(first[i]), texts[i]) << i;
    }
    EXPECT_EQ(cache.size(), texts.size());

    // Repeated texts, also from other buffers than the first ones, give the same numbers and add nothing.
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string copy = texts[i];
        EXPECT_EQ(cache.intern(copy), first[i]) << i;
    }
    EXPECT_EQ(cache.size(), texts.size());

    // A second cache starts empty and still agrees.
    CValueIdCache other;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(other.intern(texts[i]), first[i]) << i;
    }

    // Growing far beyond the first table keeps every number.
    std::vector<std::string> many;
    for (int i = 0; i < 5000; ++i) {
        many.push_back("grow-" + std::to_string(i));
    }
    std::vector<CValueInterner::Id> manyIds;
    for (const std::string& text : many) {
        manyIds.push_back(cache.intern(text));
    }
    for (std::size_t i = 0; i < many.size(); ++i) {
        ASSERT_EQ(cache.intern(many[i]), manyIds[i]) << many[i];
        ASSERT_EQ(interner.text(manyIds[i]), many[i]);
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(cache.intern(texts[i]), first[i]) << i;
    }
    EXPECT_EQ(cache.size(), texts.size() + many.size());
}

TEST(CValueIdCacheTest, CachesOnSeveralThreadsAgreeOnEveryNumber) {
    // Four threads, each with its cache, intern the same new texts in different orders at once.
    constexpr int kThreads = 4;
    constexpr int kTexts = 2000;
    std::vector<std::vector<CValueInterner::Id>> ids(kThreads, std::vector<CValueInterner::Id>(kTexts));
    constexpr int kSteps[kThreads] = {1, 3, 7, 9};  // prime to kTexts: each visits every text once
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &ids, &kSteps] {
            CValueIdCache cache;
            for (int n = 0; n < kTexts; ++n) {
                const int i = (n * kSteps[t] + t * 37) % kTexts;
                ids[t][i] = cache.intern("thread-text-" + std::to_string(i));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<CValueInterner::Id> distinct;
    for (int i = 0; i < kTexts; ++i) {
        for (int t = 1; t < kThreads; ++t) {
            ASSERT_EQ(ids[t][i], ids[0][i]) << i;
        }
        EXPECT_EQ(CValueInterner::instance().text(ids[0][i]), "thread-text-" + std::to_string(i));
        distinct.insert(ids[0][i]);
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTexts));
}

}  // namespace
