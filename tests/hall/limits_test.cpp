// SPDX-License-Identifier: MIT
// The per-address buckets, the address a request counts against, and a full queue's 503 with a wait.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "hall/limits.h"
#include "hall/queue.h"
#include "hall/service.h"
#include "hall/store.h"

using namespace hall;

TEST(HallLimits, AnAddressGetsItsBurstThenWaitsForTheRefill) {
    RateLimit limit(3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(limit.take("192.0.2.1", 1000), 0);
    EXPECT_EQ(limit.take("192.0.2.1", 1000), 20);  // one request back every 20 s
    EXPECT_EQ(limit.take("192.0.2.1", 11000), 10);
    EXPECT_EQ(limit.take("192.0.2.1", 21000), 0);
    EXPECT_GT(limit.take("192.0.2.1", 21000), 0);
}

TEST(HallLimits, TheProxysHeaderGivesOnlyAPlausibleAddress) {
    EXPECT_EQ(clientAddress("127.0.0.1", "2001:db8::1", true), "2001:db8::1");
    for (const char* bad : {"", "  ", "evil<script>", "192.0.2.9, "})
        EXPECT_EQ(clientAddress("127.0.0.1", bad, true), "127.0.0.1") << bad;
}

TEST(HallLimits, AFullQueueTurnsAGameAwayAtOnceWithAWait) {
    std::string error;
    const std::unique_ptr<Store> store = openStore("sqlite::memory:", error);
    ASSERT_TRUE(store) << error;
    VerifyQueue queue(1, 2);
    std::latch startedRunning(1), release(1);
    std::thread running([&] { queue.run([&] { startedRunning.count_down(); release.wait(); }); });
    startedRunning.wait();
    std::thread waiting([&] { EXPECT_TRUE(queue.run([] {})); });
    while (queue.waitingOrRunning() < 2) std::this_thread::yield();

    bool ran = false;
    EXPECT_FALSE(queue.run([&] { ran = true; }));
    EXPECT_FALSE(ran);
    // Through the service: 503 and Retry-After, before the body is even looked at.
    Service service(*store, [] { return int64_t{0}; }, false);
    service.verifyThrough(&queue);
    const Answer busy = service.submit("advance 100\n", "Bearer abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(busy.status, 503);
    EXPECT_GT(busy.retryAfter, 0);

    release.count_down();
    running.join();
    waiting.join();
    EXPECT_EQ(queue.waitingOrRunning(), 0u);
    EXPECT_TRUE(queue.run([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(service.submit("advance 100\n", "Bearer abcdefghijklmnopqrstuvwxyz").status, 422);
}
