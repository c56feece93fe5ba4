// SPDX-License-Identifier: MIT
// Reads raw float32 stereo samples (what SDL's disk audio driver writes) and
// prints: frames, peak, RMS, samples at or beyond full scale, and the longest
// run of silent frames.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: audio_file_stats FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return 2;
    std::vector<float> s;
    float pair[2];
    while (in.read(reinterpret_cast<char*>(pair), sizeof pair)) s.insert(s.end(), pair, pair + 2);
    double sum = 0, peak = 0;
    long clipped = 0, silentRun = 0, longestSilence = 0;
    for (size_t i = 0; i < s.size(); i += 2) {
        const double l = std::fabs(s[i]), r = std::fabs(s[i + 1]);
        sum += l * l + r * r;
        peak = std::fmax(peak, std::fmax(l, r));
        clipped += (l >= 1.0) + (r >= 1.0);
        silentRun = (l == 0 && r == 0) ? silentRun + 1 : 0;
        if (silentRun > longestSilence) longestSilence = silentRun;
    }
    const double rms = s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
    std::printf("%zu %.4f %.4f %ld %ld\n", s.size() / 2, peak, rms, clipped, longestSilence);
    return 0;
}
