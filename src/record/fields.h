// SPDX-License-Identifier: MIT
// The game's values by name: one table of every element property and every
// game-state field, read by `get`, `set`, `dump`, `expect`, the state's hash
// and the checkpoints' digest alike. A member added to an element or to the
// game-state record must be named here, as a value or as kept out (the
// field-table test counts the members).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/digest.h"
#include "scene/game.h"

namespace record {

// Where a value lives in one game.
using FieldRef = std::variant<float*, bool*, std::string*, uint32_t*, int32_t*, int64_t*, const hvezda::Picture**>;

// A member of an element or of the game-state record, as the table names it.
template <class T>
struct Member {
    using Pointer = std::variant<float T::*, bool T::*, std::string T::*, uint32_t T::*, int32_t T::*,
                                 int64_t T::*, const hvezda::Picture* T::*, hvezda::Font T::*>;
    enum Use {
        Value,     // read and written by name
        ReadOnly,  // read by name; a script cannot write it
        Machine,   // read and written, but names the machine (the music player): not in the hash
        KeptOut,   // not a value of the protocol: fixed when the scene is built, or kept by the scheduler
    };
    std::string_view name;
    Pointer pointer;
    Use use = Value;
};

// The table, one list per kind of element and one for the record, each in the
// order dump prints them.
std::span<const Member<hvezda::Sprite>> spriteMembers();
std::span<const Member<hvezda::Label>> labelMembers();
std::span<const Member<hvezda::Image>> imageMembers();
std::span<const Member<hvezda::Line>> lineMembers();
std::span<const Member<hvezda::Star>> starMembers();
std::span<const Member<hvezda::Timer>> timerMembers();
std::span<const Member<hvezda::Form>> formMembers();
std::span<const Member<hvezda::GameState>> stateMembers();

// One value of one game, found by its name: `Picture1.Left`, `state.keyLeft`, `clock`.
struct Target {
    std::string name;
    FieldRef field{};
    std::optional<hvezda::ElementRef> element;  // whose property it is; none for state fields and the clock
    bool settable = true;
    bool clock = false;
};
// False, with `error` saying why, for a name that is no value of the game.
bool findTarget(hvezda::Game& g, std::string_view name, Target& t, std::string& error);
// The text `get` prints after the '='.
std::string readTarget(const hvezda::Game& g, const Target& t);
// What `set` does; false, with `error`, for a value the target cannot take.
// Timers and pictures keep their side effects when a script writes them.
bool writeTarget(hvezda::Game& g, const Target& t, std::string_view value, std::string& error);

// Every value of one game in dump order, looked up once: what dump prints and
// what the hash and the digest read after every step of a replay.
class Values {
public:
    explicit Values(hvezda::Game& g);
    // One `TARGET=VALUE` line each: every property of every element in
    // catalogue order, the state fields in the record's order, then `clock`.
    void dump(std::ostream& out) const;
    // The 64-bit FNV-1a hash of what dump prints, leaving out the two lines
    // that name the machine's music player (state.musicHandle and
    // state.musicPath), so that the window and the driver agree on it.
    uint64_t hash() const;
    // The same values as the hash, read as numbers rather than as text: a
    // fingerprint cheap enough to take after every step of a recording.
    uint64_t digest() const;

private:
    struct Entry {
        std::string prefix;  // "Picture1.Left="
        FieldRef field;
        bool hashed;
    };
    std::vector<Entry> entries_;
    // The hashed values again, by kind, for the digest.
    std::vector<const float*> floats_;
    std::vector<const bool*> flags_;
    std::vector<const uint32_t*> words_;  // colours; 32-bit numbers as their bits
    std::vector<const int64_t*> counters_;
    std::vector<const std::string*> texts_;
    std::vector<const hvezda::Picture* const*> pictures_;
    mutable std::vector<uint64_t> words_read_;  // the digest's words, kept to save allocations
};

using base::foldDigest;
using base::kDigestBasis;

}  // namespace record
