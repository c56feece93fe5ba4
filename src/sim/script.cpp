// SPDX-License-Identifier: MIT
#include "sim/script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <limits>
#include <ostream>
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

bool resolveTarget(Sim& sim, std::string_view text, Target& t, std::string& error) {
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
        for (const Field& f : stateFields(sim.game.state)) {
            if (f.name == prop) {
                t.what = Target::What::State;
                t.field = f.ref;
                return true;
            }
        }
        error = "unknown state field " + quote(prop);
        return false;
    }
    t.element = findElement(sim.game.scene, owner);
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

std::string targetValue(Sim& sim, const Target& t) {
    if (t.what == Target::What::Clock) return std::to_string(sim.game.clock);
    return formatField(t.field);
}

bool setTarget(Sim& sim, Target& t, std::string_view value, std::string& error) {
    if (!t.settable) {
        error = quote(t.name) + " can only be read";
        return false;
    }
    Game& g = sim.game;
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
        Sim& sim;
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
    return std::visit(Visitor{sim, value, error}, t.field);
}

void dump(Sim& sim, std::ostream& out) {
    for (const ElementRef& e : catalogue(sim.game.scene)) {
        const std::string name = e.name();
        for (const Field& f : fieldsOf(e)) out << name << '.' << f.name << '=' << formatField(f.ref) << '\n';
    }
    for (const Field& f : stateFields(sim.game.state)) out << "state." << f.name << '=' << formatField(f.ref) << '\n';
    out << "clock=" << sim.game.clock << '\n';
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

}  // namespace

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
    // The driver's own generator: seeded by --seed, re-seeded from the virtual
    // clock before every draw (and the draw's number, so two draws in one tick differ).
    g.random.seed = [&sim] {
        const uint64_t n = sim.draws++;
        return sim.options.seed * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(sim.game.clock) * 0xC2B2AE3D27D4EB4Full ^
               n * 0x165667B19E3779F9ull;
    };
    Form_Load(g);
}

bool runSimLine(Sim& sim, const std::string& rawLine, std::ostream& out, std::string& error) {
    std::string_view line(rawLine);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') return true;
    const std::vector<std::string_view> w = splitWords(line);
    for (size_t i = 0; i < w.size(); ++i) {
        // set keeps every blank of its value; every other line has single blanks only
        if (w[i].empty() && !(w[0] == "set" && i >= 2)) {
            error = "words must be separated by single spaces";
            return false;
        }
    }
    const std::string_view cmd = w[0];
    Game& g = sim.game;

    if (cmd == "keydown" || cmd == "keyup") {
        if (!wordCount(w, 2, 3, error)) return false;
        int code = 0, shift = 0;
        if (!parseInteger(w[1], code) || code < 0 || code > 65535) {
            error = "key code " + quote(w[1]) + " is not a whole number from 0 to 65535";
            return false;
        }
        if (w.size() == 3 && (!parseInteger(w[2], shift) || shift < 0 || shift > 65535)) {
            error = "shift state " + quote(w[2]) + " is not a whole number from 0 to 65535";
            return false;
        }
        if (cmd == "keydown") keyDownEvent(g, code, shift);
        else keyUpEvent(g, code, shift);
        return true;
    }
    if (cmd == "click") {
        if (!wordCount(w, 2, 2, error)) return false;
        if (w[1] == "Label4") Label4_Click(g);
        else if (w[1] == "Label5") Label5_Click(g);
        else if (w[1] == "Label6") Label6_Click(g);
        else {
            error = "only Label4, Label5 and Label6 can be clicked, not " + quote(w[1]);
            return false;
        }
        return true;
    }
    if (cmd == "advance") {
        if (!wordCount(w, 2, 2, error)) return false;
        int64_t ms = 0;
        if (!parseInteger(w[1], ms) || ms < 0) {
            error = "advance needs a whole number of ms (0 or more), not " + quote(w[1]);
            return false;
        }
        advance(g, ms);
        return true;
    }
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
    if (cmd == "random") {
        if (!wordCount(w, 2, std::numeric_limits<size_t>::max(), error)) return false;
        std::vector<float> values;
        for (size_t i = 1; i < w.size(); ++i) {
            float r = 0;
            if (!parseFloat(w[i], r) || r < 0.0f || r >= 1.0f) {
                error = "random value " + quote(w[i]) + " is not a number with 0 <= R < 1";
                return false;
            }
            values.push_back(r);
        }
        g.random.queued.insert(g.random.queued.end(), values.begin(), values.end());
        return true;
    }
    if (cmd == "get") {
        if (!wordCount(w, 2, 2, error)) return false;
        Target t;
        if (!resolveTarget(sim, w[1], t, error)) return false;
        out << t.name << '=' << targetValue(sim, t) << '\n';
        return true;
    }
    if (cmd == "set") {
        if (!wordCount(w, 2, std::numeric_limits<size_t>::max(), error)) return false;
        Target t;
        if (!resolveTarget(sim, w[1], t, error)) return false;
        const size_t valueStart = w[0].size() + 1 + w[1].size() + 1;
        const std::string_view value = valueStart <= line.size() ? line.substr(valueStart) : std::string_view{};
        return setTarget(sim, t, value, error);
    }
    if (cmd == "dump") {
        if (!wordCount(w, 1, 1, error)) return false;
        dump(sim, out);
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
            result.exitCode = 2;
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
