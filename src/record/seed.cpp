// SPDX-License-Identifier: MIT
#include "record/seed.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace rec {

uint64_t streamMix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float streamValue(uint64_t seed, uint64_t index) {
    return static_cast<float>(streamMix(seed + (index + 1) * kStreamStep) >> 40) / 16777216.0f;
}

std::function<uint64_t()> seedStream(uint64_t seed) {
    // hvezda::uniformFromSeed(x) is the top 24 bits of streamMix(x + kStreamStep)
    // over 2^24: handing it seed + index * kStreamStep gives draw `index`.
    return [seed, index = uint64_t{0}]() mutable { return seed + index++ * kStreamStep; };
}

uint64_t dailySeed(int year, int month, int day) {
    const uint64_t number = static_cast<uint64_t>(year) * 10000 + static_cast<uint64_t>(month) * 100 + static_cast<uint64_t>(day);
    return streamMix(number + kDailyTag);
}

bool parseDate(const std::string& text, int& year, int& month, int& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) return false;
    const int y = std::stoi(text.substr(0, 4)), m = std::stoi(text.substr(5, 2)), d = std::stoi(text.substr(8, 2));
    using namespace std::chrono;
    if (y < 1 || !year_month_day{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                  std::chrono::day{static_cast<unsigned>(d)}}
                     .ok())
        return false;
    year = y, month = m, day = d;
    return true;
}

std::string formatDate(int year, int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

std::string todayUtc() {
    using namespace std::chrono;
    const year_month_day today{floor<days>(system_clock::now())};
    return formatDate(static_cast<int>(today.year()), static_cast<int>(static_cast<unsigned>(today.month())),
                      static_cast<int>(static_cast<unsigned>(today.day())));
}

bool dailySeedOf(const std::string& date, uint64_t& seed) {
    int y = 0, m = 0, d = 0;
    if (!parseDate(date, y, m, d)) return false;
    seed = dailySeed(y, m, d);
    return true;
}

}  // namespace rec
