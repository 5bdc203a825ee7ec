# Sourced by e2e.sh: a private X display, the program on it, real input through xdotool and the
# clipboard read back by xclip. Every wait polls for a condition with a deadline.

set -euo pipefail
export LC_ALL=C.UTF-8

E2E_TMP=$(mktemp -d)
XVFB_PID=
WATCHDOG_PID=
APP_PID=
APP_WIN=
CLIENT_TOP=0
CLIENT_LEFT=0
E2E_DPI=96
WINE_DPI=96
START_SECONDS=15
OWN_WINE_PREFIX=
FAILURES=0
# What start_app puts before the program (the input-method user's environment), and where the
# sanitizer suppressions are read from.
APP_RUNNER=()
SUPP_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

die() {
    echo "ERROR: $*" >&2
    show_program_output
    exit 1
}

show_program_output() {
    if [ -s "${PELMORA_LOG:-}" ]; then
        echo "--- what the program printed:" >&2
        tail -n 20 "$PELMORA_LOG" >&2
    fi
}

now_ms() {
    local t=${EPOCHREALTIME/./}
    echo $((t / 1000))
}

# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds, false at the deadline.
wait_for() {
    local deadline=$(( $(now_ms) + $1 * 1000 ))
    shift
    until "$@"; do
        (( $(now_ms) < deadline )) || return 1
        sleep 0.02
    done
}

stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || true
    wait_for 2 process_ended "$pid" || kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    [ -z "$WATCHDOG_PID" ] || kill "$WATCHDOG_PID" 2>/dev/null || true
    stop_process "$APP_PID"
    [ -z "$IM_HOME" ] || stop_homed_in "$IM_HOME"
    stop_process "$XVFB_PID"
    [ "$WINE_DPI" = 96 ] || wine_set_dpi 96 || true
    [ -z "$OWN_WINE_PREFIX" ] || wine_prefix_stop
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

need_programs() {
    local program
    for program in Xvfb xdotool xclip; do
        command -v "$program" >/dev/null || die "$program is missing; 'bash scripts/check.sh' installs it"
    done
}

# A display of our own: Xvfb picks a free number and writes it to the descriptor given. A
# Windows program goes on the display of its Wine prefix.
start_display() {
    need_programs
    if windows_program; then
        export DISPLAY=$WINE_DISPLAY
        return
    fi
    local number="$E2E_TMP/display"
    : >"$number"
    Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp -noreset \
        3>"$number" </dev/null >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 10 grep -q '^[0-9]' "$number" || die "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$number")"
    # Should this script be killed outright, the display and the program go with it.
    local me=$$ xvfb=$XVFB_PID tmp=$E2E_TMP
    ( while kill -0 "$me" 2>/dev/null; do sleep 1; done
      [ -s "$tmp/app.pid" ] && kill "$(cat "$tmp/app.pid")"
      [ ! -d "$tmp/im-user" ] || stop_homed_in "$tmp/im-user"
      kill "$xvfb"; rm -rf "$tmp" ) </dev/null >/dev/null 2>&1 &
    WATCHDOG_PID=$!
    disown
}

process_ended() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [ -z "$state" ] || [ "$state" = Z ] || [ "$state" = X ]
}

# --- A real input method: fcitx5 with mozc switched on, with a session bus of its own. Mozc
# refuses to run as root, so under root everything of it, the program too, runs as "nobody",
# in a home of its own; every process started with that home is ended with the display.

IM_HOME=
IM_RUN=()

# What the input-method tests need but cannot find, one name a line; nothing when all is there.
im_missing() {
    local program
    for program in fcitx5 fcitx5-remote dbus-daemon dbus-send setpriv; do
        command -v "$program" >/dev/null || echo "$program"
    done
    [ -e /usr/share/fcitx5/addon/mozc.conf ] || echo fcitx5-mozc
    [ -x /usr/lib/mozc/mozc_server ] || echo mozc-server
    compgen -G "/usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so" \
        >/dev/null || echo fcitx5-frontend-qt6
    [ "$(id -u)" -ne 0 ] || id nobody >/dev/null 2>&1 || echo "user nobody"
}

