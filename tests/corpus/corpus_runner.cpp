// One corpus of command scripts run through the core and the tallies on the window-less model,
// with every field printed after every command, so that two builds of them (Linux, and Windows
// under Wine) can be compared byte for byte: the number reading and rounding go through each
// platform's C++ library.
//
//   corpus_runner [-o FILE] ROOT
//       the shared corpus of the source tree ROOT: the scripts ROOT/tests/corpus/*.corpus, the
//       fuzz seeds under ROOT/fuzz/corpus and the generated cases of the fixed seed
//   corpus_runner [-o FILE] [SCRIPT | --fuzz DIR | --generate SEED COUNT]...
//       the parts given, in that order
//
// A script holds one command a line; lines starting with "#" and empty lines are skipped.
//   case NAME           a new case: a freshly opened window and a zeroed record
//   set BOX TEXT        what a box holds (its control name: uri1, nin, bun_txt, ...)
//   orc 0|1|2           the check box: unchecked, checked, greyed
//   state MEMBER VALUE  a member of the settlement record as an earlier run left it
//   press CONTROL       a button or a menu command as the window binds it (nokori_btn, copy6,
//                       edit_clear, ...); then every box, every member of the record, the
//                       messages shown and the focus moves asked for are printed
//   read TEXT           every number conversion of TEXT, and the formats of what it rounds to
// TEXT runs to the end of the line. "\\" stands for a backslash and "\uXXXX" for any UTF-16 code
// unit: the ideographic space, full-width digits, lone surrogates, a blank at the line's end.
// The output uses the same escapes, so it is ASCII. Exit code 1 on a script it cannot read.

#include "form.hpp"
#include "fuzz_scene.hpp"
#include "press.hpp"
#include "tallies.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace pelmora;
namespace fs = std::filesystem;

namespace {

// The corpus the builds are compared on: the seed and number of generated cases.
constexpr std::uint64_t corpus_seed = 20260611;
constexpr int corpus_generated = 3000;

struct bad_script : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---- Texts --------------------------------------------------------------------------------

std::string escaped(std::u16string_view s)
{
    std::string out;
    for (const char16_t c : s) {
        if (c == u'\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out.push_back(hex[(c >> shift) & 0xF]);
        }
    }
    return out;
}

std::u16string unescaped(std::string_view s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80)
            throw bad_script("a byte outside ASCII; write \\uXXXX");
        if (c != '\\') {
            out.push_back(c);
        } else if (i + 1 < s.size() && s[i + 1] == '\\') {
            out.push_back(u'\\');
            ++i;
        } else if (i + 5 < s.size() && s[i + 1] == 'u') {
            unsigned unit = 0;
            const auto [end, ec] = std::from_chars(s.data() + i + 2, s.data() + i + 6, unit, 16);
            if (ec != std::errc() || end != s.data() + i + 6)
                throw bad_script("a \\u escape without four hex digits");
            out.push_back(static_cast<char16_t>(unit));
            i += 5;
        } else {
            throw bad_script("a backslash that is neither \\\\ nor \\uXXXX");
        }
    }
    return out;
}

std::u16string ascii(std::string_view s)
{
    return {s.begin(), s.end()};
}

// A double's bits: exact, and written the same by every C library.
std::string bits(double d)
{
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(u));
    return buf;
}

// ---- Running scripts ----------------------------------------------------------------------

class runner {
public:
    explicit runner(std::FILE *out) : m_out(out) {}
    ~runner() { flush(); }

    void run(const std::string &where, const std::vector<std::string> &lines)
    {
        start_case(where);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            try {
                step(lines[i]);
            } catch (const bad_script &e) {
                throw bad_script(where + ", line " + std::to_string(i + 1) + ": " + e.what());
            }
        }
        flush();
    }

