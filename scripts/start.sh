#!/usr/bin/env bash
# Installs what is missing, builds Pelmora and opens its window. Without a display it runs the
# program on a virtual X display instead, saves a screenshot of the window and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
fi

mapfile -t packages < <(packages_of build)
if [ "$headless" -eq 1 ]; then
    # A virtual X server, a way to find the window on it, and a camera.
    packages+=(xvfb xdotool imagemagick)
fi
install_missing "${packages[@]}"

cmake -G Ninja -S . -B build >/dev/null
cmake --build build --target pelmora
program="$PWD/build/app/pelmora"

if [ "$headless" -eq 0 ]; then
    exec "$program"
fi

echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running Pelmora on a virtual X display."
work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
# Ends the program and the virtual display whatever happened, keeping the script's status.
finish() {
    local status=$?
    set +e
    for pid in "$app_pid" "$xvfb_pid"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT

# Xvfb picks a free display number itself and writes it to the descriptor given.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "The virtual X display did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"

"$program" 2>"$work/pelmora.log" &
app_pid=$!
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Pelmora Ver1\.01$' | head -n 1) \
        || [ -z "$window" ]; then
    echo "The window of Pelmora did not appear:" >&2
    cat "$work/pelmora.log" >&2
    exit 1
fi
# No window manager runs there: give the window the keyboard by hand, so that the picture
# shows the cursor waiting in the first box, and let the first paint happen.
xdotool windowfocus "$window" 2>/dev/null || true
sleep 1

shot="$PWD/build/pelmora-window.png"
import -window "$window" "$shot"
echo "Screenshot of the window: $shot"
