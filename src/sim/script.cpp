// SPDX-License-Identifier: MIT
#include "sim/script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>
#include <string_view>
#include <variant>
#include <vector>

#include "shell/shell.h"

using namespace hvezda;

std::string formatFloat(float v) {
    char buf[128];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (ec != std::errc{}) return "nan";
    return std::string(buf, end);
}

std::string formatColor(uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(c));
    return buf;
}

namespace {

// ---- Properties ----------------------------------------------------------

using FieldRef = std::variant<float*, bool*, std::string*, uint32_t*, int32_t*, int64_t*, const Picture**>;

struct Field {
    std::string_view name;
    FieldRef ref;
    bool settable = true;
};

std::vector<Field> fieldsOf(const ElementRef& e) {
    struct Visitor {
        std::vector<Field> operator()(Sprite* s) const {
            return {{"Left", &s->Left},       {"Top", &s->Top},
                    {"Width", &s->Width, false}, {"Height", &s->Height, false},
                    {"Visible", &s->Visible}, {"Picture", &s->picture},
                    {"BackColor", &s->BackColor, false}};
        }
        std::vector<Field> operator()(Label* l) const {
            return {{"Caption", &l->Caption}, {"Visible", &l->Visible}, {"ForeColor", &l->ForeColor},
                    {"Left", &l->Left},       {"Top", &l->Top},         {"Width", &l->Width},
                    {"Height", &l->Height}};
        }
        std::vector<Field> operator()(Image* i) const {
            return {{"Left", &i->Left}, {"Top", &i->Top}, {"Width", &i->Width}, {"Height", &i->Height},
                    {"Visible", &i->Visible}};
        }
        std::vector<Field> operator()(Line* l) const {
            return {{"X1", &l->X1}, {"Y1", &l->Y1}, {"X2", &l->X2}, {"Y2", &l->Y2}, {"Visible", &l->Visible}};
        }
        std::vector<Field> operator()(Star* s) const {
            return {{"Left", &s->Left}, {"Top", &s->Top}, {"Visible", &s->Visible}};
        }
        std::vector<Field> operator()(Timer* t) const {
            return {{"Enabled", &t->Enabled}, {"Interval", &t->Interval}};
        }
        std::vector<Field> operator()(Form* f) const {
            return {{"Width", &f->Width}, {"Height", &f->Height}, {"KeyPreview", &f->KeyPreview}};
        }
    };
    return std::visit(Visitor{}, e.ptr);
}

std::vector<Field> stateFields(GameState& st) {
    return {{"bossApproach", &st.bossApproach},
            {"bannerGreen", &st.bannerGreen},
            {"bossExplosionStep", &st.bossExplosionStep},
            {"playerExplosionStep", &st.playerExplosionStep},
            {"bossDirection", &st.bossDirection},
            {"playerDestroyed", &st.playerDestroyed},
            {"shipExplosionStep", &st.shipExplosionStep},
            {"craft1Destroyed", &st.craft1Destroyed},
            {"craft2Destroyed", &st.craft2Destroyed},
            {"craft3Destroyed", &st.craft3Destroyed},
            {"craft4Destroyed", &st.craft4Destroyed},
            {"shotIndex", &st.shotIndex},
            {"craft2ExplosionStep", &st.craft2ExplosionStep},
            {"craft3ExplosionStep", &st.craft3ExplosionStep},
            {"craft4ExplosionStep", &st.craft4ExplosionStep},
            {"craft1ExplosionStep", &st.craft1ExplosionStep},
            {"keyUp", &st.keyUp},
            {"keyDown", &st.keyDown},
            {"musicHandle", &st.musicHandle},
            {"musicPath", &st.musicPath},
            {"keyRight", &st.keyRight},
            {"keyLeft", &st.keyLeft}};
}

std::string formatField(const FieldRef& ref) {
    struct Visitor {
        std::string operator()(float* v) const { return formatFloat(*v); }
        std::string operator()(bool* v) const { return *v ? "true" : "false"; }
        std::string operator()(std::string* v) const { return *v; }
        std::string operator()(uint32_t* v) const { return formatColor(*v); }
        std::string operator()(int64_t* v) const { return std::to_string(*v); }
        std::string operator()(int32_t* v) const { return std::to_string(*v); }
        std::string operator()(const Picture** v) const { return *v ? std::string((*v)->name) : "none"; }
    };
    return std::visit(Visitor{}, ref);
}

// ---- Parsing values ----------------------------------------------------

template <typename T>
bool parseInteger(std::string_view text, T& out) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool parseFloat(std::string_view text, float& out) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::general);
    return ec == std::errc{} && end == text.data() + text.size() && std::isfinite(out);
}