# stop_homed_in DIR: ends every process that was started with HOME=DIR, those started while
# the others end too.
stop_homed_in() {
    local environ pid round found
    for round in 1 2 3; do
        found=0
        for environ in /proc/[0-9]*/environ; do
            grep -qzxF "HOME=$1" "$environ" 2>/dev/null || continue
            pid=${environ#/proc/}
            stop_process "${pid%/environ}"
            found=1
        done
        (( found )) || return 0
    done
}

im_ready() {
    "${IM_RUN[@]}" fcitx5-remote >/dev/null 2>&1
}

# im_name: the input method that serves the focused box, as fcitx5 says; "keyboard-us" means
# that keys go in as typed.
im_name() {
    "${IM_RUN[@]}" fcitx5-remote -n 2>/dev/null || true
}

im_is() {
    [ "$(im_name)" = "$1" ]
}

# True once fcitx5 holds an input context of the program. The program asks for one when its
# window is shown; until fcitx5 has made it, focus changes are lost on fcitx5 (even the first
# focus-in may be: the steps start with a click that moves the focus).
im_knows_program() {
    "${IM_RUN[@]}" dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
        org.fcitx.Fcitx.Controller1.DebugInfo 2>/dev/null |
        grep -q "program:$(basename "$PELMORA") "
}

# start_input_method: fcitx5 with two input methods, plain keys and mozc, and mozc switched on
# in every new window; the program started next uses it.
start_input_method() {
    chmod 711 "$E2E_TMP"
    IM_HOME="$E2E_TMP/im-user"
    mkdir -p "$IM_HOME/.config/fcitx5" "$IM_HOME/runtime"
    chmod 700 "$IM_HOME/runtime"
    cat >"$IM_HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE
    printf '[Behavior]\nActiveByDefault=True\nShareInputState=No\n' >"$IM_HOME/.config/fcitx5/config"
    # The user may not reach the build folder: the program and its suppressions go along.
    cp "$PELMORA" "$IM_HOME/pelmora"
    cp "$SUPP_DIR/asan.supp" "$SUPP_DIR/lsan.supp" "$IM_HOME/"
    PELMORA="$IM_HOME/pelmora"
    SUPP_DIR=$IM_HOME
    IM_RUN=(env HOME="$IM_HOME" XDG_RUNTIME_DIR="$IM_HOME/runtime"
            DBUS_SESSION_BUS_ADDRESS="unix:path=$IM_HOME/runtime/bus"
            QT_IM_MODULE=fcitx GTK_IM_MODULE=fcitx XMODIFIERS=@im=fcitx)
    if [ "$(id -u)" -eq 0 ]; then
        chown -R nobody:"$(id -gn nobody)" "$IM_HOME"
        IM_RUN=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "${IM_RUN[@]}")
        "${IM_RUN[@]}" test -x "$PELMORA" || die "user nobody cannot reach $PELMORA"
    fi
    # A bus that starts nothing by itself: asking for fcitx5 before it is up must not start a
    # second one.
    cat >"$IM_HOME/bus.conf" <<BUS
<busconfig>
  <type>session</type>
  <listen>unix:path=$IM_HOME/runtime/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
BUS
    "${IM_RUN[@]}" dbus-daemon --nofork --config-file="$IM_HOME/bus.conf" \
        </dev/null >"$E2E_TMP/dbus.log" 2>&1 &
    wait_for 10 test -S "$IM_HOME/runtime/bus" || die "no session bus: $(cat "$E2E_TMP/dbus.log")"
    "${IM_RUN[@]}" fcitx5 --disable wayland,waylandim,kimpanel,notificationitem,ibusfrontend,fcitx4frontend \
        </dev/null >"$E2E_TMP/fcitx5.log" 2>&1 &
    wait_for 20 im_ready || die "fcitx5 did not start: $(tail -n 5 "$E2E_TMP/fcitx5.log")"
    APP_RUNNER=("${IM_RUN[@]}")
}

# visible_windows [xdotool search criteria...]: the ids of the mapped windows that match.
visible_windows() {
    xdotool search --onlyvisible "$@" 2>/dev/null || true
}

