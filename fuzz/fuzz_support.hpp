#pragma once

// What the fuzz targets share besides the model (fuzz_scene.hpp): failing with a report,
// telling a value from a tally_error, filling a command's boxes, and comparing a whole
// settlement record and window with what was expected, naming every difference.

#include "fuzz_scene.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

[[noreturn]] inline void fail(const std::string &what)
{
    std::fprintf(stderr, "PROPERTY FAILED: %s\n", what.c_str());
    std::abort();
}

inline void check(bool ok, const std::string &what)
{
    if (!ok)
        fail(what);
}

// How a conversion or a command ended: a value, or a tally_error of some kind.
template <typename T>
struct result {
    std::optional<T> value;
    std::optional<pelmora::error_kind> error;
};

template <typename F>
auto attempt(F &&f) -> result<decltype(f())>
{
    try {
        return {f(), std::nullopt};
    } catch (const pelmora::tally_error &e) {
        return {std::nullopt, e.kind()};
    }
}

// A model and a record as earlier use of the window could have left them. The first piece of the
// input chooses them; an empty first piece is a freshly opened window.
inline void set_up(scene &sc, std::string_view setup)
{
    if (setup.empty())
        return;
    FuzzedDataProvider p(reinterpret_cast<const std::uint8_t *>(setup.data()), setup.size());
    set_up_from(sc, p);
}

// The input boxes of a command, filled from the pieces after the first; a box without a
// piece keeps its text (empty, or "12" for "nin").
inline void fill(scene &sc, const std::vector<std::string_view> &pieces,
                 std::initializer_list<field> boxes)
{
    std::size_t i = 1;
    for (field f : boxes) {
        if (i < pieces.size())
            sc.w.set_text(f, decode(pieces[i]));
        ++i;
    }
}

// Fails naming every field of the record, every box and every message that differs.
inline void compare(const scene &actual, const scene &expected, const std::string &context)
{
    std::string diff;
    for (const auto &[name, m] : int32_members())
        if (actual.s.*m != expected.s.*m)
            diff += std::string(name) + " is " + std::to_string(actual.s.*m) + ", expected "
                    + std::to_string(expected.s.*m) + "\n";
    for (const auto &[name, m] : int16_members())
        if (actual.s.*m != expected.s.*m)
            diff += std::string(name) + " is " + std::to_string(actual.s.*m) + ", expected "
                    + std::to_string(expected.s.*m) + "\n";
    for (const auto &[name, m] : text_members())
        if (actual.s.*m != expected.s.*m)
            diff += std::string(name) + " is '" + show(actual.s.*m) + "', expected '"
                    + show(expected.s.*m) + "'\n";
    for (field f : pelmora::all_fields)
        if (actual.w.text(f) != expected.w.text(f))
            diff += "box " + std::string(pelmora::field_name(f)) + " is '" + show(actual.w.text(f))
                    + "', expected '" + show(expected.w.text(f)) + "'\n";
    if (actual.w.messages != expected.w.messages) {
        diff += "messages:";
        for (const auto &m : actual.w.messages)
            diff += " '" + show(m) + "'";
        diff += "; expected:";
        for (const auto &m : expected.w.messages)
            diff += " '" + show(m) + "'";
        diff += "\n";
    }
    if (actual.s != expected.s && diff.empty())
        diff = "the records differ in a field not listed here\n";
    if (!diff.empty())
        fail(context + "\n" + diff);
}

} // namespace fuzz