bool parseColor(std::string_view text, uint32_t& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        if (text.size() > 8) return false;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
        return ec == std::errc{} && end == text.data() + text.size();
    }
    return parseInteger(text, out);
}

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (true) {
        const size_t space = line.find(' ', start);
        words.push_back(line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start));
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
    return words;
}

// Quotes a word of the script in an error message; a very long one is cut.
std::string quote(std::string_view s) {
    constexpr size_t kLongest = 60;
    if (s.size() <= kLongest) return "'" + std::string(s) + "'";
    return "'" + std::string(s.substr(0, kLongest)) + "...' (" + std::to_string(s.size()) + " characters)";
}

// ---- Targets -------------------------------------------------------------

struct Target {
    enum class What { Element, State, Clock } what = What::Element;
    std::optional<ElementRef> element;
    FieldRef field{};
    bool settable = true;
    std::string name;
};

bool resolveTarget(Game& g, std::string_view text, Target& t, std::string& error) {
    t.name = std::string(text);
    if (text == "clock") {
        t.what = Target::What::Clock;
        t.settable = false;
        return true;
    }
    const size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == text.size()) {
        error = "target " + quote(text) + " is not ELEMENT.PROPERTY, state.FIELD or clock";
        return false;
    }
    const std::string_view owner = text.substr(0, dot);
    const std::string_view prop = text.substr(dot + 1);
    if (owner == "state") {
        for (const Field& f : stateFields(g.state)) {
            if (f.name == prop) {
                t.what = Target::What::State;
                t.field = f.ref;
                return true;
            }
        }
        error = "unknown state field " + quote(prop);
        return false;
    }
    t.element = findElement(g.scene, owner);
    if (!t.element) {
        error = "unknown element " + quote(owner);
        return false;
    }
    for (const Field& f : fieldsOf(*t.element)) {
        if (f.name == prop) {
            t.field = f.ref;
            t.settable = f.settable;
            return true;
        }
    }
    error = "element " + quote(owner) + " has no property " + quote(prop);
    return false;
}

std::string targetValue(const Game& g, const Target& t) {
    if (t.what == Target::What::Clock) return std::to_string(g.clock);
    return formatField(t.field);
}

