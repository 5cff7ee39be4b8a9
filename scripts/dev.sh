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
    libgl-dev librtmidi-dev jackd2 python3-rtmidi
    ola tshark iproute2 util-linux xvfb xauth chromium
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

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
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
*)
    sed -n '2,13p' "$0"
    exit 2
    ;;
esac
