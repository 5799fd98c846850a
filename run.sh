#!/usr/bin/env bash
# Installs what is missing, builds Quillory, installs the sample catalog for this user and starts the
# application on it. Arguments are passed on to the application.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build run

if [[ ! -f build/build.ninja ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)"

if [[ -x build/quillory ]]; then
    if [[ -x tools/install-sample.sh ]]; then
        tools/install-sample.sh build
    fi
    documents=$(xdg-user-dir DOCUMENTS 2>/dev/null || echo "$HOME/Documents")
    sample="$documents/Quillory/Sample3/Sample3.qlry"
    if [[ $# -eq 0 && -f "$sample" ]]; then
        exec build/quillory "$sample"
    fi
    exec build/quillory "$@"
fi

# Until the application is built, run what exists: the command-line tool, else the test suite.
if [[ -x build/cli/qlry ]]; then
    exec build/cli/qlry "${@:---help}"
fi
exec ctest --test-dir build --output-on-failure
