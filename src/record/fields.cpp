// SPDX-License-Identifier: MIT
#include "record/fields.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "base/text.h"
#include "scene/picture.h"

using namespace hvezda;

namespace record {

// ---- The table -------------------------------------------------------------

namespace {
template <class T>
using M = Member<T>;
constexpr M<Sprite> kSprite[] = {
    {"Left", &Sprite::Left},
    {"Top", &Sprite::Top},
    {"Width", &Sprite::Width, M<Sprite>::ReadOnly},
    {"Height", &Sprite::Height, M<Sprite>::ReadOnly},
    {"Visible", &Sprite::Visible},
    {"Picture", &Sprite::picture},
    {"BackColor", &Sprite::BackColor, M<Sprite>::ReadOnly},
    {"border", &Sprite::border, M<Sprite>::KeptOut},
    {"autoSize", &Sprite::autoSize, M<Sprite>::KeptOut},
};
constexpr M<Label> kLabel[] = {
    {"Caption", &Label::Caption},
    {"Visible", &Label::Visible},
    {"ForeColor", &Label::ForeColor},
    {"Left", &Label::Left},
    {"Top", &Label::Top},
    {"Width", &Label::Width},
    {"Height", &Label::Height},
    {"BackColor", &Label::BackColor, M<Label>::KeptOut},
    {"transparent", &Label::transparent, M<Label>::KeptOut},
    {"autoSize", &Label::autoSize, M<Label>::KeptOut},
    {"wordWrap", &Label::wordWrap, M<Label>::KeptOut},
    {"font", &Label::font, M<Label>::KeptOut},
};
constexpr M<Image> kImage[] = {
    {"Left", &Image::Left},         {"Top", &Image::Top},         {"Width", &Image::Width},
    {"Height", &Image::Height},     {"Visible", &Image::Visible}, {"picture", &Image::picture, M<Image>::KeptOut},
};
constexpr M<Line> kLine[] = {
    {"X1", &Line::X1}, {"Y1", &Line::Y1}, {"X2", &Line::X2}, {"Y2", &Line::Y2}, {"Visible", &Line::Visible},
    {"color", &Line::color, M<Line>::KeptOut},
};
constexpr M<Star> kStar[] = {
    {"Left", &Star::Left},
    {"Top", &Star::Top},
    {"Visible", &Star::Visible},
    {"diameter", &Star::diameter, M<Star>::KeptOut},
    {"color", &Star::color, M<Star>::KeptOut},
};
constexpr M<Timer> kTimer[] = {
    {"Enabled", &Timer::Enabled},
    {"Interval", &Timer::Interval},
    {"nextDue", &Timer::nextDue, M<Timer>::KeptOut},  // the scheduler's; follows from the clock and Enabled
};
constexpr M<Form> kForm[] = {
    {"Width", &Form::Width},
    {"Height", &Form::Height},
    {"KeyPreview", &Form::KeyPreview},
    {"open", &Form::open, M<Form>::KeptOut},
    {"hWnd", &Form::hWnd, M<Form>::KeptOut},
};
constexpr M<GameState> kState[] = {
    {"bossApproach", &GameState::bossApproach},
    {"bannerGreen", &GameState::bannerGreen},
    {"bossExplosionStep", &GameState::bossExplosionStep},
    {"playerExplosionStep", &GameState::playerExplosionStep},
    {"bossDirection", &GameState::bossDirection},
    {"playerDestroyed", &GameState::playerDestroyed},
    {"shipExplosionStep", &GameState::shipExplosionStep},
    {"craft1Destroyed", &GameState::craft1Destroyed},
    {"craft2Destroyed", &GameState::craft2Destroyed},
    {"craft3Destroyed", &GameState::craft3Destroyed},
    {"craft4Destroyed", &GameState::craft4Destroyed},
    {"shotIndex", &GameState::shotIndex},
    {"craft2ExplosionStep", &GameState::craft2ExplosionStep},
    {"craft3ExplosionStep", &GameState::craft3ExplosionStep},
    {"craft4ExplosionStep", &GameState::craft4ExplosionStep},
    {"craft1ExplosionStep", &GameState::craft1ExplosionStep},
    {"keyUp", &GameState::keyUp},
    {"keyDown", &GameState::keyDown},
    // These two name the machine's music player, which differs between the
    // window and the driver: values, but not in the hash.
    {"musicHandle", &GameState::musicHandle, M<GameState>::Machine},
    {"musicPath", &GameState::musicPath, M<GameState>::Machine},
    {"keyRight", &GameState::keyRight},
    {"keyLeft", &GameState::keyLeft},
};

// A member of one object as a value: nothing for a member kept out.
template <class T>
std::optional<FieldRef> refTo(T& object, const Member<T>& m) {
    if (m.use == Member<T>::KeptOut) return std::nullopt;
    return std::visit(
        [&object](auto pointer) -> std::optional<FieldRef> {
            auto* p = &(object.*pointer);
            if constexpr (std::is_constructible_v<FieldRef, decltype(p)>) return FieldRef{p};
            else return std::nullopt;
        },
        m.pointer);
}

// Calls f(member, value) for every value of an element, in the table's order.
template <class F>
void forEachValue(const ElementRef& e, F&& f) {
    std::visit(
        [&f](auto* element) {
            using T = std::remove_pointer_t<decltype(element)>;
            std::span<const Member<T>> members;
            if constexpr (std::is_same_v<T, Sprite>) members = kSprite;
            else if constexpr (std::is_same_v<T, Label>) members = kLabel;
            else if constexpr (std::is_same_v<T, Image>) members = kImage;
            else if constexpr (std::is_same_v<T, Line>) members = kLine;
            else if constexpr (std::is_same_v<T, Star>) members = kStar;
            else if constexpr (std::is_same_v<T, Timer>) members = kTimer;
            else members = kForm;
            for (const Member<T>& m : members)
                if (const std::optional<FieldRef> ref = refTo(*element, m)) f(m.name, *ref, m.use == Member<T>::Value);
        },
        e.ptr);
}

template <class F>
void forEachStateValue(GameState& st, F&& f) {
    for (const Member<GameState>& m : kState) f(m.name, *refTo(st, m), m.use == Member<GameState>::Machine);
}

std::string formatField(const FieldRef& ref) {
    struct Visitor {
        std::string operator()(float* v) const { return base::formatFloat(*v); }
        std::string operator()(bool* v) const { return *v ? "true" : "false"; }
        std::string operator()(std::string* v) const { return *v; }
        std::string operator()(uint32_t* v) const { return base::formatColor(*v); }
        std::string operator()(int64_t* v) const { return std::to_string(*v); }
        std::string operator()(int32_t* v) const { return std::to_string(*v); }
        std::string operator()(const Picture** v) const { return *v ? std::string((*v)->name) : "none"; }
    };
    return std::visit(Visitor{}, ref);
}
}  // namespace

std::span<const Member<Sprite>> spriteMembers() { return kSprite; }
std::span<const Member<Label>> labelMembers() { return kLabel; }
std::span<const Member<Image>> imageMembers() { return kImage; }
std::span<const Member<Line>> lineMembers() { return kLine; }
std::span<const Member<Star>> starMembers() { return kStar; }
std::span<const Member<Timer>> timerMembers() { return kTimer; }
std::span<const Member<Form>> formMembers() { return kForm; }
std::span<const Member<GameState>> stateMembers() { return kState; }

// ---- Targets ---------------------------------------------------------------

bool findTarget(Game& g, std::string_view text, Target& t, std::string& error) {
    t = Target{};
    t.name = std::string(text);
    if (text == "clock") {
        t.field = &g.clock;
        t.settable = false;
        t.clock = true;
        return true;
    }
    const size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == text.size()) {
        error = "target " + base::quote(text) + " is not ELEMENT.PROPERTY, state.FIELD or clock";
        return false;
    }
    const std::string_view owner = text.substr(0, dot);
    const std::string_view prop = text.substr(dot + 1);
    bool found = false;
    auto match = [&](std::string_view name, const FieldRef& ref, bool settable) {
        if (found || name != prop) return;
        t.field = ref;
        t.settable = settable;
        found = true;
    };
    if (owner == "state") {
        forEachStateValue(g.state, [&](std::string_view name, const FieldRef& ref, bool) { match(name, ref, true); });
        if (!found) error = "unknown state field " + base::quote(prop);
        return found;
    }
    t.element = findElement(g.scene, owner);
    if (!t.element) {
        error = "unknown element " + base::quote(owner);
        return false;
    }
    forEachValue(*t.element, match);
    if (!found) error = "element " + base::quote(owner) + " has no property " + base::quote(prop);
    return found;
}

