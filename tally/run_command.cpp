#include "numbers.hpp"
#include "tallies.hpp"

namespace pelmora {

bool run_command(window_fields &w, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const tally_error &e) {
        w.show_message(error_report(e));
        return false;
    }
}

} // namespace pelmora
