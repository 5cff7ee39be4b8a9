#!/usr/bin/env bash
# Developer entry point. On a fresh Debian 12 machine:
#   scripts/dev.sh start [FILE]  install what is missing, build, start the console
#   scripts/dev.sh test      install what is missing, build, run every test
# and further:
#   scripts/dev.sh sanitize  build with ASan+UBSan and run the unit tests
#   scripts/dev.sh fuzz [S]  build the libFuzzer targets and run each S seconds
#   scripts/dev.sh bench [--short]  build and run the benchmarks
#   scripts/dev.sh package   build the Debian package (build/pultora_*.deb)
#   scripts/dev.sh format [--check]  apply .clang-format to every source (--check: list
#                            the files that differ and fail)
#   scripts/dev.sh guide     screenshots of the user guide (guide/pictures/), taken from the
#                            console under Xvfb inside the private network namespace
#   scripts/dev.sh size      non-blank lines of product and test sources, and their ratio
#   scripts/dev.sh mutate [MODULE...]  apply each mutation of tests/mutations.txt in a
#                            scratch copy (build-mutate/), run its tests, count the killed;
#                            MUTATE_FROM=COMMIT copies that commit instead of the working tree
# The console and every test run inside a private network namespace, so
# nothing leaves this machine; `start --live [FILE]` talks to the real network.
set -euo pipefail
CALLER=$(pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=${JOBS:-$(nproc)}

PACKAGES=(
    cmake ninja-build pkg-config g++ clang libclang-rt-14-dev clang-format
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libgl-dev librtmidi-dev jackd2 python3-rtmidi qt6-websockets-dev libqrencode-dev
    ola tshark iproute2 util-linux xvfb xauth chromium chromium-driver python3-selenium python3-websockets
    lintian desktop-file-utils appstream shared-mime-info dpkg-dev file qt6-translations-l10n
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

install_deps() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== installing: ${missing[*]}"
        # The test peers (olad, jackd) must not start as system services:
        # olad would talk Art-Net and E1.31 on the real network. A policy
        # that refuses every service start holds for this install only.
        local policy=/usr/sbin/policy-rc.d created=
        if [ ! -e "$policy" ]; then
            as_root sh -c "printf '#!/bin/sh\nexit 101\n' > $policy && chmod 755 $policy"
            created=1
        fi
        as_root apt-get update -qq
        local status=0
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null || status=$?
        [ -z "$created" ] || as_root rm -f "$policy"
        # Nor at the next boot: the tests start their own olad when needed.
        if [[ " ${missing[*]} " == *" ola "* ]]; then
            as_root update-rc.d olad disable >/dev/null 2>&1 || true
            command -v systemctl >/dev/null && as_root systemctl disable olad >/dev/null 2>&1 || true
        fi
        return $status
    fi
}

# Test peers from npm, into DIR/peers/npm (never globally): the OSC peer of
# tst_consoleio. Without npm the tests that need them skip.
install_npm_peers() {
    local dir=$1/peers/npm
    [ -f "$dir/node_modules/osc/package.json" ] && return 0
    if ! command -v npm >/dev/null; then
        echo "== npm is missing: the OSC peer test skips"
        return 0
    fi
    mkdir -p "$dir"
    npm install --prefix "$dir" --no-audit --no-fund --no-save osc@2.4 >/dev/null ||
        echo "== npm could not install the OSC peer: its test skips"
}

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

# The sources git tracks or would track (tracked, and untracked but not
# ignored), as they are in the working tree, NUL-separated. Arguments are
# pathspecs.
worktree_files() {
    git -C "$ROOT" ls-files -z --cached --others --exclude-standard -- "$@" |
        sort -zu | while IFS= read -r -d '' f; do
            [ -f "$ROOT/$f" ] && printf '%s\0' "$f"
        done
}

# nonblank_lines DIR...: non-blank lines of the .cpp and .h files under DIRs
nonblank_lines() {
    local specs=() d
    for d in "$@"; do specs+=("$d/*.cpp" "$d/*.h"); done
    worktree_files "${specs[@]}" | (cd "$ROOT" && xargs -0 -r awk 'NF { n++ } END { print n + 0 }') |
        awk '{ s += $1 } END { print s + 0 }'
}

# --- mutate -----------------------------------------------------------------
# The list ($MUTATIONS, else tests/mutations.txt; its head says the format)
# is read into M_ID, M_MODULE, M_FILE, M_TESTS (space-separated), M_WHY,
# M_ORIG, M_REPL and M_AT (its line in the list).
MUTATIONS=${MUTATIONS:-tests/mutations.txt}
BUILD_LOCK=/tmp/pultora-build.lock

read_mutations() {
    local list=$MUTATIONS line n=0 cur=-1 state= id
    [[ $list == /* ]] || list=$ROOT/$list
    M_ID=() M_MODULE=() M_FILE=() M_TESTS=() M_WHY=() M_ORIG=() M_REPL=() M_AT=()
    local -A seen=()
    fail_list() { echo "mutate: $MUTATIONS:$n: $*" >&2; exit 2; }
    close_block() {
        [ "$cur" -ge 0 ] || return 0
        [ -n "${M_ORIG[$cur]}" ] || { n=${M_AT[$cur]}; fail_list "${M_ID[$cur]}: no original text (\"- \" lines)"; }
        [ "$state" = "+" ] || { n=${M_AT[$cur]}; fail_list "${M_ID[$cur]}: no replacement (\"+ \" lines)"; }
    }
    while IFS= read -r line || [ -n "$line" ]; do
        n=$((n + 1))
        case "$line" in
        '@ '*)
            close_block
            local f=()
            read -r -a f <<<"${line#@ }"
            [ ${#f[@]} -eq 4 ] || fail_list "want \"@ ID MODULE FILE TEST[,TEST...]\""
            id=${f[0]}
            [ -z "${seen[$id]:-}" ] || fail_list "$id is also at line ${seen[$id]}"
            seen[$id]=$n
            cur=${#M_ID[@]} state=@
            M_ID+=("$id") M_MODULE+=("${f[1]}") M_FILE+=("${f[2]}") M_TESTS+=("${f[3]//,/ }")
            M_WHY+=("") M_ORIG+=("") M_REPL+=("") M_AT+=("$n")
            ;;
        '? '*)
            [ "$state" = @ ] || fail_list "\"?\" belongs right after the \"@\" line"
            M_WHY[$cur]=${line:2}
            ;;
        -|'- '*)
            case "$state" in
            @) M_ORIG[$cur]=${line:2} ;;
            -) M_ORIG[$cur]+=$'\n'${line:2} ;;
            *) fail_list "\"-\" lines come after the \"@\" line and before the \"+\" lines" ;;
            esac
            state=-
            ;;
        +|'+ '*)
            case "$state" in
            -) M_REPL[$cur]=${line:2} ;;
            +) M_REPL[$cur]+=$'\n'${line:2} ;;
            *) fail_list "\"+\" lines come after the \"-\" lines" ;;
            esac
            state=+
            ;;
        ''|'#'*)
            [ "$state" != - ] || fail_list "the \"-\" lines of ${M_ID[$cur]} want \"+\" lines after them"
            ;;
        *) fail_list "a line starts with @, ?, -, +, # or is blank" ;;
        esac
    done <"$list"
    close_block
}

# read_text FILE: the text of FILE in TEXT, trailing newlines kept.
read_text() {
    TEXT=$(cat "$1" && printf x) || return 1
    TEXT=${TEXT%x}
}

# count_in TEXT PART: how often PART occurs in TEXT (without overlap)
count_in() {
    local rest=$1 n=0
    while [[ $rest == *"$2"* ]]; do
        rest=${rest#*"$2"}
        n=$((n + 1))
    done
    echo $n
}

# first_line TEXT: its first line, for messages ("..." when there are more)
first_line() {
    local l=${1%%$'\n'*}
    [ "$l" = "$1" ] || l+=" ..."
    printf '"%s"' "$(sed 's/^[[:space:]]*//' <<<"$l")"
}

# line_numbers FILE FIXED-STRING: "line 12", "lines 12, 40" holding it
line_numbers() {
    local n
    n=$(grep -nF -- "$2" "$1" | cut -d: -f1 | head -n 8 | paste -sd, - | sed 's/,/, /g')
    [[ $n == *,* ]] && echo "lines $n" || echo "line $n"
}

# closest_lines FILE TEXT: the lines of FILE sharing the most names with
# TEXT (at most three), as 'line 75 "if (s.priority > top) {"'
closest_lines() {
    awk -v text="$2" '
        function names(s, set,   n, parts, i) {
            n = split(s, parts, /[^A-Za-z0-9_]+/)
            for (i = 1; i <= n; i++) if (parts[i] ~ /^[A-Za-z_]/) set[parts[i]] = 1
        }
        BEGIN { names(text, want) }
        {
            delete have; names($0, have); score = 0
            for (w in want) if (w in have) score++
            if (score > 0 && score >= best) {
                if (score > best) { best = score; found = "" }
                line = $0; sub(/^[ \t]+/, "", line)
                if (split(found, seen, "; ") < 3)
                    found = found (found == "" ? "" : "; ") "line " NR " \"" line "\""
            }
        }
        END { print found }' "$1"
}

# why_not_found SRC FILE ORIG: what helps to re-aim a mutation whose text is
# not in FILE: another source holding it, the lines of FILE that still hold
# a line of it, or the lines closest to it.
why_not_found() {
    local src=$1 file=$2 orig=$3 first other=() f l hits
    first=$(sed 's/^[[:space:]]*//' <<<"${orig%%$'\n'*}")
    while IFS= read -r -d '' f; do
        read_text "$src/$f"
        [ "$f" = "$file" ] || [ "$(count_in "$TEXT" "$orig")" -eq 0 ] || other+=("$f")
    done < <(cd "$src" && grep -rlZF --include='*.cpp' --include='*.h' -- "$first" . 2>/dev/null |
        sed -z 's|^\./||')
    if [ ${#other[@]} -gt 0 ]; then
        printf '; the text is now in %s' "${other[*]}"
        return 0
    fi
    [ -f "$src/$file" ] || return 0
    if [[ $orig == *$'\n'* ]]; then
        while IFS= read -r l; do
            l=$(sed 's/^[[:space:]]*//' <<<"$l")
            [ -n "$l" ] || continue
            if grep -qF -- "$l" "$src/$file"; then
                printf '; "%s" is at %s' "$l" "$(line_numbers "$src/$file" "$l")"
            else
                printf '; "%s" is gone' "$l"
            fi
        done <<<"$orig"
        return 0
    fi
    hits=$(closest_lines "$src/$file" "$orig")
    [ -n "$hits" ] && printf '; closest: %s' "$hits" || printf '; none of its names is in it'
}

# apply_mutation SRC I: writes mutation I into its file under SRC (the
# original kept in $MUTATE_DIR/original) or prints why it cannot and fails.
apply_mutation() {
    local src=$1 i=$2 file=${M_FILE[$2]} orig=${M_ORIG[$2]} text n
    if [ ! -f "$src/$file" ]; then
        echo "no file $file$(why_not_found "$src" "$file" "$orig")"
        return 1
    fi
    read_text "$src/$file"
    text=$TEXT
    n=$(count_in "$text" "$orig")
    if [ "$n" -eq 0 ]; then
        echo "not found in $file: $(first_line "$orig")$(why_not_found "$src" "$file" "$orig")"
        return 1
    fi
    if [ "$n" -gt 1 ]; then
        echo "found $n times in $file (its first line at $(line_numbers "$src/$file" \
            "$(sed 's/^[[:space:]]*//' <<<"${orig%%$'\n'*}")")): $(first_line "$orig")"
        return 1
    fi
    if [ "$orig" = "${M_REPL[$i]}" ]; then
        echo "the replacement is the original"
        return 1
    fi
    cp "$src/$file" "$MUTATE_DIR/original"
    printf '%s' "${text%%"$orig"*}${M_REPL[$i]}${text#*"$orig"}" >"$src/$file"
}

# restore_mutation SRC FILE: the original back, newer than anything the
# mutation built, so that the next build compiles it again.
restore_mutation() {
    local src=$1 file=$2 orig=$MUTATE_DIR/original
    [ -f "$orig" ] || return 0
    cp "$orig" "$src/$file"
    cmp -s "$orig" "$src/$file" || { echo "mutate: cannot restore $file" >&2; exit 1; }
    rm "$orig"
    touch "$src/$file"
}

# sync_scratch SRC [FROM]: SRC holds exactly the files of FROM (a folder), or
# by default the working tree's tracked and
# untracked-not-ignored files; a file copied anew gets a new time.
sync_scratch() {
    local src=$1 from=${2:-$ROOT} f
    mkdir -p "$src"
    local -A want=()
    while IFS= read -r -d '' f; do
        want[$f]=1
        if ! cmp -s "$from/$f" "$src/$f"; then
            mkdir -p "$src/$(dirname "$f")"
            rm -f "$src/$f"
            cp "$from/$f" "$src/$f"
        fi
    done < <(if [ "$from" = "$ROOT" ]; then worktree_files; else
        cd "$from" && find . -type f -print0 | sed -z 's|^\./||'; fi)
    while IFS= read -r -d '' f; do
        f=${f#./}
        [ -n "${want[$f]:-}" ] || rm -f "$src/$f"
    done < <(cd "$src" && find . -type f -print0)
}

# failed_tests LOG: the tests ctest reports as failed, "tst_a (Failed)"
failed_tests() {
    sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (\(.*\))$/\1 (\2)/p' "$1" | paste -sd, - | sed 's/,/, /g'
}

# mutate [MODULE...]: see tests/mutations.txt
mutate() {
    MUTATE_DIR=$ROOT/build-mutate
    local src=$MUTATE_DIR/src bld=$MUTATE_DIR/build logs=$MUTATE_DIR/log
    local results=$MUTATE_DIR/results.txt started=$SECONDS i m t
    read_mutations
    local sel=()
    if [ $# -gt 0 ]; then
        for m in "$@"; do
            [[ " ${M_MODULE[*]} " == *" $m "* ]] || {
                echo "mutate: no module $m; the list has: $(printf '%s\n' "${M_MODULE[@]}" | sort -u | paste -sd' ' -)" >&2
                exit 2
            }
        done
        for i in "${!M_ID[@]}"; do
            for m in "$@"; do [ "${M_MODULE[$i]}" != "$m" ] || sel+=("$i"); done
        done
    else
        sel=("${!M_ID[@]}")
    fi
    say() { printf '%s\n' "$*" | tee -a "$results"; }

    mkdir -p "$MUTATE_DIR"
    # One run at a time: two would overwrite each other's scratch files.
    exec 8>"$MUTATE_DIR/run.lock"
    if ! flock -n 8; then
        echo "mutate: waiting for the other run in build-mutate/ to end" >&2
        flock 8
    fi
    rm -rf "$logs" "$MUTATE_DIR/original" "$results"
    mkdir -p "$logs"
    say "== ${#sel[@]} mutations; ${MUTATE_FROM:-the working tree} copied to build-mutate/src"
    if [ -n "${MUTATE_FROM:-}" ]; then
        # A commit instead of the working tree, whatever is being edited there.
        rm -rf "$MUTATE_DIR/from" && mkdir -p "$MUTATE_DIR/from"
        git -C "$ROOT" archive "$MUTATE_FROM" | tar -x -C "$MUTATE_DIR/from" || exit 1
        sync_scratch "$src" "$MUTATE_DIR/from"
    else
        sync_scratch "$src"
    fi
    flock "$BUILD_LOCK" cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPULTORA_BENCH=OFF >"$logs/configure.log" 2>&1 || {
        tail -n 20 "$logs/configure.log" >&2
        exit 1
    }

    # A test the build does not know, or one that fails without a mutation,
    # makes its mutations invalid.
    local -A known=() wanted=() status=() detail=() base=()
    while IFS= read -r t; do known[$t]=1; done < <(ctest --test-dir "$bld" -N |
        sed -n 's/^ *Test *#[0-9]*: \(.*\)$/\1/p')
    for i in "${sel[@]}"; do
        for t in ${M_TESTS[$i]}; do
            if [ -n "${known[$t]:-}" ]; then
                wanted[$t]=1
            else
                status[$i]=invalid detail[$i]="no test $t in the build"
            fi
        done
    done
    local tests=("${!wanted[@]}")
    [ ${#tests[@]} -gt 0 ] || { say "== no test to run"; exit 1; }
    say "== building the tests the mutations name (${#tests[@]}) in build-mutate/build"
    flock "$BUILD_LOCK" cmake --build "$bld" -j "$JOBS" --target "${tests[@]}" >"$logs/build.log" 2>&1 || {
        tail -n 30 "$logs/build.log" >&2
        echo "mutate: the copy does not build unmutated (build-mutate/log/build.log)" >&2
        exit 1
    }
    say "== the tests without a mutation"
    "$ROOT/scripts/netns.sh" ctest --test-dir "$bld" -j "$JOBS" --output-on-failure \
        -R "^($(IFS='|' && echo "${tests[*]}"))\$" >"$logs/unmutated.log" 2>&1 || true
    while read -r t secs; do
        base[$t]=$secs
    done < <(sed -n 's/^ *[0-9]*\/[0-9]* *Test *#[0-9]*: \([^ ]*\) .*Passed *\([0-9.]*\) sec$/\1 \2/p' \
        "$logs/unmutated.log")
    for t in "${tests[@]}"; do
        [ -n "${base[$t]:-}" ] && continue
        say "   $t fails without a mutation (build-mutate/log/unmutated.log): its mutations are invalid"
        for i in "${sel[@]}"; do
            [[ " ${M_TESTS[$i]} " != *" $t "* ]] || [ -n "${status[$i]:-}" ] ||
                status[$i]=invalid detail[$i]="$t fails without a mutation"
        done
    done

    local k=0 total=${#sel[@]} log limit rc why ts secs
    for i in "${sel[@]}"; do
        k=$((k + 1))
        log=$logs/${M_ID[$i]}.log
        if [ -z "${status[$i]:-}" ]; then
            if why=$(apply_mutation "$src" "$i"); then
                read -r -a ts <<<"${M_TESTS[$i]}"
                if ! flock "$BUILD_LOCK" cmake --build "$bld" -j "$JOBS" --target "${ts[@]}" >"$log" 2>&1; then
                    status[$i]=invalid
                    detail[$i]="does not compile: $(grep -m 1 -o 'error: .*' "$log" | cut -c 1-120) (build-mutate/log/${M_ID[$i]}.log)"
                else
                    # Three times what the tests took unmutated, and half a minute.
                    secs=0
                    for t in "${ts[@]}"; do secs=$(awk -v a="$secs" -v b="${base[$t]}" 'BEGIN { print a + b }'); done
                    limit=${MUTATE_TIMEOUT:-$(awk -v s="$secs" 'BEGIN { l = int(30 + 3 * s); print l < 60 ? 60 : l }')}
                    rc=0
                    timeout -k 10 "$limit" "$ROOT/scripts/netns.sh" ctest --test-dir "$bld" -j "$JOBS" \
                        --output-on-failure --stop-on-failure \
                        -R "^($(IFS='|' && echo "${ts[*]}"))\$" >>"$log" 2>&1 || rc=$?
                    case $rc in
                    0) status[$i]=survived
                       [ ${#ts[@]} -gt 3 ] && detail[$i]="all ${#ts[@]} tests passed" ||
                           detail[$i]="${ts[*]} passed" ;;
                    124 | 137) status[$i]=killed detail[$i]="timed out after ${limit}s" ;;
                    *) status[$i]=killed detail[$i]=$(failed_tests "$log")
                       [ -n "${detail[$i]}" ] || detail[$i]="ctest failed ($rc)" ;;
                    esac
                fi
                restore_mutation "$src" "${M_FILE[$i]}"
            else
                status[$i]=invalid detail[$i]=$why
            fi
        fi
        say "$(printf '[%*d/%d] %-8s %-30s %s' "${#total}" "$k" "$total" "${status[$i]}" "${M_ID[$i]}" \
            "${detail[$i]}")"
    done

    local killed=0 survived=0 invalid=0
    for i in "${sel[@]}"; do
        case ${status[$i]} in
        killed) killed=$((killed + 1)) ;;
        survived) survived=$((survived + 1)) ;;
        *) invalid=$((invalid + 1)) ;;
        esac
    done
    local took=$((SECONDS - started)) valid=$((killed + survived))
    say "== ${#sel[@]} mutations in $((took / 60))m$((took % 60))s: $killed killed, $survived survived, $invalid invalid"
    [ "$valid" -eq 0 ] ||
        say "$(awk -v k=$killed -v v=$valid 'BEGIN { printf "== killed %.1f%% of the %d valid", 100 * k / v, v }')"
    for i in "${sel[@]}"; do
        [ "${status[$i]}" = survived ] || continue
        say "survived ${M_ID[$i]} (${M_MODULE[$i]}, ${M_FILE[$i]}, ${M_TESTS[$i]}): ${M_WHY[$i]}"
    done
    for i in "${sel[@]}"; do
        [ "${status[$i]}" = invalid ] || continue
        say "invalid  ${M_ID[$i]} (list line ${M_AT[$i]}): ${detail[$i]}"
    done
    say "== the table is in build-mutate/results.txt, each mutation's build and test output in build-mutate/log/"
}

# The user guide's pictures: one row per picture, "name show action". The
# console starts on guide/shows/<show>.ptra, the action below brings the
# window in front, and guide/pictures/<en|de>/<name>.png is the picture of
# that window. The guide shows no other pictures (tests/package/guide_test.py).
GUIDE_SHOTS=(
    "window studio none"
    "menu studio menu"
    "design studio design"
    "palette studio palette"
    "editor studio editor"
    "overview studio overview"
    "check studio check"
    "preferences studio preferences"
    "preferences-computer studio preferences_computer"
    "remote studio remote"
)
GUIDE_PACKAGES=(xvfb xdotool x11-apps netpbm)

# guide_action ACTION CONSOLE: does ACTION on the console window CONSOLE;
# prints "console" when the picture is the console, "new" when it is the
# windows the action opened (a menu, a dialog).
guide_action() {
    local console=$2
    local at=(xdotool mousemove --window "$console")
    case "$1" in
    none) echo console ;;
    menu) "${at[@]}" 300 20 click 3; echo new ;;
    design)
        xdotool key ctrl+shift+e
        sleep 0.5
        "${at[@]}" 64 200 click 1
        xdotool keydown ctrl; "${at[@]}" 134 200 click 1; xdotool keyup ctrl
        "${at[@]}" 600 345
        echo console ;;
    palette) xdotool key ctrl+shift+e; echo new ;;
    editor) "${at[@]}" 64 200 click 3; sleep 0.3; xdotool key Escape ctrl+e; echo new ;;
    overview) xdotool key ctrl+o; echo new ;;
    check) xdotool key ctrl+j; echo new ;;
    preferences) xdotool key ctrl+p; echo new ;;
    preferences_computer) xdotool key ctrl+p; sleep 0.7; xdotool key ctrl+Tab; echo new ;;
    # Web Remote... is the third entry from the menu's end.
    remote) "${at[@]}" 560 330 click 3; sleep 0.3; xdotool key Up Up Up Return; echo new ;;
    *) echo "guide: no action $1" >&2; return 1 ;;
    esac
}

