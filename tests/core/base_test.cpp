// SPDX-License-Identifier: MIT
// A write interrupted by a signal goes on; the browser build's float conversions give the standard library's.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "base/float_chars.h"

#ifndef _WIN32
#include <csignal>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

#include "base/files.h"
#endif

namespace {

#ifndef _WIN32
void onAlarm(int) {}

// A slowly read pipe and a signal every 100 µs: the blocked writes are interrupted again and again.
TEST(Files, AWriteInterruptedByASignalGoesOn) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string text(1 << 19, 'h');
    sigset_t alarm, old;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &alarm, &old);  // the reader never takes the signal
    size_t read = 0;
    std::thread reader([&] {
        char buf[16384];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0; read += static_cast<size_t>(n))
            usleep(1000);
    });
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    struct sigaction action {}, before {};
    action.sa_handler = onAlarm;  // no SA_RESTART: a blocked write returns EINTR
    sigaction(SIGALRM, &action, &before);
    const itimerval every{{0, 100}, {0, 100}}, stop{};
    setitimer(ITIMER_REAL, &every, nullptr);
    const bool wrote = base::writeAll(fds[1], text);
    setitimer(ITIMER_REAL, &stop, nullptr);
    sigaction(SIGALRM, &before, nullptr);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_TRUE(wrote) << std::strerror(errno);
    EXPECT_EQ(read, text.size());
}
#endif

template <class T>
std::string fixed(T v, bool portable) {
    char buf[1600];
    const auto [end, ec] = portable ? base::portable::toChars(buf, buf + sizeof buf, v)
                                    : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return ec == std::errc{} ? std::string(buf, end) : "error";
}

// Shortest fixed notation out, and the same reading in.
TEST(FloatChars, ThePortableConversionsAgreeWithTheStandardOnes) {
    const float floats[] = {0.0f, -0.0f, 0.5f, 0.99999994f, 1e-7f, 1.4e-45f, 4560.0f, 622.5f, 0.1f, -17.25f,
                            std::numeric_limits<float>::max()};
    for (const float f : floats) EXPECT_EQ(fixed(f, true), fixed(f, false));
    for (const double d : {0.0, 1032.0, 0.1, 1e21, 123456789.125, -2.5e-300}) EXPECT_EQ(fixed(d, true), fixed(d, false));
    for (const std::string text : {"0.5", "-17.25", "1e-7", "4560", ".5", "5.", "1e39", "+1", " 1", "0x10", "", "-", "abc",
                                   "1.5x"}) {
        float a = -1, b = -1;
        const char* first = text.data();
        const char* last = first + text.size();
        const auto ra = base::portable::fromChars(first, last, a);
        const auto rb = std::from_chars(first, last, b, std::chars_format::general);
        EXPECT_EQ(ra.ec, rb.ec) << '\'' << text << '\'';
        EXPECT_EQ(ra.ptr - first, rb.ptr - first) << '\'' << text << '\'';
        if (ra.ec == std::errc{}) {
            EXPECT_EQ(a, b) << text;
        }
    }
}

}  // namespace
