#!/usr/bin/env bash
# End-to-end tests: the built program on a display of its own, driven only by real X input
# (xdotool) and checked through the real clipboard (xclip, a separate process).
#
#   bash e2e.sh GROUP PELMORA XWIN [WINTEXT]
#
# GROUP is one of: window, road, clipboard, messages, errors, ending, ime, dpi, contrast. The
# group ime needs a real input method (fcitx5 with mozc) and ends with status 77 when there is
# none; under Wine it needs the test build of the program instead (win32/pelmora_test_hooks.exe).
# A PELMORA ending in ".exe" is the Windows program, run under Wine (see harness.sh); WINTEXT is
# then the Windows console program that reads what X cannot tell (tests/wine/wintext.cpp). For
# what Wine never does (moves between screens of other DPIs, high contrast), the groups dpi and
# contrast (Windows only) start the program's test build, pelmora_test_hooks.exe beside it.
source "$(dirname "$0")/harness.sh"

# "e2e.sh --steps GROUP" prints the scenarios of a group instead of running them: a line
# "scenario|NAME" before the steps of each. "e2e.sh --steps texts" prints the texts below as
# NAME|TEXT, "e2e.sh --steps controls" the places the clicks aim at (harness.sh) as
# NAME|CONTAINER LEFT TOP WIDTH HEIGHT. The browser checks of the web page (tests/web) run the
# same steps.
STEPS_ONLY=
if [ "${1:-}" = --steps ] && [ $# -eq 2 ]; then
    STEPS_ONLY=$2
else
    [ $# -eq 3 ] || [ $# -eq 4 ] ||
        die "usage: e2e.sh window|road|clipboard|messages|errors|ending|ime|dpi|contrast PELMORA XWIN [WINTEXT]"
    GROUP=$1
    PELMORA=$2
    XWIN=$3
    WINTEXT=${4:-}
    [ -f "$PELMORA" ] || die "no program at $PELMORA"
    if windows_program; then
        [ -f "$WINTEXT" ] || die "a Windows program needs WINTEXT"
        need_wine
    fi
fi

# What the output boxes show when the window opens; "全てクリア" puts them back, but for the
# card line, which it sets to a text of its own.
NOKORI_START='上記｢残した物｣入力後、右の｢決定｣ボタンを押して下さい'
CARD_START='（カード等欄）'
CARD_CLEARED='（カード欄）'
URI_START='上記｢売上金｣入力後、右の｢決定｣ボタンを押して下さい'
URI2_START='売り5回目～8回目用'
BUN_START='｢決定2｣ボタンを押した後、｢決定3｣ボタンを押して下さい'

# What the message boxes say ("\n" is a line break).
NO_SALES='売上金額が入力されていません'
NO_COUNT='割り人数が入力されていません'
TOO_FEW='1人以下は実行できません'
NO_TOTAL='｢決定2｣ボタンを押してから｢決定3｣ボタンを押して下さい'
OVERFLOW="実行時エラー '6':\n\nオーバーフローしました。"
MISMATCH="実行時エラー '13':\n\n型が一致しません。"

group_window() {
    # The window is found by its title; the focus waits in the first reward box, so typing
    # right away fills it.
    scenario "start state" <<STEPS
area|497x613|
keys|7|
box|syu1|7|
box|nin|12|
copy|copy1|$NOKORI_START|
copy|copy2|$CARD_START|
copy|copy3|$URI_START|
copy|copy4|$URI2_START|
copy|copy5|$BUN_START|
copy|copy6||
STEPS
}

group_road() {
    # Without an auction: the user clears the tick and divides among three.
    scenario "settlement without auction" <<'STEPS'
type|syu1|1500|
type|syu3|2|
type|card1|2|
type|card3|1|
click|nokori_btn|
copy|copy1|赤羽毛:1,500、青羽毛:0、呪印:2、金腕輪:0|
copy|copy2|慰c2 苦悩c1 |
type|uri1|1000000|
type|uri6|234567|
click|orc_check|
click|uri_kei_btn|
copy|copy3|売1:1,000,000|
copy|copy4|売5:234,567|
type|nin|3|
click|bun_btn|
# The gaps before "[3]" and "分配金額" are ideographic spaces (U+3000).
copy|copy5|合計金額: [1,234,567]　[3]人割り　分配金額： [411,522]|
copy|copy6|411522|
STEPS

    # With the auction ticked as at start, twelve people; then clear all and divide the same
    # totals again, since clearing keeps them.
    scenario "settlement with auction, then clear all" <<STEPS
type|card8|3|
click|nokori_btn|
copy|copy1|赤羽毛:0、青羽毛:0、呪印:0、金腕輪:0|
copy|copy2|帖3|
type|uri1|15000|
type|uri3|8000|
type|uri5|3000|
click|uri_kei_btn|
copy|copy3|売1:15,000、売2:0、売3:8,000、ｵｰｸ:3,000|
copy|copy4||
click|bun_btn|
copy|copy5|合計金額: [26,000]　[12]人割り　分配金額： [2,167]|
copy|copy6|2167|
type|card_txt|edited by hand|
copy|copy2|edited by hand|
menu|alt+e|c|
copy|copy1|$NOKORI_START|
copy|copy2|$CARD_CLEARED|
copy|copy3|$URI_START|
copy|copy4|$URI2_START|
copy|copy5|$BUN_START|
copy|copy6|2167|
box|uri1||
box|card8||
box|nin||
type|nin|2|
click|bun_btn|
copy|copy5|合計金額: [26,000]　[2]人割り　分配金額： [13,000]|
copy|copy6|13000|
STEPS
}

group_clipboard() {
    # Every click counts, however fast they come, and is drawn pressed: a copy button clicked
    # again at once, after another program took the clipboard, copies again; "決定3" clicked again
    # at once, after the people count changed, divides anew.
    scenario "clicks in quick succession" <<STEPS
copy|copy2|$CARD_START|
copy_again|copy2|$CARD_START|
type|uri1|1000|
click|uri_kei_btn|
type|nin|3|
click|bun_btn|
press|shift+Tab ctrl+a BackSpace|
keys|4|
again|bun_btn|
copy|copy5|合計金額: [1,000]　[4]人割り　分配金額： [250]|
STEPS

    # The lines are Japanese: a program that reads 8-bit text gets them in Shift_JIS, from the
    # copy buttons and from Ctrl+C in a box alike, though the input language is English.
    scenario "report lines for programs that read 8-bit text" <<STEPS
ansi|uri_goukei_txt2|$URI2_START|
ansi|copy1|$NOKORI_START|
ansi|copy3|$URI_START|
ansi|copy4|$URI2_START|
ansi|copy5|$BUN_START|
type|card8|3|
click|nokori_btn|
ansi|copy2|帖3|
type|uri1|15000|
type|uri3|8000|
type|uri5|3000|
click|uri_kei_btn|
ansi|uri_goukei_txt|売1:15,000、売2:0、売3:8,000、ｵｰｸ:3,000|
click|bun_btn|
ansi|copy5|合計金額: [26,000]　[12]人割り　分配金額： [2,167]|
ansi|copy6|2167|
ansi_cut|uri3|8000|
box|uri3||
STEPS
}

group_messages() {
    # Each refusal shows its box, Enter closes it, and the lines stay as they were.
    scenario "refusals" <<STEPS
click|bun_btn|
message|$NO_TOTAL|
# Enter and Esc press no button of the main window, not even the one with the focus.
press|Return Escape|
copy|copy5|$BUN_START|
copy|copy6||
click|uri_kei_btn|
message|$NO_SALES|
copy|copy3|$URI_START|
copy|copy4|$URI2_START|
type|uri5|700|
click|uri_kei_btn|
message|$NO_SALES|
copy|copy3|$URI_START|
type|uri1|1000|
click|uri_kei_btn|
copy|copy3|売1:1,000、ｵｰｸ:700|
type|nin||
click|bun_btn|
message|$NO_COUNT|
copy|copy5|$BUN_START|
type|nin|1|
click|bun_btn|
message|$TOO_FEW|
box|nin|1|
type|nin|0.7|
click|bun_btn|
message|$TOO_FEW|
copy|copy5|$BUN_START|
copy|copy6||
box|uri5|700|
running|
STEPS
}

group_errors() {
    # A number that does not fit stops the command with a message; the program goes on and
    # every box keeps what was typed, so the user can mend it and press again.
    scenario "numbers that do not fit" <<STEPS
type|uri1|2147483648|
click|uri_kei_btn|
message|$OVERFLOW|
running|
box|uri1|2147483648|
copy|copy3|$URI_START|
type|uri1|2147483647|
type|uri2|1|
click|uri_kei_btn|
message|$OVERFLOW|
box|uri1|2147483647|
box|uri2|1|
copy|copy3|$URI_START|
type|syu2|-3|
type|card1|40000|
click|nokori_btn|
message|$OVERFLOW|
copy|copy1|赤羽毛:0、青羽毛:-3、呪印:0、金腕輪:0|
copy|copy2|$CARD_START|
box|card1|40000|
type|nin|abc|
click|bun_btn|
message|$MISMATCH|
box|nin|abc|
copy|copy5|$BUN_START|
running|
type|uri1|1000|
type|uri2||
click|uri_kei_btn|
copy|copy3|売1:1,000、ｵｰｸ:0|
type|nin|3|
click|bun_btn|
copy|copy5|合計金額: [1,000]　[3]人割り　分配金額： [333]|
copy|copy6|333|
STEPS
}

group_dpi() {
    # At twice the dots per inch every length doubles, the client area's included.
    E2E_DPI=192
    scenario "192 dots per inch" <<'STEPS'
area|994x1226|
STEPS
    # Qt follows a screen's DPI by itself; the Windows program is told by WM_DPICHANGED.
    if windows_program; then
        dpi_moves
    fi
}

# dpi_snapshot TITLE DPI NAME: the window's controls and its client area's pixels at that DPI,
# in NAME.controls and NAME.ppm. Left out of the pixels: the caret in the first box, and the
# check box, whose square Wine draws at the screen's DPI rather than the window's.
dpi_snapshot() {
    local title=$1 dpi=$2 name=$E2E_TMP/$3 width height
    window_controls "$title" >"$name.controls" || { fail "$SCENARIO: no controls of $title"; return 1; }
    read -r width height <<<"$(table_size "$title" "$dpi")"
    # shellcheck disable=SC2046
    steady_capture "$title" "$width" "$height" "$name.ppm" \
        $(rectangles_of "$name.controls" syu1 orc_check) ||
        { fail "$SCENARIO: $title at $dpi DPI never painted steadily"; return 1; }
}

# moved_like_fresh TITLE DPI WHICH: a window moved to a screen of DPI has the controls and the
# pixels of one that started there.
moved_like_fresh() {
    local title=$1 dpi=$2 fresh=$E2E_TMP/fresh-$3-$2 moved=$E2E_TMP/moved-$3-$2 count
    wine "$WINTEXT" move "$title" "$dpi" 7 5 </dev/null >"$moved.said" ||
        fail "$SCENARIO: $3 window to $dpi DPI: $(cat "$moved.said")"
    dpi_snapshot "$title" "$dpi" "moved-$3-$dpi" || return
    diff "$fresh.controls" "$moved.controls" >"$moved.diff" ||
        fail "$SCENARIO: $3 window at $dpi DPI: controls placed otherwise than at a start there:" \
             "$(head -n 6 "$moved.diff" | tr '\n' ' ')"
    # shellcheck disable=SC2046
    count=$("$XWIN" differ "$fresh.ppm" "$moved.ppm" $(rectangles_of "$fresh.controls" syu1 orc_check))
    [ "$count" = 0 ] ||
        fail "$SCENARIO: $3 window at $dpi DPI: $count pixels differ from a start there"
    # Wine draws the caption and menu bar at the screen's DPI whatever the window's, so a window
    # sized for the new DPI's caption has a client area a little taller than the table's there:
    # that strip shows one colour, the window's background.
    local area width height table_width table_height
    area=$(wine "$WINTEXT" client-area "$title" </dev/null)
    read -r width height _ <<<"$area"
    read -r table_width table_height <<<"$(table_size "$title" "$dpi")"
    if (( height > table_height )); then
        locate_window "$title"
        count=$("$XWIN" colours "$LOC_WIN" "$LOC_LEFT" $((LOC_TOP + table_height)) "$width" \
                $((height - table_height)) | wc -l)
        [ "$count" = 1 ] || fail "$SCENARIO: $3 window at $dpi DPI: the strip below the layout is not blank"
    fi
}

dpi_moves() {
    local shipped=$PELMORA dpi before
    PELMORA=$(test_build)
    [ -f "$PELMORA" ] || die "no test build of the program at $PELMORA"
    SCENARIO="fresh starts at 144, 192, 96 DPI"
    for dpi in 144 192 96; do
        E2E_DPI=$dpi
        start_app
        dpi_snapshot "$MAIN_TITLE" "$dpi" "fresh-main-$dpi"
        menu alt+h u && wait_for 5 usage_shown || fail "$SCENARIO: the usage window did not appear"
        dpi_snapshot "$USAGE_TITLE" "$dpi" "fresh-usage-$dpi"
        end_app
    done
    # Started at 96 DPI, then moved from screen to screen as Windows does, the usage window
    # after the main window (it would cover part of it).
    SCENARIO="moves to 144, 192 and back to 96 DPI"
    before=$FAILURES
    E2E_DPI=96
    start_app
    for dpi in 144 192 96; do
        moved_like_fresh "$MAIN_TITLE" "$dpi" main
    done
    menu alt+h u && wait_for 5 usage_shown || fail "$SCENARIO: the usage window did not appear"
    for dpi in 144 192 96; do
        moved_like_fresh "$USAGE_TITLE" "$dpi" usage
    done
    end_app
    if (( FAILURES == before )); then echo "ok: $SCENARIO"; else echo "not ok: $SCENARIO"; fi
    PELMORA=$shipped
}

# shows_mostly TITLE NAME RRGGBB: the control (or "window") shows mostly that colour; the
# display may show a repaint a moment after the program made it.
shows_mostly() {
    [ "$(colours_in "$1" "$2" | head -n1 | cut -d' ' -f1)" = "$3" ]
}

# High contrast, with a theme whose every colour differs (wintext's): window #000000, window
# text #FFFF00, button face #000080, button text #FFFFFF. Outside it, the tables' colours.
group_contrast() {
    windows_program || die "the group contrast is for the Windows program"
    local shipped=$PELMORA before
    PELMORA=$(test_build)
    [ -f "$PELMORA" ] || die "no test build of the program at $PELMORA"
    SCENARIO="high contrast switched on and off"
    before=$FAILURES
    start_app
    check_colours "$MAIN_TITLE" "at start" <<'ROWS'
window|FFFFFF|-|
Frame2|FFE0C0|FF8000|
Label1|FFE0C0|000000|
syu1|FFFFFF|-|
Frame1|C0C0FF|0000FF|
orc_check|C0C0FF|000000|
Label24|FFFFFF|FF0000|
nokori_txt|FFE0C0|000000|
nokori_btn|FFE0C0|000000|
nin|FFC0C0|000000|
bunpai_copy|FF8080|-|
ROWS
    wine "$WINTEXT" contrast "$MAIN_TITLE" on </dev/null || fail "$SCENARIO: high contrast refused"
    wait_for 5 shows_mostly "$MAIN_TITLE" window 000000 || true
    check_colours "$MAIN_TITLE" "high contrast on" <<'ROWS'
window|000000|-|
Frame2|000080|FFFFFF|
Label1|000080|FFFFFF|
syu1|000000|-|
Frame1|000080|FFFFFF|
orc_check|000080|FFFFFF|
Label24|000000|FFFF00|
nokori_txt|000000|FFFF00|
nokori_btn|000080|FFFFFF|
nin|000000|FFFF00|
bunpai_copy|000000|-|
ROWS
    wine "$WINTEXT" contrast "$MAIN_TITLE" system </dev/null || fail "$SCENARIO: high contrast not switched off"
    wait_for 5 shows_mostly "$MAIN_TITLE" window FFFFFF || true
    check_colours "$MAIN_TITLE" "high contrast off again" <<'ROWS'
window|FFFFFF|-|
Frame2|FFE0C0|FF8000|
Label24|FFFFFF|FF0000|
nokori_btn|FFE0C0|000000|
nin|FFC0C0|000000|
ROWS
    menu alt+h u && wait_for 5 usage_shown || fail "$SCENARIO: the usage window did not appear"
    check_colours "$USAGE_TITLE" "usage window at start" <<'ROWS'
Picture1|FFFFFF|00C000|
Label2|FFFFFF|000000|
cmdOK|*|000000|
ROWS
    wine "$WINTEXT" contrast "$USAGE_TITLE" on </dev/null || fail "$SCENARIO: high contrast refused"
    wait_for 5 shows_mostly "$USAGE_TITLE" window 000000 || true
    check_colours "$USAGE_TITLE" "usage window, high contrast on" <<'ROWS'
window|000000|-|
Picture1|000000|FFFF00|
Label2|000000|FFFF00|
cmdOK|000080|FFFFFF|
ROWS
    end_app
    if (( FAILURES == before )); then echo "ok: $SCENARIO"; else echo "not ok: $SCENARIO"; fi
    PELMORA=$shipped
}

usage_windows() {
    visible_windows --all --pid "$APP_PID" --name '^使い方説明$' | wc -l
}

usage_shown() {
    (( $(usage_windows) == 1 ))
}

usage_hidden() {
    (( $(usage_windows) == 0 ))
}

# end_case HOW USAGE: "終了" from the menu or the close box, with the usage window never
# opened, shown, or shown and hidden again; the process must be gone within a second.
end_case() {
    local how=$1 usage=$2
    SCENARIO="end by $how, usage window $usage"
    local before=$FAILURES
    start_app
    if [ "$usage" != none ]; then
        menu alt+h u
        wait_for 5 usage_shown || fail "$SCENARIO: the usage window did not appear"
        # Asking again shows the same window, not a second one. The click goes to the main
        # window where the usage window does not cover it (it covers the lower label).
        click nokori_txt
        menu alt+h u
        wait_for 5 usage_shown || fail "$SCENARIO: not exactly one usage window"
        if [ "$usage" = hidden ]; then
            # Enter and Esc: the usage window's default and cancel button.
            local key=Return
            [ "$how" = menu ] || key=Escape
            press "$key"
            wait_for 5 usage_hidden || fail "$SCENARIO: $key did not hide the usage window"
        fi
    fi
    local start
    case $how in
    menu)
        click nokori_txt
        menu alt+f || true
        start=$(now_ms)
        press x
        ;;
    "close box")
        start=$(now_ms)
        "$XWIN" close "$APP_WIN" || fail "$SCENARIO: the window refused the close request"
        ;;
    esac
    # The windows go at once; so does the process, but for a sanitizer's leak check.
    wait_for 1 window_gone "$APP_WIN" || fail "$SCENARIO: the window was still shown a second later"
    local limit=1
    ! sanitized_build || limit=10
    if wait_for "$limit" process_ended "$APP_PID"; then
        local rc=0
        wait "$APP_PID" || rc=$?
        [ "$rc" -eq 0 ] || fail "$SCENARIO: exit status $rc"
        APP_PID=
        echo "ok: $SCENARIO (ended after $(( $(now_ms) - start )) ms)"
    else
        fail "$SCENARIO: the program was still running $limit s later"
        end_app
    fi
    (( FAILURES == before )) || echo "not ok: $SCENARIO"
}

