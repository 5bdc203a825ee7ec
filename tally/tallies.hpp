#pragma once

#include "fields.hpp"
#include "tally_state.hpp"

#include <functional>

namespace pelmora {

// "決定1": reward counts and card counts into the reward line and the card line.
void run_leftover_tally(window_fields &w, tally_state &s);

// "決定2": the nine amounts into two sales lines and two totals.
void run_sales_tally(window_fields &w, tally_state &s);

// "決定3": the grand total divided among the people in "nin".
void run_share_division(window_fields &w, tally_state &s);

// "全てクリア": resets the input boxes and the five instruction lines, leaves "orc_check",
// "bunpai_copy" and the settlement record alone, and puts the focus in "syu1".
void run_clear_all(window_fields &w);

// Every command goes through here. A tally_error stops the command where it stood (what it
// already stored stays stored) and is reported in a message box; the program goes on.
// Returns false when the command was stopped by an error.
bool run_command(window_fields &w, const std::function<void()> &command);

} // namespace pelmora
