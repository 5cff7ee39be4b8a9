#!/usr/bin/env bash
# install_test.sh SOURCE_DIR BUILD_DIR
# Builds the Debian package, unpacks it into a scratch root (dpkg-deb -x) and
# checks it as a desktop would see it: the package names its libraries, the
# desktop entry, the AppStream data and the file type are valid, the
# installed program answers --version and --help (also with no display at
# all), starts offscreen on a file
# (in a private network namespace) with its German translation, and lintian
# finds no errors.
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/pultora_*.deb)
echo "== $(basename "$deb")"
root=$work/root
dpkg-deb -x "$deb" "$root"

share=$root/usr/share
for f in "$root/usr/bin/pultora" \
    "$share/applications/org.example.pultora.desktop" \
    "$share/metainfo/org.example.pultora.metainfo.xml" \
    "$share/mime/packages/org.example.pultora.xml" \
    "$share/icons/hicolor/48x48/apps/pultora.png" \
    "$share/icons/hicolor/256x256/apps/pultora.png" \
    "$share/icons/hicolor/scalable/apps/pultora.svg" \
    "$share/pultora/translations/Pultora_de.qm" \
    "$share/pultora/guide/en/index.html" "$share/pultora/guide/de/index.html" \
    "$share/pultora/guide/guide.css" "$share/pultora/guide/pictures/de/editor.png" \
    "$share/doc/pultora/copyright" \
    "$share/doc/pultora/changelog.gz" \
    "$root/usr/lib/systemd/user/pultora-headless@.service"; do
    [ -e "$f" ] || fail "not in the package: ${f#"$root"}"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6xml6 \
    librtmidi6 qt6-qpa-plugins; do
    grep -q "\b$package\b" <<<"$depends" || fail "Depends lacks $package"
done

desktop-file-validate "$share/applications/org.example.pultora.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.example.pultora.metainfo.xml" ||
    fail "AppStream data"
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
grep -qx '[0-9]*:application/x-pultora:\*\.ptra' "$share/mime/globs2" ||
    fail "*.ptra is not application/x-pultora"
grep -qx 'MimeType=application/x-pultora;' "$share/applications/org.example.pultora.desktop" ||
    fail "the desktop entry opens no .ptra"

# The installed program, on the system's libraries, in a private network
# namespace: a first paint ends the run and writes the last session into the
# user's data folder, not the working folder.
run=$work/run
mkdir -p "$run"
chmod 700 "$run"
cat >"$run/show.ptra" <<'PTRA'
<!DOCTYPE Pultora>
<PultoraConfig version="1">
 <background version="1" size_x="300" size_y="200"/>
 <control version="1" name="Go" control_type="button_push" position_x="10" position_y="10"/>
 <control version="1" name="Dim" control_type="fader_vertical" position_x="80" position_y="10"/>
</PultoraConfig>
PTRA
start() {
    (cd "$run" && env -i PATH="$PATH" HOME="$run" XDG_CONFIG_HOME="$run/config" \
        XDG_RUNTIME_DIR="$run" QT_QPA_PLATFORM=offscreen LANG="$1" LC_ALL="$1" \
        PULTORA_UPDATE_CHECK_URL=http://127.0.0.1:9/update_check.php \
        PULTORA_REPORT_FIRST_PAINT=1 \
        timeout 120 "$src/scripts/netns.sh" "$root/usr/bin/pultora" "${@:2}")
}
start C.UTF-8 --version | grep -q '0\.8\.0\.0' || fail "--version"
# Over ssh or in a service: no display and no platform asked for.
(cd "$run" && env -i PATH="$PATH" HOME="$run" LANG=C.UTF-8 \
    timeout 60 "$src/scripts/netns.sh" "$root/usr/bin/pultora" --version) |
    grep -q '0\.8\.0\.0' || fail "--version without a display"
start C.UTF-8 --help | grep -q 'file' || fail "--help"
out=$(start de_DE.UTF-8 show.ptra) || fail "the installed program did not run: $out"
echo "$out"
grep -q '^first-paint-ms=' <<<"$out" || fail "no first paint"
session=$run/.local/share/pultora/config_last_session.ptra
[ -f "$session" ] || fail "no last session in the data folder"
[ ! -e "$run/config_last_session.ptra" ] || fail "a last session in the working folder"
[ "$(grep -c '<control ' "$session")" -eq 2 ] || fail "the file was not opened"
grep -q 'language_file="Pultora_de_DE"' "$session" || fail "the German translation was not found"

# lintian, without the tags that only a source package can settle.
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian.log" ||
    fail "lintian reports errors"
echo "== package OK"
