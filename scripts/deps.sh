# Sourced by the build scripts: installs the Debian packages given that are not installed yet.
# Runs apt-get update once, and only when something is missing.
install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "Missing packages: ${missing[*]}; run this as root to install them." >&2
            return 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

# The major version of clang: the installed one's, else the one apt would install; empty when
# neither is known (no clang and no package lists yet).
clang_major() {
    if command -v clang >/dev/null 2>&1; then
        clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1
    else
        apt-cache policy clang 2>/dev/null |
            sed -n 's/^ *Candidate: *\([0-9]*:\)\{0,1\}\([0-9][0-9]*\).*/\2/p'
    fi
}

# The packages named in the given lists under scripts/packages/ (one a line, "#" starts a comment).
# In a list, @CLANG@ stands for clang's major version (libclang-rt-@CLANG@-dev), so that the
# runtimes match the clang the system has; a line with it is left out while that version is not
# known yet: install_lists installs clang first and then asks again.
packages_of() {
    local dir
    dir="$(dirname "${BASH_SOURCE[0]}")/packages"
    local clang
    clang=$(clang_major)
    local list
    for list in "$@"; do
        sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$dir/$list.txt" |
            if [ -n "$clang" ]; then sed "s/@CLANG@/$clang/g"; else grep -v '@CLANG@'; fi
    done
}

# install_lists LIST...: installs what the given lists name and is missing. A second pass finds
# what the first could not name yet (the runtimes of a clang that it installed).
install_lists() {
    local packages pass
    for pass in 1 2; do
        mapfile -t packages < <(packages_of "$@")
        install_missing "${packages[@]}" || return
    done
}