# window_titled TITLE: the first mapped window of the program whose title is exactly TITLE
# (the search pattern is a regular expression, so the title is compared again as text).
window_titled() {
    local w
    for w in $(visible_windows --all --pid "$APP_PID" --name "$1"); do
        if [ "$(xdotool getwindowname "$w")" = "$1" ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

app_window_shown() {
    APP_WIN=$(window_titled "Pelmora Ver1.01")
}

# ---- The program under test ----------------------------------------------------------------
# A Linux program runs as it is built; a Windows program (a PELMORA ending in ".exe") runs under
# Wine, in the prefix the caller made with tests/wine/prefix.sh or else in one of its own. These
# functions are the only places where the two differ: how the program starts and ends, where its
# client area lies in its X window, and how the text of a message box is read.

windows_program() {
    [[ $PELMORA == *.exe ]]
}

# A build with AddressSanitizer is run with suppressions for the system libraries' own
# reports, and is given longer to end: its leak check runs after the windows are gone.
sanitized_build() {
    ! windows_program && grep -aq __asan_init "$PELMORA"
}

# Makes a Wine prefix when the caller has none; it goes when the script ends. The prefix is
# at 96 dots per inch between scripts.
need_wine() {
    source "$(dirname "${BASH_SOURCE[0]}")/../wine/prefix.sh"
    WINE_DPI=96
    [ -z "${WINEPREFIX:-}" ] || [ -z "${WINE_DISPLAY:-}" ] || return 0
    wine_prefix_start || die "could not make a Wine prefix"
    OWN_WINE_PREFIX=1
}

# Starts the program at E2E_DPI dots per inch: Windows reads it from the prefix's settings when
# a program starts, Qt takes a scale factor.
launch_program() {
    if windows_program; then
        if [ "$E2E_DPI" != "$WINE_DPI" ]; then
            wine_set_dpi "$E2E_DPI"
            WINE_DPI=$E2E_DPI
        fi
        wine "$PELMORA" </dev/null >"$PELMORA_LOG" 2>&1 &
        APP_PID=$!
        # Most starts under Wine take about a second, but now and then one takes over ten.
        START_SECONDS=45
        return
    fi
    mkdir -p -m 700 "$E2E_TMP/runtime"
    local scale=()
    [ "$E2E_DPI" = 96 ] || scale=("QT_SCALE_FACTOR=$((E2E_DPI / 96))")
    env "${scale[@]}" XDG_RUNTIME_DIR="$E2E_TMP/runtime" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}suppressions=$SUPP_DIR/asan.supp" \
        LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$SUPP_DIR/lsan.supp" \
        "${APP_RUNNER[@]}" "$PELMORA" </dev/null >"$PELMORA_LOG" 2>&1 &
    APP_PID=$!
}

# Ends the program at the end of a scenario. A Windows program killed outright leaves Wine's
# next start waiting some 10 s, so it is asked to close first, as by its close box.
stop_program() {
    if windows_program && [ -n "$APP_WIN" ] && app_running; then
        "$XWIN" close "$APP_WIN" >/dev/null 2>&1 || true
        wait_for 5 process_ended "$APP_PID" || true
    fi
    stop_process "$APP_PID"
}

# "WIDTH HEIGHT TOP LEFT": the client area below the menu bar and where it starts in the main
# window's X window. Qt's X window is the menu bar and the client area; the X window of Wine's
# unmanaged window also holds the caption and the frames, which only Windows can measure.
client_area() {
    if windows_program; then
        wine "$WINTEXT" client-area "Pelmora Ver1.01" </dev/null
    else
        "$XWIN" client-area "$APP_WIN"
    fi
}

# The text of the message box on screen, where it can be read: a Windows program's from its
# controls. Qt draws the text of its message box itself and offers no copy of it on Linux;
# there the window tests and the tally tests check what is shown. False when it cannot be read.
message_text() {
    windows_program || return 1
    wine "$WINTEXT" message Pelmora </dev/null
}

# True when the message box on screen has the keyboard. For Qt that is X's input focus. Wine
# does not always move X's focus to a new window before the keys come (they still reach the
# window that Windows gives the keyboard), so there Windows is asked for its foreground window.
message_has_keyboard() {
    if windows_program; then
        wine "$WINTEXT" active Pelmora </dev/null
    else
        focus_is "$MESSAGE_WIN"
    fi
}

start_app() {
    PELMORA_LOG="$E2E_TMP/pelmora.log"
    launch_program
    echo "$APP_PID" >"$E2E_TMP/app.pid"
    APP_WIN=
    wait_for "$START_SECONDS" app_window_shown || die "no window titled \"Pelmora Ver1.01\" appeared"
    local area
    area=$(client_area) || die "could not measure the window"
    read -r CLIENT_WIDTH CLIENT_HEIGHT CLIENT_TOP CLIENT_LEFT <<<"$area"
    CLIENT_LEFT=${CLIENT_LEFT:-0}
    # The display has no window manager to give the new window the keyboard; do what one does.
    xdotool windowfocus --sync "$APP_WIN"
    wait_for 5 focus_is "$APP_WIN" || die "the window did not take the keyboard"
    if [ -n "$IM_HOME" ]; then
        wait_for 10 im_knows_program || die "the program did not reach fcitx5"
    fi
    # The one-shot start-up timer puts the focus in "syu1" 200 ms after the window is created;
    # input sent before it fires could land in the wrong box.
    sleep 0.25
}

end_app() {
    stop_program
    APP_PID=
}

app_running() {
    ! process_ended "$APP_PID"
}

# Control positions as designed: container and left, top, width, height in twips. Frames
# measure their controls from their own top-left corner.
declare -A FRAME=( [window]="0 0" [Frame2]="240 120" [Frame1]="240 1920" )
declare -A CONTROL=(
    [syu1]="Frame2 1200 240 735 270"   [syu3]="Frame2 3480 240 735 270"
    [syu2]="Frame2 1200 600 735 270"   [syu4]="Frame2 3480 600 735 270"
    [card1]="Frame2 600 960 255 270"   [card4]="Frame2 1440 960 255 270"
    [card2]="Frame2 2520 960 255 270"  [card5]="Frame2 3360 960 255 270"
    [card3]="Frame2 600 1320 255 270"  [card6]="Frame2 1440 1320 255 270"
    [card7]="Frame2 2520 1320 255 270" [card8]="Frame2 3360 1320 255 270"
    [uri1]="Frame1 1080 240 975 270"   [uri6]="Frame1 3840 240 975 270"
    [uri2]="Frame1 1080 600 975 270"   [uri7]="Frame1 3840 600 975 270"
    [uri3]="Frame1 1080 960 975 270"   [uri8]="Frame1 3840 960 975 270"
    [uri4]="Frame1 1080 1320 975 270"  [uri9]="Frame1 3840 1320 975 270"
    [orc_check]="Frame1 120 1680 1815 375"
    [uri5]="Frame1 2040 1680 1095 270"
    [Label24]="window 360 4320 5055 255"
    [nokori_txt]="window 360 5040 5415 375"
    [nokori_btn]="window 5880 5040 615 375"
    [copy1]="window 6600 5040 495 375"
    [card_txt]="window 360 5520 5415 375"
    [copy2]="window 6600 5520 495 375"
    [uri_goukei_txt]="window 360 6480 5415 375"
    [uri_kei_btn]="window 5880 6480 615 375"
    [copy3]="window 6600 6480 615 375"
    [uri_goukei_txt2]="window 360 6960 5415 375"
    [copy4]="window 6600 6960 615 375"
    [nin]="window 3960 7440 495 375"
    [bun_txt]="window 360 8040 5415 375"
    [bun_btn]="window 5880 8040 615 375"
    [copy5]="window 6600 8040 615 375"
    [bunpai_copy]="window 3360 8520 1575 390"
    [copy6]="window 5040 8520 615 375"
)

# ---- What Wine never does itself (a move to a screen of another DPI, high contrast), done in
# the Windows program's process by its test build, which sits beside it in the build; and the
# window's pixels, read from the display.

MAIN_TITLE="Pelmora Ver1.01"
USAGE_TITLE="使い方説明"

test_build() {
    printf '%s' "$(dirname "$PELMORA")/pelmora_test_hooks.exe"
}

# px TWIPS DPI: pixels, rounded to the nearest, as the program lays out.
px() {
    echo $(( ($1 * $2 + 720) / 1440 ))
}

# table_size TITLE DPI: the client area the table gives the window at that DPI, "WIDTH HEIGHT".
table_size() {
    case $1 in
    "$MAIN_TITLE") echo "$(px 7455 "$2") $(px 9195 "$2")" ;;
    "$USAGE_TITLE") echo "$(px 5760 "$2") $(px 3750 "$2")" ;;
    *) die "no table for a window titled $1" ;;
    esac
}

