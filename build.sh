#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quillory (as root), builds it and then
#   ./build.sh run      starts the program from its application folder, build/quillory/
#   ./build.sh test     runs every test
#   ./build.sh package  builds the Debian package build/quillory_*.deb
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-svg-dev libgl-dev libcanberra-dev
    fonts-liberation fonts-dejavu-core)
# dpkg-shlibdeps (dpkg-dev, file) works out the package's dependencies.
package_packages=(dpkg-dev file)
run_packages=(libcanberra-pulse sound-theme-freedesktop gnome-disk-utility)
test_packages=(xvfb xdotool x11-utils clang libclang-rt-14-dev pandoc libreoffice-writer-nogui
    dbus at-spi2-core python3-pyatspi desktop-file-utils appstream lintian "${package_packages[@]}")

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# build <folder> [cmake options...]: configures (warnings are errors) and builds.
build() {
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_WERROR=ON "$@" \
        >/dev/null
    cmake --build "$folder"
}

case "${1:-}" in
run)
    install_missing "${build_packages[@]}" "${run_packages[@]}"
    build build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "Built build/quillory/quillory. No display here to show it on: start it from a desktop session." >&2
        exit 1
    fi
    exec build/quillory/quillory
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build build
    # Window and unit tests run two at a time; the black-box tests one after the other.
    (cd build && ctest --output-on-failure -j2 -LE e2e && ctest --output-on-failure -L e2e)
    # The unit and window tests once more, under AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-asan -DQUILLORY_SANITIZE=ON -DQUILLORY_BENCHMARKS=OFF
    (cd build-asan && ctest --output-on-failure -j2 -LE e2e)
    # The RTF reader against generated input, for a bounded time; any crash, leak or hang fails.
    tests/fuzz/run-fuzzer.sh 90
    ;;
package)
    install_missing "${build_packages[@]}" "${package_packages[@]}"
    build build
    (cd build && cpack -G DEB)
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