group_ending() {
    local how usage
    for how in menu "close box"; do
        for usage in none shown hidden; do
            end_case "$how" "$usage"
        done
    done
}

# The number boxes in their tab order.
NUMBER_BOXES=(syu1 syu2 syu3 syu4 card1 card3 card4 card6 card2 card7 card5 card8
              uri1 uri2 uri3 uri4 uri6 uri7 uri8 uri9 uri5)

# Under Wine: the number boxes share an input context of their own, switched off as each takes
# the focus; the others keep the thread's, as the user left it. Wine shows the state nowhere
# outside the process, so the test build of the program tells it for the focused box; the
# user's IME key is played by the same build.
group_ime_windows() {
    local steps box
    steps="click|card_txt|"$'\n'"ime_key|"$'\n'"ime|on|"$'\n'"click|syu1|"
    for box in "${NUMBER_BOXES[@]}"; do
        steps+=$'\n'"ime|off|"$'\n'"press|Tab|"
    done
    scenario "input method per box" <<STEPS
$steps
click|card_txt|
ime|on|
click|bun_txt|
ime|on|
click|nin|
ime|off|
ime_key|
ime|on|
click|syu3|
ime|off|
click|uri_goukei_txt|
ime|on|
STEPS
}

group_ime() {
    if windows_program; then
        group_ime_windows
        return
    fi
    local missing
    missing=$(im_missing)
    if [ -n "$missing" ]; then
        echo "SKIP: no real input method to test with; missing: $(echo $missing)" \
             "('bash scripts/check.sh' installs it)"
        exit 77
    fi
    start_input_method
    # With mozc switched on, digits typed into a number box go in as typed and Tab moves on:
    # "123" in the first box, "223" in the second, and so on. A box that is not a number box keeps
    # the input method, and each focus-in starts with it off again, even after the user's key
    # (ひらがな/カタカナ or Ctrl+Space) gave it back; what mozc composes there still counts.
    # 半角/全角 is not on the display's keyboard: xdotool would map it for a moment, and a slow
    # program could read the key after the mapping is gone.
    local steps i=0 box
    steps="click|card_txt|"$'\n'"ime|mozc|"$'\n'"click|syu1|"$'\n'"ime|keyboard-us|"
    for box in "${NUMBER_BOXES[@]}"; do
        steps+=$'\n'"keys|$((++i))23|"$'\n'"press|Tab|"
    done
    steps+=$'\n'"press|Tab Tab|"$'\n'"keys|3|"$'\n'"press|Tab|"$'\n'"keys|9|"
    i=0
    for box in "${NUMBER_BOXES[@]}"; do
        steps+=$'\n'"box|$box|$((++i))23|"
    done
    scenario "digits with the input method on" <<STEPS
$steps
box|nin|3|
click|syu3|
ime|keyboard-us|
press|ctrl+a BackSpace Hiragana_Katakana|
ime|mozc|
keys|56|
press|Return Tab|
box|syu3|５６|
ime|keyboard-us|
click|uri2|
press|ctrl+a BackSpace ctrl+space|
ime|mozc|
keys|78|
press|Return Tab|
click|uri2|
ime|keyboard-us|
click|nokori_btn|
copy|copy1|赤羽毛:123、青羽毛:223、呪印:56、金腕輪:423|
click|uri_kei_btn|
copy|copy3|売1:1,323、売2:78、売3:1,523、売4:1,623、ｵｰｸ:2,123|
STEPS
}

if [ -n "$STEPS_ONLY" ]; then
    scenario() {
        echo "scenario|$1"
        cat
    }
    case $STEPS_ONLY in
    window | road | messages | errors) "group_$STEPS_ONLY" ;;
    texts)
        for name in NOKORI_START CARD_START CARD_CLEARED URI_START URI2_START BUN_START \
                    NO_SALES NO_COUNT TOO_FEW NO_TOTAL OVERFLOW MISMATCH; do
            echo "$name|${!name}"
        done
        ;;
    controls)
        for name in "${!CONTROL[@]}"; do
            echo "$name|${CONTROL[$name]}"
        done
        ;;
    *) die "no steps to print for $STEPS_ONLY" ;;
    esac
    exit 0
fi

start_display
case $GROUP in
window) group_window ;;
road) group_road ;;
clipboard) group_clipboard ;;
messages) group_messages ;;
errors) group_errors ;;
ending) group_ending ;;
ime) group_ime ;;
dpi) group_dpi ;;
contrast) group_contrast ;;
*) die "unknown group $GROUP" ;;
esac
finish