# window_controls TITLE: "NAME LEFT TOP WIDTH HEIGHT" a control, from the client area's corner.
window_controls() {
    wine "$WINTEXT" controls "$1" </dev/null
}

# locate_window TITLE: LOC_WIN, the window's X window, and LOC_TOP, LOC_LEFT, where its client
# area starts in it.
locate_window() {
    LOC_WIN=$(window_titled "$1") || return 1
    local area
    area=$(wine "$WINTEXT" client-area "$1" </dev/null) || return 1
    read -r _ _ LOC_TOP LOC_LEFT <<<"$area"
}

# steady_capture TITLE WIDTH HEIGHT FILE [X,Y,W,H ...]: the top-left WIDTH x HEIGHT pixels of
# the window's client area, once two captures a moment apart agree outside the rectangles
# given (where a caret blinks).
steady_capture() {
    local title=$1 width=$2 height=$3 file=$4 tries
    shift 4
    locate_window "$title" || return 1
    "$XWIN" capture "$LOC_WIN" "$LOC_LEFT" "$LOC_TOP" "$width" "$height" "$file" || return 1
    for tries in $(seq 25); do
        sleep 0.2
        "$XWIN" capture "$LOC_WIN" "$LOC_LEFT" "$LOC_TOP" "$width" "$height" "$file.next" || return 1
        [ "$("$XWIN" differ "$file" "$file.next" "$@")" != 0 ] || return 0
        mv "$file.next" "$file"
    done
    return 1
}

