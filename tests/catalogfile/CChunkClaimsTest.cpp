#include "catalogfile/CChunkClaims.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Whatever the front and the back take, and whenever the positions become known, each position is taken by
// exactly one of them, and the front never takes a position before it is known.
TEST(CChunkClaimsTest, EveryPositionGoesToExactlyOneWorker) {
    for (const std::size_t total : {0u, 5u, 1000u, 1024u, 10007u}) {
        CChunkClaims claims(64);
        std::vector<int> takenBy(total, 0);
        std::atomic<std::size_t> published{0};
        bool frontSawUnknown = false;
        std::thread front([&] {
            for (CChunkClaims::Range range = claims.claimFront(); !range.empty(); range = claims.claimFront()) {
                for (std::size_t i = range.begin; i < range.end; ++i) {
                    frontSawUnknown = frontSawUnknown || i >= published.load();
                    takenBy[i] += 1;
                }
            }
        });
        for (std::size_t known = 0; known < total; known += 100) {
            published = known;
            claims.publish(known);
        }
        published = total;
        claims.close(total);
        std::vector<int> back(total, 0);
        for (CChunkClaims::Range range = claims.claimBack(); !range.empty(); range = claims.claimBack()) {
            for (std::size_t i = range.begin; i < range.end; ++i)
                back[i] += 1;
        }
        front.join();
        EXPECT_FALSE(frontSawUnknown) << total;
        for (std::size_t i = 0; i < total; ++i)
            ASSERT_EQ(takenBy[i] + back[i], 1) << "position " << i << " of " << total;
    }
}

// A front worker waiting for positions that will never come is released by abandon(), and takes nothing more.
TEST(CChunkClaimsTest, AbandonReleasesAWaitingFront) {
    CChunkClaims claims(64);
    claims.publish(64);
    EXPECT_EQ(claims.claimFront().end, 64u);
    std::thread front([&] { EXPECT_TRUE(claims.claimFront().empty()); });
    claims.abandon();
    front.join();
    claims.publish(1000);
    EXPECT_TRUE(claims.claimFront().empty());
}

}  // namespace