# Runs inside the private namespace: an X server of its own, one console
# per picture and language.
guide_shots() {
    local display=:77 lang row name show action work pid console target
    Xvfb "$display" -screen 0 1280x1000x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    export DISPLAY=$display
    for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    for lang in en de; do
        mkdir -p "$ROOT/guide/pictures/$lang"
        for row in "${GUIDE_SHOTS[@]}"; do
            read -r name show action <<<"$row"
            work=$(mktemp -d)
            cp "$ROOT/guide/shows/$show.ptra" "$work/"
            local args=()
            [ "$action" != remote ] || args=(--remote-port 9080 --remote-pin 4321)
            (cd "$work" && exec env HOME="$work" XDG_CONFIG_HOME="$work/config" \
                XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" \
                LANG="$([ $lang = de ] && echo de_DE.UTF-8 || echo en_US.UTF-8)" LANGUAGE=$lang \
                QT_LOGGING_RULES='*=false' "$ROOT/build/app/pultora" ${args[@]+"${args[@]}"} \
                "$show.ptra") >"$work/log" 2>&1 &
            pid=$!
            console=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pultora ' | head -1)
            sleep 1.5
            xdotool windowfocus --sync "$console" 2>/dev/null || true
            local before
            before=$(xdotool search --onlyvisible --name '' | sort)
            target=$(guide_action "$action" "$console")
            sleep 1.5
            local windows=()
            case "$target" in
            console) windows=("$console") ;;
            new)
                mapfile -t windows < <(comm -13 <(echo "$before") \
                    <(xdotool search --onlyvisible --name '' | sort)) ;;
            esac
            # The largest of those windows. With no window manager a dialog
            # shows black on the screen, and its own picture only once moved.
            local w X Y WIDTH HEIGHT best='' area=0
            for w in "${windows[@]}"; do
                eval "$(xdotool getwindowgeometry --shell "$w")"
                [ $((WIDTH * HEIGHT)) -gt "$area" ] || continue
                best=$w area=$((WIDTH * HEIGHT))
            done
            if [ -z "$best" ]; then
                echo "guide: $lang/$name: no window to take" >&2
            else
                eval "$(xdotool getwindowgeometry --shell "$best")"
                xdotool windowmove "$best" $((X + 1)) "$Y"
                sleep 0.7
                xwd -id "$best" -silent | xwdtopnm 2>/dev/null | pnmquant 256 2>/dev/null |
                    pnmtopng -compression 9 >"$ROOT/guide/pictures/$lang/$name.png"
                echo "== $lang/$name.png ${WIDTH}x$HEIGHT"
            fi
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            rm -rf "$work"
        done
    done
    kill "$xvfb"
}