std::string readTarget(const Game&, const Target& t) { return formatField(t.field); }

namespace {
// Writes a value as set does. Each is parsed whole before it is written, so a
// malformed line changes nothing.
struct ValueWriter {
    Game& g;
    const Target& t;
    std::string_view value;
    std::string& error;
    bool fail(const char* what) const {
        error = base::quote(value) + " is not " + what;
        return false;
    }
    template <class T>
    bool store(T* v, bool (*parse)(std::string_view, T&), const char* what) const {
        T n{};
        if (!parse(value, n)) return fail(what);
        *v = n;
        return true;
    }
    bool operator()(float* v) const { return store(v, base::parseFloat, "a finite number"); }
    bool operator()(bool* v) const {
        if (value != "true" && value != "false") return fail("true or false");
        *v = value == "true";
        return true;
    }
    bool operator()(std::string* v) const {
        *v = std::string(value);
        return true;
    }
    bool operator()(uint32_t* v) const { return store(v, base::parseColor, "a colour (0x00BBGGRR)"); }
    bool operator()(int32_t* v) const { return store(v, base::parseInteger<int32_t>, "a 32-bit whole number"); }
    bool operator()(int64_t* v) const { return store(v, base::parseInteger<int64_t>, "a 64-bit whole number"); }
    // A picture is copied from another element; an auto-sized sprite takes its size.
    bool operator()(const Picture**) const {
        const std::optional<ElementRef> from = findElement(g.scene, value);
        const Picture* pic = nullptr;
        if (from && from->kind() == Kind::Sprite) pic = std::get<Sprite*>(from->ptr)->picture;
        else if (from && from->kind() == Kind::Image) pic = std::get<Image*>(from->ptr)->picture;
        else return fail("an element with a picture");
        setPicture(*std::get<Sprite*>(t.element->ptr), pic);
        return true;
    }
};
}  // namespace

