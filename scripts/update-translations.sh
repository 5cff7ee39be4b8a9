#!/bin/sh
# update-translations.sh [--check]
# Brings translations/Pultora_*.ts up to date with the texts in the code
# (lupdate): new texts come in unfinished, texts gone from the code are
# dropped. Translate the unfinished ones with Qt Linguist or in the file.
# --check changes nothing and fails, naming them, when the code holds a text
# that a .ts file does not translate. LUPDATE names the lupdate program.
set -eu
cd "$(dirname "$0")/.."
if [ -z "${LUPDATE:-}" ]; then
    LUPDATE=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
fi
AREAS="app model net remote io controls dialogs doc"
# Includes name their folder from the project root.
OPTIONS="-locations none -no-obsolete -silent -I ."

# The texts of a .ts file that have no finished translation, one a line.
unfinished() {
    python3 - "$1" <<'PY'
import sys
import xml.etree.ElementTree as ET
for context in ET.parse(sys.argv[1]).getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        translation = message.find("translation")
        kind = translation.get("type") if translation is not None else "unfinished"
        if kind in ("obsolete", "vanished"):  # gone from the code
            continue
        if kind == "unfinished":
            done = False
        elif message.get("numerus") == "yes":
            forms = [form.text for form in translation.iter("numerusform")]
            done = bool(forms) and all(forms)
        else:
            done = bool(translation.text)
        if not done:
            print("%s: %s" % (name, message.findtext("source")))
PY
}

status=0
for ts in translations/Pultora_*.ts; do
    if [ "${1:-}" = "--check" ]; then
        work=$(mktemp -d)
        cp "$ts" "$work/"
        # shellcheck disable=SC2086
        "$LUPDATE" $OPTIONS $AREAS -ts "$work/$(basename "$ts")"
        missing=$(unfinished "$work/$(basename "$ts")")
        rm -rf "$work"
        if [ -n "$missing" ]; then
            echo "$ts lacks translations of texts in the code (run scripts/update-translations.sh and translate them):"
            echo "$missing" | sed 's/^/  /'
            status=1
        fi
    else
        # shellcheck disable=SC2086
        "$LUPDATE" $OPTIONS $AREAS -ts "$ts"
        count=$(unfinished "$ts" | grep -c . || true)
        echo "$ts: $count text(s) to translate"
        unfinished "$ts" | sed 's/^/  /'
    fi
done
exit $status
