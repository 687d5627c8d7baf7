# Shared by scripts/run and scripts/test: the Debian packages the project needs, installed when missing.
# shellcheck shell=bash

KELM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Building the program and its tools (libcups2-dev: raw print jobs for label printers).
KELM_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libzxing-dev libcups2-dev python3 python3-fonttools
                     fonts-dejavu-core fonts-dejavu-extra fp-utils)
# Running the tests: decoders, PDF and SVG tools, a virtual X server, clang for the fuzzers, the benchmark library,
# the desktop entry's validator.
KELM_TEST_PACKAGES=(zbar-tools poppler-utils librsvg2-bin xvfb xauth x11-utils xdotool xclip clang libclang-rt-14-dev
                    libbenchmark-dev clang-format time python3-pil glabels-data desktop-file-utils)
# Building the Debian package (scripts/package): its tools and the hardening flags.
KELM_PACKAGE_PACKAGES=(dpkg-dev binutils xz-utils)
# Checking the package (scripts/check-package): Debian's own checker and the software centres' validator.
KELM_PACKAGE_TEST_PACKAGES=(lintian appstream desktop-file-utils)
# Installing for a user and running: the documents folder's name, the font cache, the desktop's opener,
# the label-template database, the decoder that reads labels back.
KELM_RUN_PACKAGES=(xdg-user-dirs fontconfig xdg-utils glabels-data libzxing2)
# Help viewers that open "zovod.chm"; the first is installed when none of them is present.
KELM_CHM_VIEWERS=(xchm kchmviewer)

kelm_install_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