bool setTarget(Game& g, Target& t, std::string_view value, std::string& error) {
    if (!t.settable) {
        error = quote(t.name) + " can only be read";
        return false;
    }
    auto bad = [&](const char* what) {
        error = quote(std::string(value)) + " is not " + what;
        return false;
    };
    // Timers and pictures keep their side effects when a script writes them.
    if (t.element && t.element->kind() == Kind::Timer) {
        Timer& timer = *std::get<Timer*>(t.element->ptr);
        if (std::holds_alternative<bool*>(t.field)) {
            if (value != "true" && value != "false") return bad("true or false");
            setEnabled(g, timer, value == "true");
        } else {
            int interval = 0;
            if (!parseInteger(value, interval) || interval < 0) return bad("an interval in ms (0 or more)");
            setInterval(g, timer, interval);
        }
        return true;
    }
    struct Visitor {
        std::string_view value;
        std::string& error;
        bool operator()(float* v) const {
            float f = 0;
            if (!parseFloat(value, f)) return fail("a finite number");
            *v = f;
            return true;
        }
        bool operator()(bool* v) const {
            if (value != "true" && value != "false") return fail("true or false");
            *v = value == "true";
            return true;
        }
        bool operator()(std::string* v) const {
            *v = std::string(value);
            return true;
        }
        bool operator()(uint32_t* v) const {
            uint32_t c = 0;
            if (!parseColor(value, c)) return fail("a colour (0x00BBGGRR)");
            *v = c;
            return true;
        }
        bool operator()(int32_t* v) const {
            int32_t n = 0;
            if (!parseInteger(value, n)) return fail("a 32-bit whole number");
            *v = n;
            return true;
        }
        bool operator()(int64_t* v) const {
            int64_t n = 0;
            if (!parseInteger(value, n)) return fail("a 64-bit whole number");
            *v = n;
            return true;
        }
        bool operator()(const Picture**) const { return false; }  // handled by the caller
        bool fail(const char* what) const {
            error = quote(value) + " is not " + what;
            return false;
        }
    };
    if (std::holds_alternative<const Picture**>(t.field)) {
        // Copies the picture of another element; an auto-sized sprite takes its size.
        const std::optional<ElementRef> from = findElement(g.scene, value);
        const Picture* pic = nullptr;
        if (from && from->kind() == Kind::Sprite) pic = std::get<Sprite*>(from->ptr)->picture;
        else if (from && from->kind() == Kind::Image) pic = std::get<Image*>(from->ptr)->picture;
        else return bad("an element with a picture");
        setPicture(*std::get<Sprite*>(t.element->ptr), pic);
        return true;
    }
    return std::visit(Visitor{value, error}, t.field);
}

bool parseTimer(std::string_view name, TimerId& id) {
    for (TimerId t : kTimerOrder) {
        if (name == timerName(t)) {
            id = t;
            return true;
        }
    }
    return false;
}

bool wordCount(const std::vector<std::string_view>& w, size_t min, size_t max, std::string& error) {
    if (w.size() < min) {
        error = quote(w[0]) + " needs more words";
        return false;
    }
    if (w.size() > max) {
        error = "unexpected " + quote(w[max]) + " after " + quote(w[0]);
        return false;
    }
    return true;
}

// The text after "COMMAND TARGET ": the value of set and expect, blanks kept.
std::string_view valueAfterTarget(std::string_view line, const std::vector<std::string_view>& w) {
    const size_t valueStart = w[0].size() + 1 + w[1].size() + 1;
    return valueStart <= line.size() ? line.substr(valueStart) : std::string_view{};
}

bool parseHash(std::string_view text, uint64_t& out) {
    if (text.empty() || text.size() > 16) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
    return ec == std::errc{} && end == text.data() + text.size();
}

}  // namespace

uint64_t driverSeed(uint64_t seed, int64_t clock, uint64_t draw) {
    return seed * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(clock) * 0xC2B2AE3D27D4EB4Full ^
           draw * 0x165667B19E3779F9ull;
}

void startSim(Sim& sim, SimOptions options) {
    sim.options = std::move(options);
    sim.game = Game{};
    sim.draws = 0;
    sim.exited = false;
    choosePlayerBackend("recording");
    Game& g = sim.game;
    g.host.programFolder = [] { return std::string(kSimProgramFolder); };
    g.host.setCurrentDirectory = [](const std::string&) {};
    g.host.form2Handle = [] { return kSimForm2Handle; };
    g.host.closeWindows = [&sim] { sim.exited = true; };
    g.random.seed = [&sim] { return driverSeed(sim.options.seed, sim.game.clock, sim.draws++); };
    Form_Load(g);
}

