#!/usr/bin/env bash
# Times qlry as a process against its references, in the same run, on catalogs of real files made by
# tools/make_bench_catalog.cpp:
#   qlry check             against  cat FILE > /dev/null
#   qlry list --all        against  sqlite3 listing every path and value in name order from an indexed
#                                   database of the same data
# and the peak memory of `qlry list --all` (from /usr/bin/time) against the size of the catalog file.
# Usage: bench/qlry_process_bench.sh [BUILD_DIR] [ITEMS...]   (defaults: build 100000; RUNS=7 runs each)
set -euo pipefail
build=$(realpath "${1:-build}")
shift || true
sizes=("${@:-100000}")
[[ ${#sizes[@]} -eq 0 ]] && sizes=(100000)
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

milliseconds() {  # runs the command once, output discarded; prints its wall time in ms, to 0.01 ms
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN {printf "%.2f", ns / 1000000}'
}
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

query="SELECT items.name, items.path, item_values.value FROM items JOIN item_values ON item_values.item = items.id
       ORDER BY items.name, item_values.cat, item_values.value;"

for n in "${sizes[@]}"; do
    folder="$work/$n"
    catalog=$("$build/tools/quillory_make_bench_catalog" "$folder" "$n")
    sqlite3 "$folder/big.db" <"$folder/big.sql" >/dev/null
    rm -f "$folder/big.sql"
    qlry="$build/cli/qlry"
    cat "$catalog" >/dev/null
    "$qlry" list "$catalog" --all >/dev/null
    declare -A times=()
    for _ in $(seq "$runs"); do
        times[cat]+="$(milliseconds cat "$catalog") "
        times[check]+="$(milliseconds "$qlry" check "$catalog") "
        times[list]+="$(milliseconds "$qlry" list "$catalog" --all) "
        times[sqlite]+="$(milliseconds sqlite3 "$folder/big.db" "$query") "
    done
    for key in cat check list sqlite; do
        declare "m_$key=$(tr ' ' '\n' <<<"${times[$key]}" | grep . | median)"
    done
    peak_kb=$(/usr/bin/time -f %M "$qlry" list "$catalog" --all 2>&1 >/dev/null | tail -1)
    file_kb=$(($(stat -c %s "$catalog") / 1024))
    echo "== $n items, catalog file $file_kb KB, medians of $runs runs (wall, ms) =="
    echo "qlry check       $m_check   cat > /dev/null  $m_cat   ratio $(ratio "$m_check" "$m_cat")  (goal <= 20)"
    echo "qlry list --all  $m_list   sqlite3 query    $m_sqlite   ratio $(ratio "$m_list" "$m_sqlite")  (goal <= 1)"
    echo "qlry list --all peak memory $peak_kb KB = $(ratio "$peak_kb" "$file_kb") x the file (goal <= 2.5)"
    unset times
done
