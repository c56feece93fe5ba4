// SPDX-License-Identifier: MIT
#include "hall/page.h"

#include "hall/rules.h"

namespace hall {

namespace {

std::string playTime(int64_t ms) {
    const int64_t s = ms / 1000;
    std::string secs = std::to_string(s % 60);
    return std::to_string(s / 60) + ":" + (secs.size() < 2 ? "0" : "") + secs;
}

void table(std::string& html, const std::string& title, const std::vector<Entry>& entries, bool playPage) {
    html += "<section>\n<h2>" + escapeHtml(title) + "</h2>\n";
    if (entries.empty()) {
        html += "<p class=\"empty\">Zatím žádná hra.</p>\n</section>\n";
        return;
    }
    html += "<table>\n<thead><tr><th>#</th><th>Jméno</th><th>Skóre</th><th>Konec</th><th>Délka</th><th>Kdy</th>"
            "<th>Záznam</th></tr></thead>\n<tbody>\n";
    for (const Entry& e : entries) {
        const std::string id = escapeHtml(e.id);
        html += "<tr><td>" + std::to_string(e.rank) + "</td><td class=\"name\">" + (e.name.empty() ? "-" : escapeHtml(e.name)) + "</td><td>" +
                std::to_string(e.score) + "</td><td>" + resultOf(e) + "</td><td>" + playTime(e.lengthMs) +
                "</td><td>" + utcTime(e.receivedMs) + "</td><td><a href=\"/api/games/" + id + "\">stáhnout</a>";
        if (playPage) html += " · <a href=\"/play/?replay=" + id + "\">přehrát</a>";
        html += "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n</section>\n";
}

}  // namespace

const char* resultOf(const Entry& e) { return e.winner ? "WINNER" : "GAME OVER"; }

nlohmann::json boardRow(const Entry& e) {
    return {{"rank", e.rank},         {"name", e.name}, {"score", e.score},
            {"result", resultOf(e)},  {"length_ms", e.lengthMs},
            {"when", utcTime(e.receivedMs)}, {"id", e.id}};
}

nlohmann::json sentAnswer(const Entry& e) {
    return {{"id", e.id},
            {"name", e.name},
            {"score", e.score},
            {"result", resultOf(e)},
            {"length_ms", e.lengthMs},
            {"board", e.board},
            {"day", e.day.empty() ? nlohmann::json() : nlohmann::json(e.day)},
            {"rank", e.rank}};
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    return out;
}

std::string boardPage(const std::string& day, const std::vector<Entry>& daily, const std::vector<Entry>& open,
                      bool playPage) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Hvězda: síň slávy</title>\n<style>\n"
        "body { background: #000; color: #ddd; font-family: sans-serif; margin: 2em auto; max-width: 60em; }\n"
        "h1, h2 { color: #8f8; } a { color: #8cf; } table { border-collapse: collapse; width: 100%; }\n"
        "th, td { padding: 0.2em 0.6em; text-align: left; border-bottom: 1px solid #333; }\n"
        "td.name { white-space: pre-wrap; word-break: break-all; }\n"
        "</style>\n</head>\n<body>\n<h1>Hvězda: síň slávy</h1>\n";
    html += "<p>Každou hru na této tabuli server přehrál a skóre spočítal sám. ";
    html += playPage ? "<a href=\"/play/\">Hrát</a>.</p>\n" : "</p>\n";
    table(html, "Hra dne " + day, daily, playPage);
    table(html, "Otevřená tabule", open, playPage);
    html += "<p>JSON: <a href=\"/api/board?board=daily&amp;day=" + escapeHtml(day) +
            "\">/api/board?board=daily</a>, <a href=\"/api/board?board=open\">/api/board?board=open</a>.</p>\n"
            "</body>\n</html>\n";
    return html;
}

}  // namespace hall