# rectangles_of CONTROLS NAME...: "LEFT,TOP,WIDTH,HEIGHT" of the named controls in a listing of
# window_controls.
rectangles_of() {
    local listing=$1
    shift
    local name
    for name in "$@"; do
        awk -v n="$name" '$1 == n { printf "%s,%s,%s,%s\n", $2, $3, $4, $5 }' "$listing"
    done
}

# colours_in TITLE NAME: the colours a control shows (inside its edge), the most frequent
# first, "RRGGBB COUNT" a line; NAME "window" is the whole client area.
colours_in() {
    local title=$1 name=$2 left top width height
    locate_window "$title" || return 1
    if [ "$name" = window ]; then
        read -r width height <<<"$(table_size "$title" "$E2E_DPI")"
        left=0 top=0
    else
        read -r _ left top width height < <(window_controls "$title" | awk -v n="$name" '$1 == n')
        [ -n "${height:-}" ] || return 1
        left=$((left + 3)) top=$((top + 3)) width=$((width - 6)) height=$((height - 6))
    fi
    "$XWIN" colours "$LOC_WIN" $((LOC_LEFT + left)) $((LOC_TOP + top)) "$width" "$height"
}

# check_colours TITLE WHEN <<ROWS: one row a line, NAME|BACKGROUND|TEXT|: the colour most of
# the control shows, and one that its text shows ("-" where it shows no text, "*" for any).
check_colours() {
    local title=$1 when=$2 name back text got line
    while IFS='|' read -r name back text _; do
        [ -n "$name" ] && [ "${name:0:1}" != "#" ] || continue
        got=$(colours_in "$title" "$name") || { fail "$SCENARIO: $when: no $name to look at"; continue; }
        [ "$back" = "*" ] || [ "$(head -n1 <<<"$got" | cut -d' ' -f1)" = "$back" ] ||
            fail "$SCENARIO: $when: $name shows mostly $(head -n1 <<<"$got" | cut -d' ' -f1), expected $back"
        [ "$text" = "-" ] || grep -q "^$text " <<<"$got" ||
            fail "$SCENARIO: $when: $name shows no $text; it shows $(head -n4 <<<"$got" | cut -d' ' -f1 | tr '\n' ' ')"
    done
}

