// How long each command and each conversion takes on the longest text a user could paste:
// a megabyte in every input box. A command must stay far below one frame (16 ms).
//
// Three layers: the conversions alone, the commands on the window-less fields, and the same
// commands clicked on the real window (offscreen), where Qt's own work is counted too.
#include "main_window.hpp"
#include "memory_fields.hpp"
#include "numbers.hpp"
#include "tallies.hpp"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using namespace pelmora;

constexpr std::size_t megabyte = 1 << 20;

std::u16string repeated(std::u16string_view piece, std::u16string_view tail = {})
{
    std::u16string text;
    text.reserve(megabyte);
    while (text.size() + piece.size() + tail.size() <= megabyte)
        text += piece;
    text += tail;
    return text;
}

// What a user might paste: kinds of text that make the readers go all the way through it, or
// stop at once.
enum paste { digits, blanks_then_number, grouped, full_width, fraction, letters, paste_count };

const char *paste_name(int kind)
{
    static const char *names[] = {"digits",    "blanks then a number", "grouped digits",
                                  "full-width digits", "long fraction",        "letters"};
    return names[kind];
}

const std::u16string &pasted(int kind)
{
    static const std::u16string texts[] = {
        repeated(u"1234567890"),
        repeated(u" ", u"12"),
        repeated(u"123,", u"456"),
        repeated(u"\uFF11\uFF12\uFF13"),
        u"0." + repeated(u"0", u"5"),
        repeated(u"zeny"),
    };
    return texts[kind];
}

template <typename F>
void guarded(F &&f)
{
    try {
        benchmark::DoNotOptimize(f());
    } catch (const tally_error &) {
        // An overflow or an unreadable text is an answer too; its cost is what is measured.
    }
}

void conversions(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int which = static_cast<int>(state.range(1));
    const std::u16string &text = pasted(kind);
    for (auto _ : state) {
        switch (which) {
        case 0: guarded([&] { return read_number(text); }); break;
        case 1: guarded([&] { return to_long(read_number(text)); }); break;
        case 2: guarded([&] { return parse_double(text); }); break;
        case 3: guarded([&] { return parse_short(text); }); break;
        }
    }
    static const char *names[] = {"read_number", "to_long(read_number)", "parse_double",
                                  "parse_short"};
    state.SetLabel(std::string(names[which]) + " of 1 MB " + paste_name(kind));
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size() * sizeof(char16_t)));
}

void formatting(benchmark::State &state)
{
    const std::int32_t value = std::numeric_limits<std::int32_t>::min();
    for (auto _ : state) {
        benchmark::DoNotOptimize(format_amount(value, money_pattern));
        benchmark::DoNotOptimize(format_amount(value, count_pattern));
        benchmark::DoNotOptimize(int_to_text(value));
    }
    state.SetLabel("format_amount twice and int_to_text of -2147483648");
}

constexpr field input_boxes[] = {
    field::uri1,  field::uri2,  field::uri3,  field::uri4,  field::uri5,  field::uri6,
    field::uri7,  field::uri8,  field::uri9,  field::syu1,  field::syu2,  field::syu3,
    field::syu4,  field::card1, field::card2, field::card3, field::card4, field::card5,
    field::card6, field::card7, field::card8, field::nin,
};

enum command { leftover, sales, share, clear_all, copy, command_count };

const char *command_name(int c)
{
    static const char *names[] = {"決定1", "決定2", "決定3", "全てクリア", "ｺﾋﾟｰ"};
    return names[c];
}

void fill(memory_fields &w, const std::u16string &text)
{
    for (field f : input_boxes)
        w.set_text(f, text);
    w.set_text(field::nokori_txt, text);
}

// Each command on the window-less fields, every input box holding the pasted text.
void tallies(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int which = static_cast<int>(state.range(1));
    const std::u16string &text = pasted(kind);
    memory_fields w;
    tally_state s;
    s.uri_kei1 = 1'000'000; // as if "決定2" had run, so that "決定3" divides
    fill(w, text);
    for (auto _ : state) {
        switch (which) {
        case leftover: run_command(w, [&] { run_leftover_tally(w, s); }); break;
        case sales: run_command(w, [&] { run_sales_tally(w, s); }); break;
        case share: run_command(w, [&] { run_share_division(w, s); }); break;
        case clear_all:
            run_command(w, [&] { run_clear_all(w); });
            state.PauseTiming();
            fill(w, text);
            state.ResumeTiming();
            break;
        case copy: benchmark::DoNotOptimize(take_copy(w, s, field::nokori_txt)); break;
        }
        w.messages.clear();
    }
    state.SetLabel(std::string(command_name(which)) + " with 1 MB " + paste_name(kind)
                   + " in every box");
}

// The same commands clicked on the real window. Filling a box with a megabyte is Qt's work
// when the user pastes, and is left out of the timing.
void window(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int which = static_cast<int>(state.range(1));
    const QString text = QString::fromStdU16String(pasted(kind));
    MainWindow win([](const QString &) {});
    win.show();
    auto refill = [&] {
        for (field f : input_boxes)
            win.findChild<QLineEdit *>(QString::fromLatin1(field_name(f)))->setText(text);
        win.findChild<QLineEdit *>(QStringLiteral("nokori_txt"))->setText(text);
    };
    refill();
    QCoreApplication::processEvents();
    auto click = [&](const char *name) {
        win.findChild<QPushButton *>(QLatin1StringView(name))->click();
    };
    // "決定3" needs the totals of a "決定2" that went through.
    win.findChild<QLineEdit *>(QStringLiteral("uri1"))->setText(QStringLiteral("1000"));
    click("uri_kei_btn");
    win.findChild<QLineEdit *>(QStringLiteral("uri1"))->setText(text);
    QAction *clear = win.findChild<QAction *>(QStringLiteral("edit_clear"));
    for (auto _ : state) {
        switch (which) {
        case leftover: click("nokori_btn"); break;
        case sales: click("uri_kei_btn"); break;
        case share: click("bun_btn"); break;
        case clear_all:
            clear->trigger();
            state.PauseTiming();
            refill();
            state.ResumeTiming();
            break;
        case copy: click("copy1"); break;
        }
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::string("window ") + command_name(which) + " with 1 MB "
                   + paste_name(kind) + " in every box");
}

void register_all()
{
    for (int kind = 0; kind < paste_count; ++kind)
        for (int which = 0; which < 4; ++which)
            benchmark::RegisterBenchmark("conversion", conversions)
                ->Args({kind, which})
                ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("formatting", formatting);
    for (int kind = 0; kind < paste_count; ++kind)
        for (int which = 0; which < command_count; ++which)
            benchmark::RegisterBenchmark("command", tallies)
                ->Args({kind, which})
                ->Unit(benchmark::kMillisecond);
    for (int kind = 0; kind < paste_count; ++kind)
        for (int which = 0; which < command_count; ++which) {
            auto *b = benchmark::RegisterBenchmark("window", window)
                          ->Args({kind, which})
                          ->Unit(benchmark::kMillisecond);
            if (which == clear_all)
                b->Iterations(5); // each round refills 22 boxes with a megabyte
        }
}

} // namespace

int main(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    register_all();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
