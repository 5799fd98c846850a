#!/usr/bin/env bash
# Writes a catalog of 100,000 items (ten categories of about 1,000 values) for looking at the program at
# that size: PARENT/Big/Big.qlry. Usage: tools/make-big-catalog.sh [BUILD_DIR] [PARENT] [ITEMS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
parent=${2:-/tmp/quillory-big}
cmake --build "$build" --target quillory_make_big_catalog
"$build/tools/quillory_make_big_catalog" "$parent" Big "${3:-100000}"
