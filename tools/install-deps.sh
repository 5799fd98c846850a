#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quillory need, and only those that are
# missing, so that a second run installs nothing. Works as root and as a user with sudo.
# Usage: tools/install-deps.sh [build|test|run|sample]...
set -euo pipefail

build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
    qt6-image-formats-plugins qt6-wayland qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev liblz4-dev libxcb1-dev
    fonts-ipafont-gothic fonts-ipafont-mincho shared-mime-info desktop-file-utils xdg-user-dirs
    adwaita-icon-theme
)
test_packages=(
    clang libclang-rt-14-dev
    nkf libc-bin libxml2-utils file python3 sqlite3 time unrtf imagemagick xdotool
    xvfb xauth firefox-esr chromium dbus-daemon
    python3-pyatspi at-spi2-core python3-gi gir1.2-atspi-2.0 python3-xlib xclip openbox
)
run_packages=(
    xdg-utils qt6-image-formats-plugins
)
sample_packages=(
    imagemagick
)

wanted=("${build_packages[@]}")
for kind in "$@"; do
    case "$kind" in
        build) ;;
        test) wanted+=("${test_packages[@]}") ;;
        run) wanted+=("${run_packages[@]}") ;;
        sample) wanted+=("${sample_packages[@]}") ;;
        *) echo "install-deps: unknown kind '$kind'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
