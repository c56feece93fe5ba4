// SPDX-License-Identifier: MIT
#include "draw/text_wrap.h"

namespace draw {

size_t utf8CharLength(unsigned char c) {
    if (c >= 0xF0 && c < 0xF8) return 4;
    if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
    if (c >= 0xC0) return 2;
    return 1;
}

namespace {

bool isBlank(char c) { return c == ' '; }

// Appends `word` to the lines, starting on `line`; breaks it between
// characters wherever it does not fit a line of its own.
void placeWord(std::string_view word, std::string& line, std::vector<std::string>& lines, int width,
               const MeasureText& measure) {
    while (!word.empty()) {
        std::string candidate = line;
        candidate += word;
        if (measure(candidate) <= width) {
            line = std::move(candidate);
            return;
        }
        if (!line.empty()) {  // try the word on a fresh line first
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        // Alone on a line and still too wide: keep the longest prefix that
        // fits, always at least one character.
        size_t cut = utf8CharLength(static_cast<unsigned char>(word[0]));
        if (cut > word.size()) cut = word.size();
        while (cut < word.size()) {
            size_t next = cut + utf8CharLength(static_cast<unsigned char>(word[cut]));
            if (next > word.size()) next = word.size();
            if (measure(word.substr(0, next)) > width) break;
            cut = next;
        }
        if (cut == word.size()) {  // the last piece starts the line the next word may join
            line.assign(word);
            return;
        }
        lines.emplace_back(word.substr(0, cut));
        word.remove_prefix(cut);
    }
}

void wrapParagraph(std::string_view para, int width, const MeasureText& measure, std::vector<std::string>& lines) {
    std::string line;
    size_t i = 0;
    while (i < para.size()) {
        size_t j = i;
        if (isBlank(para[i])) {
            while (j < para.size() && isBlank(para[j])) ++j;
            line.append(para.substr(i, j - i));  // blanks hang at the line's end
        } else {
            while (j < para.size() && !isBlank(para[j])) ++j;
            placeWord(para.substr(i, j - i), line, lines, width, measure);
        }
        i = j;
    }
    lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> wrapText(std::string_view text, int width, const MeasureText& measure) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        std::string_view para = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
        wrapParagraph(para, width, measure, lines);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

}  // namespace draw