LineKind readLine(Game& g, std::string_view line, Step& step, std::vector<std::string_view>& w,
                  std::string& error) {
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') return LineKind::Nothing;
    w = splitWords(line);
    // set and expect keep every blank of their value; other lines have single blanks only
    const bool blanksInValue = w[0] == "set" || w[0] == "expect";
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i].empty() && !(blanksInValue && i >= 2)) {
            error = "words must be separated by single spaces";
            return LineKind::Malformed;
        }
    }
    const std::string_view cmd = w[0];
    step = Step{};
    auto bad = [&](std::string why) {
        error = std::move(why);
        return LineKind::Malformed;
    };

    if (cmd == "keydown" || cmd == "keyup") {
        if (!wordCount(w, 2, 3, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.code) || step.code < 0 || step.code > 65535)
            return bad("key code " + quote(w[1]) + " is not a whole number from 0 to 65535");
        if (w.size() == 3 && (!parseInteger(w[2], step.shift) || step.shift < 0 || step.shift > 65535))
            return bad("shift state " + quote(w[2]) + " is not a whole number from 0 to 65535");
        step.kind = cmd == "keydown" ? Step::Kind::KeyDown : Step::Kind::KeyUp;
        return LineKind::Step;
    }
    if (cmd == "click") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (w[1] == "Label4") step.label = 4;
        else if (w[1] == "Label5") step.label = 5;
        else if (w[1] == "Label6") step.label = 6;
        else return bad("only Label4, Label5 and Label6 can be clicked, not " + quote(w[1]));
        step.kind = Step::Kind::Click;
        return LineKind::Step;
    }
    if (cmd == "advance") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!parseInteger(w[1], step.ms) || step.ms < 0)
            return bad("advance needs a whole number of ms (0 or more), not " + quote(w[1]));
        step.kind = Step::Kind::Advance;
        return LineKind::Step;
    }
    if (cmd == "random") {
        if (!wordCount(w, 2, std::numeric_limits<size_t>::max(), error)) return LineKind::Malformed;
        for (size_t i = 1; i < w.size(); ++i) {
            float r = 0;
            if (!parseFloat(w[i], r) || r < 0.0f || r >= 1.0f)
                return bad("random value " + quote(w[i]) + " is not a number with 0 <= R < 1");
            step.values.push_back(r);
        }
        step.kind = Step::Kind::Random;
        return LineKind::Step;
    }
    if (cmd == "expect") {
        if (!wordCount(w, 2, std::numeric_limits<size_t>::max(), error)) return LineKind::Malformed;
        Target t;
        if (!resolveTarget(g, w[1], t, error)) return LineKind::Malformed;
        step.kind = Step::Kind::Expect;
        step.target = std::string(w[1]);
        step.value = std::string(valueAfterTarget(line, w));
        return LineKind::Step;
    }
    if (cmd == "expect-hash") {
        if (!wordCount(w, 2, 2, error)) return LineKind::Malformed;
        if (!parseHash(w[1], step.hash)) return bad("expect-hash needs up to 16 hex digits, not " + quote(w[1]));
        step.kind = Step::Kind::ExpectHash;
        return LineKind::Step;
    }
    return LineKind::Other;
}

bool runStep(Game& g, const Step& step, std::string& error) {
    switch (step.kind) {
        case Step::Kind::KeyDown: keyDownEvent(g, step.code, step.shift); return true;
        case Step::Kind::KeyUp: keyUpEvent(g, step.code, step.shift); return true;
        case Step::Kind::Click:
            if (step.label == 4) Label4_Click(g);
            else if (step.label == 5) Label5_Click(g);
            else Label6_Click(g);
            return true;
        case Step::Kind::Advance: advance(g, step.ms); return true;
        case Step::Kind::Random:
            g.random.queued.insert(g.random.queued.end(), step.values.begin(), step.values.end());
            return true;
        case Step::Kind::Expect: {
            std::string found;
            if (!readTarget(g, step.target, found, error)) return false;
            if (found == step.value) return true;
            error = "expected " + step.target + " " + quote(step.value) + ", the game has " + quote(found);
            return false;
        }
        case Step::Kind::ExpectHash: {
            const uint64_t found = stateHash(g);
            if (found == step.hash) return true;
            error = "expected the state's hash " + formatHash(step.hash) + ", the game's is " + formatHash(found);
            return false;
        }
    }
    return true;
}

bool readTarget(Game& g, std::string_view target, std::string& value, std::string& error) {
    Target t;
    if (!resolveTarget(g, target, t, error)) return false;
    value = targetValue(g, t);
    return true;
}