# place_of NAME: "X Y WIDTH HEIGHT", the control's rectangle in the window's pixels, as laid out.
place_of() {
    local place=${CONTROL[$1]:-}
    [ -n "$place" ] || die "no position for control $1"
    local container left top width height fx fy
    read -r container left top width height <<<"$place"
    read -r fx fy <<<"${FRAME[$container]}"
    echo "$(( CLIENT_LEFT + (fx + left + 7) / 15 )) $(( CLIENT_TOP + (fy + top + 7) / 15 ))" \
         "$(( (width + 7) / 15 )) $(( (height + 7) / 15 ))"
}


# click NAME [ACTION]: a real left click in the middle of the control; ACTION "down" or "up"
# gives only half of it.
click() {
    local x y width height action=(click --delay 1 1)
    read -r x y width height <<<"$(place_of "$1")"
    case ${2:-} in
    down) action=(mousedown 1) ;;
    up) action=(mouseup 1) ;;
    esac
    # Which control was clicked last, and when (ms): kept in a file, since steps run in subshells.
    [ "${2:-}" = up ] || echo "$1 $(now_ms)" >"$E2E_TMP/last_click"
    # A window manager gives the keyboard to the window clicked, before the click arrives.
    xdotool windowfocus --sync "$APP_WIN" mousemove --window "$APP_WIN" \
        $(( x + width / 2 )) $(( y + height / 2 )) "${action[@]}"
}

# What the button looks like now, as a digest of its pixels.
face_of() {
    "$XWIN" digest "$APP_WIN" $(place_of "$1")
}

face_changed() {
    [ "$(face_of "$1")" != "$2" ]
}

# The longest two clicks of one button may lie apart and still be a double click, in ms: Wine's
# prefix is set to 5 s (tests/wine/prefix.sh); Qt's own time is shorter, and there a slower
# second click is an ordinary one, which must work just as well.
DOUBLE_CLICK_MS=5000

# click_again BUTTON: the second click of a double click on the button clicked last. Held down,
# the button must look pressed; released, it runs its command.
click_again() {
    local last first released
    read -r last first <"$E2E_TMP/last_click" 2>/dev/null || last=
    [ "$last" = "$1" ] || die "click_again $1 follows a click on ${last:-nothing}"
    released=$(face_of "$1")
    click "$1" down
    local apart=$(( $(now_ms) - first ))
    (( apart < DOUBLE_CLICK_MS )) ||
        fail "$SCENARIO: the second click on $1 came $apart ms after the first: no double click"
    wait_for 2 face_changed "$1" "$released" ||
        fail "$SCENARIO: $1, clicked again at once, did not look pressed"
    click "$1" up
}

# type_into BOX TEXT: replaces what the box holds, as a user does with the mouse and keys.
type_into() {
    click "$1"
    xdotool key --delay 2 ctrl+a BackSpace
    [ -z "$2" ] || xdotool type --delay 2 -- "$2"
}

# press KEY...: keys typed by the user (xdotool names: Return, alt+f, x ...).
press() {
    xdotool key --delay 2 "$@"
}

