# Sourced by the Windows checks: one private Wine prefix for the whole run, shared by every
# check that starts a Windows program, on one virtual X display of its own.
#
#   wine_prefix_start      makes the prefix in a temporary folder and starts its display;
#                          exports WINEPREFIX, WINE_DISPLAY (and DISPLAY) and the settings
#                          below, and keeps the Wine server running until the end
#   wine_set_dpi DPI       the screen's dots per inch for the programs started afterwards
#   wine_prefix_stop       ends the server, its programs and the display; removes the prefix
#
# A fresh prefix takes some 13 s to make; starting an exe afterwards takes about 0.1 s while
# the server keeps running, against about 0.6 s when every start has to bring it up again.
# The prefix's desktop process stays on the display it started on: a program of the prefix
# shown on another display would wait some 10 s for a desktop there, so all share one.

export WINEDEBUG=-all
# No prompts to install Mono or Gecko: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE_PREFIX_DIR=
WINE_XVFB_PID=

# What every check relies on, written by regedit from a UTF-16LE file (the only encoding in
# which it takes the Japanese name):
# - Managed=N: without a window manager, Wine would wait some 2 s on every hide or destroy of
#   a top-level window; unmanaged, it draws the caption itself and does not wait.
# - Wine has no MS fonts: the Japanese gothics the windows ask for become IPAPGothic, the
#   proportional one (left alone, Wine picks the fixed-width IPAGothic, and message boxes show
#   boxes instead of Japanese).
# - 96 dots per inch unless a check asks for more.
# - A double click may take 5 s instead of 0.5: two clicks of a check on one button, however
#   slow the machine, are then surely a double click, which every button must take as a click.
wine_settings() {
    cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Control Panel\Mouse]
"DoubleClickSpeed"="5000"
REG
}

wine_prefix_start() {
    local program
    for program in wine wineserver iconv Xvfb; do
        command -v "$program" >/dev/null || {
            echo "$program is missing; 'bash scripts/check.sh' installs it" >&2
            return 1
        }
    done
    WINE_PREFIX_DIR=$(mktemp -d)
    export WINEPREFIX="$WINE_PREFIX_DIR/prefix"
    mkdir -m 700 "$WINEPREFIX"

    Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp -noreset \
        3>"$WINE_PREFIX_DIR/display" </dev/null >"$WINE_PREFIX_DIR/xvfb.log" 2>&1 &
    WINE_XVFB_PID=$!
    local tries
    for tries in $(seq 100); do
        grep -q '^[0-9]' "$WINE_PREFIX_DIR/display" && break
        sleep 0.1
    done
    grep -q '^[0-9]' "$WINE_PREFIX_DIR/display" || {
        echo "Xvfb did not start: $(cat "$WINE_PREFIX_DIR/xvfb.log")" >&2
        return 1
    }
    WINE_DISPLAY=":$(head -n1 "$WINE_PREFIX_DIR/display")"
    export WINE_DISPLAY DISPLAY=$WINE_DISPLAY
    unset WAYLAND_DISPLAY

    # Every program of the prefix inherits the server's descriptors: none may hold a pipe of
    # the caller open after the run.
    wineserver -p </dev/null >/dev/null 2>&1 || {
        echo "the Wine server did not start" >&2
        return 1
    }
    wine wineboot -i </dev/null >"$WINE_PREFIX_DIR/wineboot.log" 2>&1 || {
        cat "$WINE_PREFIX_DIR/wineboot.log" >&2
        return 1
    }
    { printf '\xff\xfe'; wine_settings | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } \
        >"$WINE_PREFIX_DIR/settings.reg"
    # A run of the checks once ended without a word while its prefix was being made: the
    # settings are read back, and written once more if they are not there.
    local try
    for try in 1 2; do
        wine regedit /S "$(wine_path "$WINE_PREFIX_DIR/settings.reg")" </dev/null >/dev/null 2>&1 || true
        [[ $(wine reg query 'HKCU\Control Panel\Mouse' /v DoubleClickSpeed </dev/null 2>/dev/null) == *5000* ]] &&
            return 0
    done
    echo "regedit did not write the Wine prefix's settings" >&2
    return 1
}

# The Windows name of a file of this system (Wine's drive Z: is the root).
wine_path() {
    printf 'Z:%s' "${1//\//\\}"
}

wine_set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        </dev/null >/dev/null
}

wine_prefix_stop() {
    [ -n "$WINE_PREFIX_DIR" ] || return 0
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WINE_PREFIX_DIR"
    WINE_PREFIX_DIR= WINE_XVFB_PID=
}
