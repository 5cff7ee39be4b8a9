#!/bin/sh
# commandline_test.sh PULTORA: the command line answers without any display.
set -u
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
out=$(run "$1" --version) || fail "--version exits $?"
echo "$out" | grep -q '^pultora [0-9.]*$' || fail "--version says: $out"
out=$(run "$1" --help) || fail "--help exits $?"
echo "$out" | grep -q -- '--headless' || fail "--help lacks --headless"
out=$(run "$1" --bogus 2>&1) && fail "--bogus exits 0"
[ $? -eq 1 ] && echo "$out" | grep -q bogus || fail "--bogus: $out"
run "$1" -platform offscreen --version | grep -q '^pultora ' || fail "-platform offscreen --version"
run "$1" -style=fusion -reverse --version | grep -q '^pultora ' || fail "-style=fusion -reverse"
out=$(run "$1" --headless 2>&1) && fail "--headless without a file exits 0"
echo "$out" | grep -q 'Usage' || fail "--headless without a file: $out"
run "$1" --allow-commands show.ptra 2>/dev/null && fail "--allow-commands without --headless"
echo "command line OK"