# The clipboard's text. An owner that never answers would keep xclip waiting for ever (seen
# once under Wine), so each read has a deadline and is tried again.
clipboard() {
    local text status attempt
    for attempt in 1 2 3; do
        text=$(timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null; printf 'x%d' $?)
        status=${text##*x}
        text=${text%x*}
        [ "$status" = 124 ] || break
    done
    printf '%s' "$text"
}

clipboard_owner() {
    "$XWIN" clipboard-owner
}

# True once the clipboard has an owner other than the keeper of the sentinel.
clipboard_taken() {
    local owner
    owner=$(clipboard_owner)
    [ "$owner" != 0 ] && [ "$owner" != "$SENTINEL_OWNER" ]
}

clipboard_is() {
    [ "$(clipboard)" = "$1" ]
}

# Puts a text on the clipboard that the program cannot produce, so that a change proves that
# the program has answered the next action.
set_sentinel() {
    SENTINEL="<e2e sentinel $EPOCHREALTIME>"
    printf '%s' "$SENTINEL" | xclip -i -selection clipboard >/dev/null 2>&1
    wait_for 5 clipboard_is "$SENTINEL" || die "could not set the clipboard"
    SENTINEL_OWNER=$(clipboard_owner)
}

# copied_by BUTTON: the text a copy button puts on the clipboard, read by another process.
copied_by() {
    set_sentinel
    click "$1"
    wait_for 5 clipboard_taken || { echo "<nothing copied>"; return; }
    clipboard
}

# copied_again BUTTON: the text a copy button puts on the clipboard when clicked again at once,
# after another program took the clipboard.
copied_again() {
    set_sentinel
    click_again "$1"
    wait_for 5 clipboard_taken || { echo "<nothing copied>"; return; }
    clipboard
}

is_button() {
    [[ $1 == copy[1-6] || $1 == *_btn ]]
}

# check_ansi NAME TEXT [KEY]: a copy by the button NAME, or by Ctrl+C (or KEY: ctrl+x) of all of
# the box NAME, gives Unicode readers TEXT and, under Windows, programs that read 8-bit text
# (CF_TEXT) the same in Shift_JIS, with the Japanese locale, whatever the input language (this
# prefix's is English).
check_ansi() {
    local line
    if is_button "$1"; then
        line=$(copied_by "$1")
    else
        set_sentinel
        click "$1"
        press ctrl+a "${3:-ctrl+c}"
        wait_for 5 clipboard_taken && line=$(clipboard) || line="<nothing copied>"
    fi
    check_equal "$SCENARIO: clipboard after $1" "$line" "$2"
    windows_program || return 0
    local got="$E2E_TMP/cf_text" want="$E2E_TMP/cp932"
    wine "$WINTEXT" clipboard-text </dev/null >"$got" || { fail "$SCENARIO: no CF_TEXT after $1"; return; }
    printf '%s' "$line" | iconv -f UTF-8 -t CP932 >"$want" ||
        { fail "$SCENARIO: the line after $1 has no Shift_JIS form"; return; }
    cmp -s "$got" "$want" ||
        fail "$SCENARIO: CF_TEXT after $1: got [$(od -An -tx1 "$got" | tr -s ' \n' ' ')]," \
             "expected [$(od -An -tx1 "$want" | tr -s ' \n' ' ')]"
    check_equal "$SCENARIO: CF_LOCALE after $1" "$(wine "$WINTEXT" clipboard-locale </dev/null)" 0411
}

# The input method of the focused box under Wine, from a test build of the program: on or off.
wine_ime() {
    case $(wine "$WINTEXT" ime "Pelmora Ver1.01" "$@" </dev/null) in
    1) echo on ;;
    0) echo off ;;
    *) echo none ;;
    esac
}

# box_text BOX: what a box holds, read through the clipboard. A marker typed at the end makes
# an empty box copy something too; it is taken out again afterwards.
box_text() {
    set_sentinel
    click "$1"
    xdotool key End
    xdotool type -- '#'
    xdotool key --delay 2 ctrl+a ctrl+c End BackSpace
    wait_for 5 clipboard_taken || { echo "<nothing copied>"; return; }
    local text
    text=$(clipboard)
    printf '%s' "${text%#}"
}

message_window() {
    MESSAGE_WIN=$(window_titled "Pelmora")
}

focus_is() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

window_gone() {
    ! visible_windows --pid "$APP_PID" | grep -qx "$1"
}

popup_count() {
    visible_windows --pid "$APP_PID" | wc -l
}

popup_opened() {
    (( $(popup_count) > $1 ))
}

# menu KEY [CHOICE]: opens a menu with its access key and picks a command with its letter.
menu() {
    local before
    before=$(popup_count)
    press "$1"
    wait_for 5 popup_opened "$before" || { fail "$SCENARIO: menu $1 did not open"; return 1; }
    [ -z "${2:-}" ] || press "$2"
}

# expect_message [TEXT]: a box titled "Pelmora" is shown, has the keyboard and says TEXT ("\n"
# for a line break); Enter closes it.
expect_message() {
    MESSAGE_WIN=
    if ! wait_for 5 message_window; then
        fail "$SCENARIO: no message box titled \"Pelmora\" appeared"
        return 1
    fi
    wait_for 5 message_has_keyboard || fail "$SCENARIO: the message box did not take the keyboard"
    local text
    if [ -n "${1:-}" ] && text=$(message_text); then
        check_equal "$SCENARIO: message" "$text" "${1//\\n/$'\n'}"
    fi
    press Return
    wait_for 5 window_gone "$MESSAGE_WIN" || fail "$SCENARIO: Enter did not close the message box"
}