bool writeTarget(Game& g, const Target& t, std::string_view value, std::string& error) {
    if (!t.settable) {
        error = base::quote(t.name) + " can only be read";
        return false;
    }
    const ValueWriter writer{g, t, value, error};
    // Timers keep their side effects when a script writes them.
    if (t.element && t.element->kind() == Kind::Timer) {
        Timer& timer = *std::get<Timer*>(t.element->ptr);
        if (std::holds_alternative<bool*>(t.field)) {
            if (value != "true" && value != "false") return writer.fail("true or false");
            setEnabled(g, timer, value == "true");
        } else {
            int interval = 0;
            if (!base::parseInteger(value, interval) || interval < 0) return writer.fail("an interval in ms (0 or more)");
            setInterval(g, timer, interval);
        }
        return true;
    }
    return std::visit(writer, t.field);
}

// ---- Every value -------------------------------------------------------------

Values::Values(Game& g) {
    for (const ElementRef& e : catalogue(g.scene)) {
        const std::string name = e.name() + ".";
        forEachValue(e, [&](std::string_view prop, const FieldRef& ref, bool) {
            entries_.push_back({name + std::string(prop) + "=", ref, true});
        });
    }
    forEachStateValue(g.state, [&](std::string_view field, const FieldRef& ref, bool machine) {
        entries_.push_back({"state." + std::string(field) + "=", ref, !machine});
    });
    entries_.push_back({"clock=", &g.clock, true});
    struct Sorter {
        Values& v;
        void operator()(float* p) const { v.floats_.push_back(p); }
        void operator()(bool* p) const { v.flags_.push_back(p); }
        void operator()(std::string* p) const { v.texts_.push_back(p); }
        void operator()(uint32_t* p) const { v.words_.push_back(p); }
        void operator()(int32_t* p) const { v.words_.push_back(reinterpret_cast<const uint32_t*>(p)); }
        void operator()(int64_t* p) const { v.counters_.push_back(p); }
        void operator()(const Picture** p) const { v.pictures_.push_back(p); }
    };
    for (const Entry& e : entries_)
        if (e.hashed) std::visit(Sorter{*this}, e.field);
}

