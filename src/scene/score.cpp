// SPDX-License-Identifier: MIT
#include "scene/score.h"

#include <cstdlib>

#include "base/float_chars.h"

namespace hvezda {

double scoreValue(const Scene& s) {
    // The caption only ever holds a number the game wrote; anything else counts as 0.
    return std::strtod(s.score.Caption.c_str(), nullptr);
}

void addToScore(Scene& s, double points) {
    const double sum = scoreValue(s) + points;
    char buf[64];
    auto [end, ec] = base::toChars(buf, buf + sizeof buf, sum);
    s.score.Caption.assign(buf, ec == std::errc{} ? end : buf);
}

}  // namespace hvezda