expect_no_message() {
    if message_window; then
        fail "$SCENARIO: unexpected message box"
        press Return
    fi
}

check_equal() {
    local what=$1 got=$2 want=$3
    [ "$got" = "$want" ] || fail "$what: got [$got], expected [$want]"
}

# run_steps: one step a line, fields separated by "|" (a trailing "|" keeps trailing blanks):
#   type|BOX|TEXT|      click|CONTROL|      menu|KEY|CHOICE|
#   message|TEXT|       (a message box that says TEXT, closed with Enter)
#   keys|TEXT|          (typed wherever the focus is)
#   press|KEY...|       (keys by their xdotool names: Tab, Return, ctrl+space ...)
#   ime|NAME|           (the input method serving the focus, once fcitx5 runs; under Wine
#                        "on" or "off", from a test build of the program)
#   ime_key|            (under Wine: the user's IME key, which switches it on where the focus is)
#   again|BUTTON|       (the second click of a double click on the button clicked last)
#   copy_again|BUTTON|TEXT|  (the same on a copy button, another program taking the clipboard
#                        in between: the clipboard then holds TEXT again)
#   ansi|NAME|TEXT|     (a copy by button NAME or Ctrl+C in box NAME: TEXT, and its Shift_JIS
#                        bytes for programs that read 8-bit text under Windows)
#   ansi_cut|BOX|TEXT|  (the same by Ctrl+X, which also empties the box)
#   copy|BUTTON|TEXT|   (the clipboard after BUTTON, read by xclip)
#   box|BOX|TEXT|       (what BOX holds)
#   running|            (the program has not ended)
#   area|WxH|           (the client area below the menu bar, in pixels)
run_steps() {
    local verb a b line steps keys step=0
    mapfile -t steps
    for line in "${steps[@]}"; do
        step=$((step + 1))
        if ! app_running; then
            fail "$SCENARIO: the program ended before: $line"
            show_program_output
            return
        fi
        [ -n "$line" ] || continue
        [ "${line:0:1}" != "#" ] || continue
        IFS='|' read -r verb a b _ <<<"$line"
        case $verb in
        type) type_into "$a" "$b" ;;
        click) click "$a" ;;
        keys) xdotool type --delay 2 -- "$a" ;;
        press) read -ra keys <<<"$a"; press "${keys[@]}" ;;
        ime)
            if windows_program; then
                check_equal "$SCENARIO: input method at step $step" "$(wine_ime)" "$a"
                continue
            fi
            # What follows would only pile up failures of the same cause.
            wait_for 5 im_is "$a" || { fail "$SCENARIO: input method [$(im_name)], expected [$a]"; return; }
            ;;
        ime_key) wine_ime open >/dev/null ;;
        again) click_again "$a" ;;
        copy_again) check_equal "$SCENARIO: clipboard after $a again" "$(copied_again "$a")" "$b" ;;
        ansi) check_ansi "$a" "$b" ;;
        ansi_cut) check_ansi "$a" "$b" ctrl+x ;;
        menu) menu "$a" "$b" || true ;;
        message) expect_message "$a" || true ;;
        copy) check_equal "$SCENARIO: clipboard after $a" "$(copied_by "$a")" "$b" ;;
        box) check_equal "$SCENARIO: box $a" "$(box_text "$a")" "$b" ;;
        running) app_running || fail "$SCENARIO: the program ended" ;;
        area) check_equal "$SCENARIO: client area" "${CLIENT_WIDTH}x${CLIENT_HEIGHT}" "$a" ;;
        *) die "unknown step: $line" ;;
        esac
    done </dev/null
}

# scenario NAME: starts the program, runs the steps read from standard input, ends it.
scenario() {
    SCENARIO=$1
    local before=$FAILURES
    local start
    start=$(now_ms)
    start_app
    run_steps
    expect_no_message
    app_running || fail "$SCENARIO: the program ended by itself"
    end_app
    if (( FAILURES == before )); then
        echo "ok: $SCENARIO ($(( $(now_ms) - start )) ms)"
    else
        echo "not ok: $SCENARIO"
    fi
}

finish() {
    if (( FAILURES > 0 )); then
        echo "$FAILURES check(s) failed"
        exit 1
    fi
}