private:
    // The clipboard of a script: a copy prints what it was given, and is always taken.
    class printing_clipboard final : public front_end {
    public:
        explicit printing_clipboard(runner &r) : m_runner(r) {}
        bool put_on_clipboard(std::u16string_view text) override
        {
            m_runner.print("copied " + escaped(text));
            return true;
        }
        void end_program() override {}
        void show_usage() override {}

    private:
        runner &m_runner;
    };

    void print(std::string_view s)
    {
        m_buffer += s;
        m_buffer.push_back('\n');
        if (m_buffer.size() > (1 << 20))
            flush();
    }

    void flush()
    {
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out);
        m_buffer.clear();
    }

    void start_case(const std::string &name)
    {
        m_scene = std::make_unique<fuzz::scene>();
        print("case " + name);
    }

    void step(const std::string &line)
    {
        if (line.empty() || line[0] == '#')
            return;
        const auto space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        const auto space2 = rest.find(' ');
        const std::string name = rest.substr(0, space2);
        const std::string value = space2 == std::string::npos ? "" : rest.substr(space2 + 1);
        auto &w = m_scene->w;

        if (verb == "case") {
            start_case(rest);
        } else if (verb == "set") {
            const auto f = field_by_name(name);
            if (!f)
                throw bad_script("no box " + name);
            w.set_text(*f, unescaped(value));
        } else if (verb == "orc") {
            if (rest != "0" && rest != "1" && rest != "2")
                throw bad_script("orc takes 0, 1 or 2");
            w.set_orc_check(rest[0] - '0');
        } else if (verb == "state") {
            set_member(name, value);
        } else if (verb == "press") {
            print("> " + line);
            press(name);
            print_fields();
        } else if (verb == "read") {
            print("> " + line);
            read(unescaped(rest));
        } else {
            throw bad_script("unknown command " + verb);
        }
    }

    void set_member(const std::string &name, const std::string &value)
    {
        auto &s = m_scene->s;
        auto number = [&] {
            long long v = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
            if (ec != std::errc() || end != value.data() + value.size())
                throw bad_script("not an integer: " + value);
            return v;
        };
        for (const auto &[n, m] : fuzz::int32_members())
            if (name == n)
                return void(s.*m = static_cast<std::int32_t>(number()));
        for (const auto &[n, m] : fuzz::int16_members())
            if (name == n)
                return void(s.*m = static_cast<std::int16_t>(number()));
        for (const auto &[n, m] : fuzz::text_members())
            if (name == n)
                return void(s.*m = unescaped(value));
        throw bad_script("no member " + name);
    }

    // The command a button or menu command is bound to, run as the windows run it.
    void press(const std::string &control)
    {
        const binding_row *b = binding_of(control);
        if (!b || b->does == command::end_program || b->does == command::show_usage)
            throw bad_script(control + " is no command of the model");
        printing_clipboard clipboard(*this);
        print(pelmora::press(*b, {m_scene->w, m_scene->s, clipboard}) ? "completed" : "stopped");
    }

    void print_fields()
    {
        auto &w = m_scene->w;
        const auto &s = m_scene->s;
        for (const auto &m : w.messages)
            print("message " + escaped(m));
        w.messages.clear();
        for (const field f : w.focus_requests)
            print("focus " + std::string(field_name(f)));
        w.focus_requests.clear();
        for (const field f : all_fields)
            print("box " + std::string(field_name(f)) + " " + escaped(w.text(f)));
        std::string numbers = "record";
        for (const auto &[n, m] : fuzz::int32_members())
            numbers += " " + std::to_string(s.*m);
        for (const auto &[n, m] : fuzz::int16_members())
            numbers += " " + std::to_string(s.*m);
        print(numbers);
        for (const auto &[n, m] : fuzz::text_members())
            print(std::string(n) + " " + escaped(s.*m));
    }

    // A value, or the number of the tally_error raised instead.
    template <typename F>
    static std::string outcome(F &&f)
    {
        try {
            return f();
        } catch (const tally_error &e) {
            return "error " + std::to_string(e.number());
        }
    }

    void read(const std::u16string &text)
    {
        const double value = read_number(text);
        print("read_number " + bits(value));
        print("to_long " + outcome([&] {
                  const std::int32_t n = to_long(value);
                  return std::to_string(n) + " " + escaped(format_amount(n, money_pattern)) + " "
                         + escaped(int_to_text(n));
              }));
        print("to_short " + outcome([&] { return std::to_string(to_short(value)); }));
        print("parse_double " + outcome([&] { return bits(parse_double(text)); }));
        print("parse_short " + outcome([&] { return std::to_string(parse_short(text)); }));
    }

    std::FILE *m_out;
    std::string m_buffer;
    std::unique_ptr<fuzz::scene> m_scene;
};

// ---- Scripts from files, from fuzz seeds, from a seed -------------------------------------