cmd=${1:-}
shift || true
case "$cmd" in
start)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "start: no display; on a machine without one use: xvfb-run -a $0 start" >&2
        exit 1
    fi
    install_deps
    build "$ROOT/build"
    # A fresh working folder: without a config_default.ptra there, the
    # console offers its built-in default configuration.
    mkdir -p "$ROOT/build/run"
    cd "$ROOT/build/run"
    live=
    if [ "${1:-}" = "--live" ]; then
        live=1
        shift
    fi
    # A file named on the command line, as seen from where this was called.
    files=()
    for f in "$@"; do
        case "$f" in /*|-*) files+=("$f") ;; *) files+=("$CALLER/$f") ;; esac
    done
    set -- ${files[@]+"${files[@]}"}
    if [ -n "$live" ]; then
        echo "== starting the console on the real network: what it sends reaches your equipment"
        exec "$ROOT/build/app/pultora" "$@"
    fi
    # A first start must not put DMX on someone's network.
    echo "== starting the console in a private network namespace: nothing it sends leaves this machine"
    echo "   to drive real equipment: $0 start --live"
    exec "$ROOT/scripts/netns.sh" "$ROOT/build/app/pultora" "$@"
    ;;
test)
    install_deps
    build "$ROOT/build"
    install_npm_peers "$ROOT/build"
    "$ROOT/scripts/netns.sh" ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"
    ;;
sanitize)
    install_deps
    build "$ROOT/build-asan" -DCMAKE_CXX_COMPILER=clang++ -DPULTORA_SANITIZE=ON -DPULTORA_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        "$ROOT/scripts/netns.sh" ctest --test-dir "$ROOT/build-asan" --output-on-failure \
        -j "$JOBS" -L unit
    ;;
fuzz)
    secs=${1:-60}
    install_deps
    cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DPULTORA_FUZZ=ON -DPULTORA_BENCH=OFF >/dev/null
    # Only the fuzz drivers and what they link.
    mapfile -t targets < <(ninja -C "$ROOT/build-fuzz" -t targets all |
        sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | grep -v _autogen | sort -u)
    cmake --build "$ROOT/build-fuzz" -j "$JOBS" --target "${targets[@]}"
    mapfile -t fuzzers < <(find "$ROOT/build-fuzz/tests" -type f -name 'fuzz_*' -perm -u+x)
    for f in "${fuzzers[@]}"; do
        name=$(basename "$f")
        corpus="$ROOT/build-fuzz/corpus/$name"
        mkdir -p "$corpus"
        seeds="$ROOT/tests/fuzz-corpus/$name"
        [ -d "$seeds" ] || seeds=
        echo "== $name for ${secs}s"
        ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
            "$ROOT/scripts/netns.sh" "$f" -max_total_time="$secs" -print_final_stats=0 \
            -artifact_prefix="$ROOT/build-fuzz/" "$corpus" $seeds 2>&1 | tail -n 3
    done
    ;;
bench)
    install_deps
    build "$ROOT/build"
    mapfile -t benches < <(find "$ROOT/build/bench" -type f -name 'bench_*' -perm -u+x | sort)
    for b in "${benches[@]}"; do
        echo "== $(basename "$b")"
        QT_QPA_PLATFORM=offscreen "$ROOT/scripts/netns.sh" "$b" "$@"
    done
    ;;
format)
    install_deps
    mapfile -t sources < <(git -C "$ROOT" ls-files '*.cpp' '*.h')
    if [ "${1:-}" = "--check" ]; then
        unformatted=()
        for f in "${sources[@]}"; do
            clang-format "$ROOT/$f" | cmp -s - "$ROOT/$f" || unformatted+=("$f")
        done
        if [ ${#unformatted[@]} -gt 0 ]; then
            printf 'not formatted: %s\n' "${unformatted[@]}" >&2
            echo "format: run scripts/dev.sh format" >&2
            exit 1
        fi
        echo "format: ${#sources[@]} files as .clang-format says"
    else
        (cd "$ROOT" && clang-format -i "${sources[@]}")
    fi
    ;;
package)
    install_deps
    build "$ROOT/build"
    (cd "$ROOT/build" && cpack -G DEB)
    ls "$ROOT"/build/pultora_*.deb
    ;;
guide)
    PACKAGES+=("${GUIDE_PACKAGES[@]}")
    install_deps
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$ROOT/build" -j "$JOBS" --target pultora pultora_lrelease
    start=$SECONDS
    "$ROOT/scripts/netns.sh" "$ROOT/scripts/dev.sh" _guide_shots
    echo "== guide pictures in $((SECONDS - start)) s: $(du -sh "$ROOT/guide/pictures" | cut -f1)"
    ;;
_guide_shots)
    guide_shots
    ;;
size)
    product=$(nonblank_lines model net remote io controls dialogs doc app)
    tests=$(nonblank_lines tests)
    awk -v p="$product" -v t="$tests" 'BEGIN { printf "product %d  tests %d  ratio %.3f\n", p, t, t / p }'
    ;;
mutate)
    mutate "$@"
    ;;
*)
    sed -n '2,19p' "$0"
    exit 2
    ;;
esac