void Values::dump(std::ostream& out) const {
    for (const Entry& e : entries_) out << e.prefix << formatField(e.field) << '\n';
}

namespace {
void fnv(uint64_t& h, std::string_view bytes) {
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
}
}  // namespace

uint64_t Values::hash() const {
    uint64_t h = kDigestBasis;
    for (const Entry& e : entries_) {
        if (!e.hashed) continue;
        fnv(h, e.prefix);
        fnv(h, formatField(e.field));
        fnv(h, "\n");
    }
    return h;
}


namespace {
// A text as its length, then its bytes eight to a word, little-endian.
void addText(std::vector<uint64_t>& words, std::string_view text) {
    static_assert(std::endian::native == std::endian::little, "words are read little-endian");
    words.push_back(text.size());
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        words.push_back(word);
    }
    if (i == text.size()) return;
    uint64_t tail = 0;
    for (size_t k = 0; i + k < text.size(); ++k) tail |= uint64_t{static_cast<unsigned char>(text[i + k])} << (8 * k);
    words.push_back(tail);
}
}  // namespace

uint64_t Values::digest() const {
    // The values as 64-bit words: floats and 32-bit numbers two to a word,
    // flags 64 to a word, counters one each, texts and pictures' names as texts.
    std::vector<uint64_t>& w = words_read_;
    w.clear();
    for (size_t i = 0; i < floats_.size(); i += 2) {
        uint32_t low, high = 0;
        std::memcpy(&low, floats_[i], sizeof low);
        if (i + 1 < floats_.size()) std::memcpy(&high, floats_[i + 1], sizeof high);
        w.push_back(uint64_t{high} << 32 | low);
    }
    for (size_t i = 0; i < words_.size(); i += 2)
        w.push_back(uint64_t{i + 1 < words_.size() ? *words_[i + 1] : 0} << 32 | *words_[i]);
    for (size_t i = 0; i < flags_.size(); i += 64) {
        uint64_t bits = 0;
        for (size_t k = 0; k < 64 && i + k < flags_.size(); ++k) bits |= uint64_t{*flags_[i + k]} << k;
        w.push_back(bits);
    }
    for (const int64_t* c : counters_) w.push_back(static_cast<uint64_t>(*c));
    for (const std::string* t : texts_) addText(w, *t);
    for (const Picture* const* p : pictures_) addText(w, *p ? (*p)->name : "none");
    // Four lanes take every fourth word; the folds of one lane wait for each
    // other, those of different lanes do not. Then the lanes into one.
    uint64_t lane[4] = {kDigestBasis, kDigestBasis + 1, kDigestBasis + 2, kDigestBasis + 3};
    size_t i = 0;
    for (; i + 4 <= w.size(); i += 4)
        for (int k = 0; k < 4; ++k) foldDigest(lane[k], w[i + k]);
    for (; i < w.size(); ++i) foldDigest(lane[0], w[i]);
    uint64_t h = kDigestBasis;
    for (const uint64_t l : lane) foldDigest(h, l);
    return h;
}

}  // namespace record