void dumpGame(Game& g, std::ostream& out) {
    for (const ElementRef& e : catalogue(g.scene)) {
        const std::string name = e.name();
        for (const Field& f : fieldsOf(e)) out << name << '.' << f.name << '=' << formatField(f.ref) << '\n';
    }
    for (const Field& f : stateFields(g.state)) out << "state." << f.name << '=' << formatField(f.ref) << '\n';
    out << "clock=" << g.clock << '\n';
}

uint64_t stateHash(Game& g) {
    std::ostringstream text;
    dumpGame(g, text);
    const std::string dump = text.str();
    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t pos = 0; pos < dump.size();) {
        size_t end = dump.find('\n', pos);
        end = end == std::string::npos ? dump.size() : end + 1;
        const std::string_view line(dump.data() + pos, end - pos);
        pos = end;
        if (line.rfind("state.musicHandle=", 0) == 0 || line.rfind("state.musicPath=", 0) == 0) continue;
        for (const char c : line) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001B3ull;
        }
    }
    return h;
}

std::string formatHash(uint64_t hash) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash));
    return buf;
}

bool runSimLine(Sim& sim, const std::string& rawLine, std::ostream& out, std::string& error) {
    std::string_view line(rawLine);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Step step;
    std::vector<std::string_view> w;
    sim.unmet = false;
    switch (readLine(sim.game, line, step, w, error)) {
        case LineKind::Nothing: return true;
        case LineKind::Malformed: return false;
        case LineKind::Step: sim.unmet = !runStep(sim.game, step, error); return !sim.unmet;
        case LineKind::Other: break;
    }
    const std::string_view cmd = w[0];
    Game& g = sim.game;

    if (cmd == "tick") {
        if (!wordCount(w, 2, 2, error)) return false;
        TimerId id;
        if (!parseTimer(w[1], id)) {
            error = "unknown timer " + quote(w[1]);
            return false;
        }
        runTimerHandler(g, id);
        return true;
    }
    if (cmd == "get") {
        if (!wordCount(w, 2, 2, error)) return false;
        Target t;
        if (!resolveTarget(g, w[1], t, error)) return false;
        out << t.name << '=' << targetValue(g, t) << '\n';
        return true;
    }
    if (cmd == "set") {
        if (!wordCount(w, 2, std::numeric_limits<size_t>::max(), error)) return false;
        Target t;
        if (!resolveTarget(g, w[1], t, error)) return false;
        return setTarget(g, t, valueAfterTarget(line, w), error);
    }
    if (cmd == "dump") {
        if (!wordCount(w, 1, 1, error)) return false;
        dumpGame(g, out);
        return true;
    }
    if (cmd == "hash") {
        if (!wordCount(w, 1, 1, error)) return false;
        out << "hash=" << formatHash(stateHash(g)) << '\n';
        return true;
    }
    if (cmd == "music") {
        if (!wordCount(w, 1, 1, error)) return false;
        for (const std::string& call : recordedPlayerCalls()) out << "music " << call << '\n';
        return true;
    }
    if (cmd == "screenshot") {
        if (w.size() < 2) {
            error = "screenshot needs a file name";
            return false;
        }
        if (!sim.options.screenshot) {
            error = "this build of the driver cannot draw";
            return false;
        }
        const std::string err = sim.options.screenshot(g.scene, std::string(line.substr(w[0].size() + 1)));
        if (!err.empty()) {
            error = err;
            return false;
        }
        return true;
    }
    error = "unknown command " + quote(cmd);
    return false;
}

SimResult runSimScript(Sim& sim, std::istream& in, std::ostream& out) {
    SimResult result;
    std::string line;
    int lineNo = 1;
    for (; !sim.exited && std::getline(in, line); ++lineNo) {
        std::string error;
        if (!runSimLine(sim, line, out, error)) {
            result.exitCode = sim.unmet ? 1 : 2;
            result.error = "line " + std::to_string(lineNo) + ": " + error;
            return result;
        }
    }
    if (in.bad()) {  // a folder, or a read error part way through
        result.exitCode = 2;
        result.error = "line " + std::to_string(lineNo) + ": the script cannot be read";
    }
    return result;
}