std::string read_file(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw bad_script("cannot read " + path.generic_string());
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The bytes of a fuzz input's setup piece, handed out as FuzzedDataProvider hands them out:
// integers from the end, booleans from the lowest bit of a byte.
class bytes_from_end {
public:
    explicit bytes_from_end(std::string_view bytes) : m_bytes(bytes) {}

    template <typename T>
    T ConsumeIntegralInRange(T min, T max)
    {
        const std::uint64_t range = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        std::uint64_t result = 0;
        std::size_t offset = 0;
        while (offset < sizeof(T) * 8 && (range >> offset) > 0 && !m_bytes.empty()) {
            result = (result << 8) | static_cast<unsigned char>(m_bytes.back());
            m_bytes.remove_suffix(1);
            offset += 8;
        }
        if (range != std::numeric_limits<std::uint64_t>::max())
            result %= range + 1;
        return static_cast<T>(static_cast<std::uint64_t>(min) + result);
    }
    template <typename T>
    T ConsumeIntegral()
    {
        return ConsumeIntegralInRange(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }
    bool ConsumeBool() { return 1 & ConsumeIntegral<std::uint8_t>(); }

private:
    std::string_view m_bytes;
};

// Script lines that set up the window and the record as a fuzz setup piece does.
void add_setup(std::vector<std::string> &lines, std::string_view setup)
{
    if (setup.empty())
        return;
    fuzz::scene sc;
    bytes_from_end p(setup);
    fuzz::set_up_from(sc, p);
    const fuzz::scene fresh;
    lines.push_back("orc " + std::to_string(sc.w.orc_check()));
    for (const auto &[n, m] : fuzz::int32_members())
        if (sc.s.*m != 0)
            lines.push_back("state " + std::string(n) + " " + std::to_string(sc.s.*m));
    for (const auto &[n, m] : fuzz::int16_members())
        if (sc.s.*m != 0)
            lines.push_back("state " + std::string(n) + " " + std::to_string(sc.s.*m));
    for (const auto &[n, m] : fuzz::text_members())
        if (!(sc.s.*m).empty())
            lines.push_back("state " + std::string(n) + " " + escaped(sc.s.*m));
    for (const field f : all_fields)
        if (sc.w.text(f) != fresh.w.text(f))
            lines.push_back("set " + std::string(field_name(f)) + " " + escaped(sc.w.text(f)));
}

// A number text through every command that reads one, and through the conversions alone.
void add_number_steps(std::vector<std::string> &lines, std::u16string_view text)
{
    const std::string t = escaped(text);
    for (const std::string &line : std::vector<std::string>{"read " + t, "set syu1 " + t, "set card1 " + t, "press nokori_btn", "set uri1 " + t,
         "set uri6 " + t, "press uri_kei_btn", "set nin " + t, "press bun_btn"})
        lines.push_back(line);
}

// The fuzz targets' seeds: DIR/<target>/<files>, each target's input format.
void run_fuzz_seeds(runner &r, const fs::path &dir)
{
    struct target {
        const char *name;
        std::vector<const char *> boxes;
        const char *button;
    };
    const target targets[] = {
        {"leftover", {"syu1", "syu2", "syu3", "syu4", "card1", "card2", "card3", "card4", "card5",
                      "card6", "card7", "card8"}, "nokori_btn"},
        {"parse", {}, nullptr},
        {"read_number", {}, nullptr},
        {"sales", {"uri1", "uri2", "uri3", "uri4", "uri5", "uri6", "uri7", "uri8", "uri9"}, "uri_kei_btn"},
        {"share", {"nin"}, "bun_btn"},
    };
    for (const target &t : targets) {
        std::vector<fs::path> files;
        for (const auto &entry : fs::directory_iterator(dir / t.name))
            files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path &file : files) {
            const std::string bytes = read_file(file);
            std::vector<std::string> lines;
            if (!t.button) {
                add_number_steps(lines, fuzz::decode(bytes));
            } else {
                const auto pieces = fuzz::split(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
                add_setup(lines, pieces[0]);
                for (std::size_t i = 0; i < t.boxes.size() && i + 1 < pieces.size(); ++i)
                    lines.push_back("set " + std::string(t.boxes[i]) + " " + escaped(fuzz::decode(pieces[i + 1])));
                lines.push_back("press " + std::string(t.button));
            }
            r.run("fuzz " + std::string(t.name) + "/" + file.filename().generic_string(), lines);
        }
    }
}

// splitmix64: a generator of our own, since the standard distributions differ between
// standard libraries and every platform must see the same cases.
class random_source {
public:
    explicit random_source(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    long long between(long long lo, long long hi)
    {
        return lo + static_cast<long long>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool one_in(int n) { return below(n) == 0; }

    std::string digits(int count)
    {
        std::string s;
        for (int i = 0; i < count; ++i)
            s.push_back(static_cast<char>('0' + below(10)));
        return s;
    }

private:
    std::uint64_t m_state;
};

// A text a user could type or paste into a number box, weighted toward what is hard to read
// and to round the same way everywhere: ties, the edges of both integer widths, long and huge
// numbers, exponents, grouping, full-width forms and stray code units. Every draw is a
// statement of its own: the order in which the operands of one expression are evaluated
// differs between compilers, and every platform must draw in the same order.
std::u16string number_text(random_source &r)
{
    static const char *const fractions[] = {"", ".5", ".4999999999", ".5000000001", ".49999999999999999999",
                                            ".50000000000000000001", ".25", ".75"};
    static const long long edges[] = {2147483647LL, -2147483648LL, 32767, -32768, 0, 1, -1};
    static const char *const junk[] = {"", ".", "-", "+", "abc", "&H10", "e5", "1e", "1e+", ",5", "1,",
                                       "- 5", "1.2.3", "12abc", "0x10", "1d2", "NaN", "inf"};
    std::string s;
    switch (r.below(11)) {
    case 0: s = std::to_string(r.between(-1000, 100000)); break;
    case 1: {
        const long long edge = edges[r.below(7)];
        s = std::to_string(edge + r.between(-3, 3));
        s += fractions[r.below(8)];
        break;
    }
    case 2: s = std::to_string(r.between(-40000, 40000)) + ".5"; break;
    case 3:
        s = r.digits(r.below(12) + 1);
        s += "." + r.digits(r.below(25) + 1);
        break;
    case 4: // long: beyond what a double holds exactly
        s = r.digits(r.below(380) + 20);
        if (r.one_in(2))
            s += "." + r.digits(r.below(40) + 1);
        break;
    case 5: // huge, rarely, since every later step prints it again
        if (!r.one_in(4)) {
            s = "9007199254740993" + std::string(r.below(30), '0');
            if (r.one_in(2))
                s += "1";
        } else if (r.one_in(2)) {
            s = std::string(r.below(2000) + 800, '9');
        } else {
            s = "0." + std::string(r.below(2000) + 800, '0');
            s += r.digits(3);
        }
        break;
    case 6: {
        static const char marks[] = "eEdD";
        s = std::to_string(r.between(-99, 99));
        if (r.one_in(3))
            s += "." + r.digits(r.below(6) + 1);
        s += marks[r.below(4)];
        if (r.one_in(2))
            s += "-";
        else if (r.one_in(2))
            s += "+";
        s += std::to_string(r.one_in(5) ? r.between(300, 99999) : r.between(0, 12));
        break;
    }
    case 7: { // grouped in threes, or with commas anywhere
        const std::string d = std::to_string(r.between(1000, 2147483647));
        for (std::size_t i = 0; i < d.size(); ++i) {
            if (i > 0 && (r.one_in(5) ? r.one_in(2) : (d.size() - i) % 3 == 0))
                s.push_back(',');
            s.push_back(d[i]);
        }
        if (r.one_in(3))
            s = "-" + s;
        break;
    }
    case 8: s = junk[r.below(static_cast<int>(std::size(junk)))]; break;
    default:
        s = std::to_string(r.between(-2147483648LL, 2147483647LL));
        s += fractions[r.below(8)];
        break;
    }

    std::u16string text = ascii(s);
    if (r.one_in(4)) // the input method left on: full-width forms
        for (char16_t &c : text)
            if (c > 0x20 && c < 0x7F && r.one_in(2))
                c = static_cast<char16_t>(c + 0xFEE0);
    if (r.one_in(5)) { // blanks, ideographic or not, anywhere
        const auto at = static_cast<std::size_t>(r.below(static_cast<int>(text.size()) + 1));
        text.insert(at, 1, r.one_in(2) ? char16_t(0x3000) : u' ');
    }
    if (r.one_in(8)) { // a stray code unit: a lone surrogate, a mark, another script's digit
        const auto at = static_cast<std::size_t>(r.below(static_cast<int>(text.size()) + 1));
        text.insert(at, 1, fuzz::odd_units[r.below(static_cast<int>(std::size(fuzz::odd_units)))]);
    }
    return text;
}

void run_generated(runner &r, std::uint64_t seed, int count)
{
    static const char *const inputs[] = {"syu1", "syu2", "syu3", "syu4", "card1", "card2", "card3",
                                         "card4", "card5", "card6", "card7", "card8", "uri1", "uri2",
                                         "uri3", "uri4", "uri5", "uri6", "uri7", "uri8", "uri9", "nin"};
    static const char *const buttons[] = {"nokori_btn", "uri_kei_btn", "bun_btn"};
    static const char *const others[] = {"copy1", "copy2", "copy3", "copy4", "copy5", "copy6", "edit_clear"};
    random_source rng(seed);
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> lines;
        if (rng.one_in(3)) { // an earlier run's leftovers, as the fuzz targets set them up
            std::string setup;
            for (int n = rng.below(48) + 1; n > 0; --n)
                setup.push_back(static_cast<char>(rng.below(256)));
            add_setup(lines, setup);
        }
        for (int steps = rng.below(8) + 1; steps > 0; --steps) {
            const int what = rng.below(20);
            if (what < 10) {
                const std::string box = inputs[rng.below(22)];
                lines.push_back("set " + box + " " + escaped(number_text(rng)));
            } else if (what < 11) {
                lines.push_back("orc " + std::to_string(rng.below(3)));
            } else if (what < 12) {
                lines.push_back("read " + escaped(number_text(rng)));
            } else if (what < 13) {
                lines.push_back("press " + std::string(others[rng.below(7)]));
            } else {
                lines.push_back("press " + std::string(buttons[rng.below(3)]));
            }
        }
        lines.push_back("press " + std::string(buttons[rng.below(3)]));
        r.run("generated " + std::to_string(seed) + "/" + std::to_string(i), lines);
    }
}

void run_script_file(runner &r, const fs::path &file)
{
    r.run(file.filename().generic_string(), lines_of(read_file(file)));
}

void run_shared_corpus(runner &r, const fs::path &root)
{
    std::vector<fs::path> scripts;
    for (const auto &entry : fs::directory_iterator(root / "tests" / "corpus"))
        if (entry.path().extension() == ".corpus")
            scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());
    if (scripts.empty())
        throw bad_script("no scripts under " + (root / "tests" / "corpus").generic_string());
    for (const fs::path &file : scripts)
        run_script_file(r, file);
    run_fuzz_seeds(r, root / "fuzz" / "corpus");
    run_generated(r, corpus_seed, corpus_generated);
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::FILE *out = stdout;
    if (args.size() >= 2 && args[0] == "-o") {
        out = std::fopen(args[1].c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "corpus_runner: cannot write %s\n", args[1].c_str());
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
#ifdef _WIN32
    else {
        _setmode(_fileno(stdout), _O_BINARY); // "\n", not "\r\n": the outputs are compared
    }
#endif
    if (args.empty()) {
        std::fprintf(stderr, "usage: corpus_runner [-o FILE] ROOT\n"
                             "       corpus_runner [-o FILE] [SCRIPT | --fuzz DIR | --generate SEED COUNT]...\n");
        return 2;
    }
    try {
        runner r(out);
        if (args.size() == 1 && fs::is_directory(args[0])) {
            run_shared_corpus(r, args[0]);
        } else {
            for (std::size_t i = 0; i < args.size(); ++i) {
                if (args[i] == "--fuzz" && i + 1 < args.size()) {
                    run_fuzz_seeds(r, args[++i]);
                } else if (args[i] == "--generate" && i + 2 < args.size()) {
                    run_generated(r, std::stoull(args[i + 1]), std::stoi(args[i + 2]));
                    i += 2;
                } else {
                    run_script_file(r, args[i]);
                }
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "corpus_runner: %s\n", e.what());
        return 1;
    }
    if (out != stdout)
        std::fclose(out);
    return 0;
}
