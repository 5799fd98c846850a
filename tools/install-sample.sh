#!/usr/bin/env bash
# Installs the sample catalog for this user as "<XDG documents>/Quillory/Sample3/Sample3.qlry": copies
# data/sample/Sample3 there when it is missing, and brings back files that are missing or older than the
# shipped ones. Usage: tools/install-sample.sh [BUILD_DIR]   (the build folder is not needed for copying)
set -euo pipefail
cd "$(dirname "$0")/.."
source=data/sample/Sample3
if [[ ! -f "$source/Sample3.qlry" ]]; then
    echo "install-sample: $source/Sample3.qlry is missing; run tools/make-sample.sh" >&2
    exit 0
fi
documents=$(xdg-user-dir DOCUMENTS 2>/dev/null || true)
if [[ -z "$documents" || "$documents" == "$HOME" ]]; then
    documents="$HOME/Documents"
fi
target="$documents/Quillory/Sample3"
mkdir -p "$target"
cp -r -u --preserve=timestamps "$source/." "$target/"
