// How long each command and each conversion takes on the longest text a user could paste:
// a megabyte in every input box. A command must stay far below one frame (16 ms).
//
// Three layers: the conversions alone, the commands on the window-less fields, and the same
// commands clicked on the real window (offscreen), where Qt's own work is counted too.
#include "main_window.hpp"
#include "memory_fields.hpp"
#include "numbers.hpp"
#include "press.hpp"
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

// The box a command reads first, for a paste into one box only.
field first_box(int which)
{
    switch (which) {
    case leftover: return field::syu1;
    case sales: return field::uri1;
    case share: return field::nin;
    case copy: return field::nokori_txt;
    }
    return field::uri1;
}

void fill(memory_fields &w, const std::u16string &text, int which, bool every_box)
{
    if (!every_box) {
        w.set_text(first_box(which), text);
        return;
    }
    for (field f : input_boxes)
        w.set_text(f, text);
    w.set_text(field::nokori_txt, text);
}

// Each command on the window-less fields, with the pasted text in the box it reads first or
// in every input box.
void tallies(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int which = static_cast<int>(state.range(1));
    const bool every_box = state.range(2) != 0;
    const std::u16string &text = pasted(kind);
    memory_fields w;
    tally_state s;
    s.uri_kei1 = 1'000'000; // as if "決定2" had run, so that "決定3" divides
    fill(w, text, which, every_box);
    for (auto _ : state) {
        switch (which) {
        case leftover: run_command(w, [&] { run_leftover_tally(w, s); }); break;
        case sales: run_command(w, [&] { run_sales_tally(w, s); }); break;
        case share: run_command(w, [&] { run_share_division(w, s); }); break;
        case clear_all:
            run_command(w, [&] { run_clear_all(w); });
            state.PauseTiming();
            fill(w, text, which, every_box);
            state.ResumeTiming();
            break;
        case copy: benchmark::DoNotOptimize(take_copy(w, s, field::nokori_txt)); break;
        }
        w.messages.clear();
    }
    state.SetLabel(std::string(command_name(which)) + " with 1 MB " + paste_name(kind)
                   + (every_box ? " in every box" : " in one box"));
}

// Lets the window handle everything pending, painting included.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The same commands clicked on the real window, with the repaint they cause. Filling a box
// with a megabyte is Qt's own work when the user pastes; it is timed on its own ("paste")
// and left out of the commands' timing.
void window(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int which = static_cast<int>(state.range(1));
    const QString text = QString::fromStdU16String(pasted(kind));
    MainWindow win([](const QString &) {});
    win.show();
    auto box = [&](const char *name) { return win.findChild<QLineEdit *>(QLatin1StringView(name)); };
    auto refill = [&] {
        for (field f : input_boxes)
            box(field_name(f).data())->setText(text);
        box("nokori_txt")->setText(text);
        settle();
    };
    auto click = [&](const char *name) {
        win.findChild<QPushButton *>(QLatin1StringView(name))->click();
    };
    // "決定3" divides the totals of a "決定2" that went through.
    box("uri1")->setText(QStringLiteral("1000"));
    click("uri_kei_btn");
    refill();
    QAction *clear = win.findChild<QAction *>(QStringLiteral("edit_clear"));
    auto run = [&] {
        switch (which) {
        case leftover: click("nokori_btn"); break;
        case sales: click("uri_kei_btn"); break;
        case share: click("bun_btn"); break;
        case clear_all: clear->trigger(); break;
        case copy: click("copy1"); break;
        }
        settle();
    };
    run(); // the first run pays for glyphs and layouts that every later one reuses
    if (which == clear_all)
        refill();
    for (auto _ : state) {
        run();
        if (which == clear_all) {
            state.PauseTiming();
            refill();
            state.ResumeTiming();
        }
    }
    state.SetLabel(std::string("window ") + command_name(which) + " with 1 MB "
                   + paste_name(kind) + " in every box");
}

// What Qt itself takes to accept a megabyte pasted into one box and show it.
void paste(benchmark::State &state)
{
    const QString text = QString::fromStdU16String(pasted(static_cast<int>(state.range(0))));
    MainWindow win([](const QString &) {});
    win.show();
    settle();
    QLineEdit *uri1 = win.findChild<QLineEdit *>(QStringLiteral("uri1"));
    for (auto _ : state) {
        uri1->setText(text);
        settle();
        state.PauseTiming();
        uri1->clear();
        settle();
        state.ResumeTiming();
    }
    state.SetLabel(std::string("Qt shows 1 MB ") + paste_name(static_cast<int>(state.range(0)))
                   + " pasted into one box");
}

void register_all()
{
    for (int kind = 0; kind < paste_count; ++kind)
        for (int which = 0; which < 4; ++which)
            benchmark::RegisterBenchmark("conversion", conversions)
                ->Args({kind, which})
                ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("formatting", formatting);
    for (int every_box : {0, 1})
        for (int kind = 0; kind < paste_count; ++kind)
            for (int which = 0; which < command_count; ++which)
            {
                auto *b = benchmark::RegisterBenchmark(
                    every_box ? "command_every_box" : "command_one_box", tallies);
                b->Args({kind, which, every_box})->Unit(benchmark::kMillisecond);
                // Clearing takes microseconds and refilling milliseconds, untimed: without a
                // fixed count the library would refill for hours to gather half a second.
                if (which == clear_all)
                    b->Iterations(20);
            }
    // On the window, the pastes that make the commands read every box to its end, or stop
    // at the first; a fixed count of rounds, since refilling the boxes is slow.
    for (int kind : {digits, fraction})
        for (int which = 0; which < command_count; ++which)
            benchmark::RegisterBenchmark("window", window)
                ->Args({kind, which})
                ->Iterations(which == clear_all ? 3 : 10)
                ->Unit(benchmark::kMillisecond);
    for (int kind : {digits, letters})
        benchmark::RegisterBenchmark("paste", paste)
            ->Args({kind})
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
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
