#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest: the normal build, then the
# core and the command-line tool again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build test

jobs=$(nproc)
configure() {  # configure DIR [cmake options...], only when the folder is not configured yet
    local dir=$1; shift
    if [[ ! -f "$dir/build.ninja" ]]; then
        cmake -S . -B "$dir" -G Ninja "$@"
    fi
}

configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_WERROR=ON
cmake --build build -j "$jobs"

configure build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLORY_WERROR=ON -DQUILLORY_SANITIZE=ON \
    -DQUILLORY_CORE_ONLY=ON -DQUILLORY_BENCH=OFF
cmake --build build-asan -j "$jobs"

# The tests never touch the real user's settings or documents.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share"
export XDG_CACHE_HOME="$scratch/home/.cache" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

echo "== tests =="
ctest --test-dir build --output-on-failure -j "$jobs"
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The catalog reader under libFuzzer for about a minute, then the PCX decoder for half a minute, then the
# readers of Chromium and Firefox sessions and of internet shortcuts for 20 seconds each, each from its seed
# corpus; any finding fails the run and leaves the input in build-fuzz/.
configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_WERROR=ON -DQUILLORY_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLORY_CORE_ONLY=ON -DQUILLORY_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target catalog_file_fuzzer pcx_fuzzer \
    snss_fuzzer firefox_session_fuzzer internet_shortcut_fuzzer native_message_fuzzer
echo "== fuzzing the catalog file reader =="
mkdir -p "$scratch/fuzz-corpus"
build-fuzz/tests/fuzz/catalog_file_fuzzer -max_total_time=60 -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/ "$scratch/fuzz-corpus" tests/fuzz/corpus
echo "== fuzzing the PCX decoder =="
mkdir -p "$scratch/pcx-corpus"
build-fuzz/tests/fuzz/pcx_fuzzer -max_total_time=30 -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/ "$scratch/pcx-corpus" tests/fuzz/pcx-corpus
echo "== fuzzing the Chromium session reader =="
mkdir -p "$scratch/snss-corpus"
build-fuzz/tests/fuzz/snss_fuzzer -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/ "$scratch/snss-corpus" tests/fuzz/snss-corpus
echo "== fuzzing the Firefox session store parser =="
mkdir -p "$scratch/firefox-session-corpus"
build-fuzz/tests/fuzz/firefox_session_fuzzer -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -dict=tests/fuzz/firefox-session.dict -print_final_stats=1 -artifact_prefix=build-fuzz/ \
    "$scratch/firefox-session-corpus" tests/fuzz/firefox-session-corpus
echo "== fuzzing the internet shortcut reader =="
mkdir -p "$scratch/shortcut-corpus"
build-fuzz/tests/fuzz/internet_shortcut_fuzzer -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -dict=tests/fuzz/shortcut.dict -print_final_stats=1 -artifact_prefix=build-fuzz/ \
    "$scratch/shortcut-corpus" tests/fuzz/shortcut-corpus
echo "== fuzzing the native messaging frame reader =="
mkdir -p "$scratch/native-message-corpus"
build-fuzz/tests/fuzz/native_message_fuzzer -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/ "$scratch/native-message-corpus" tests/fuzz/native-message-corpus
