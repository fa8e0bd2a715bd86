#!/bin/sh
# Installs every Debian package needed to build, test, benchmark and screenshot
# the program (clang, its sanitizer and fuzzer runtimes and the symbolizer for
# the fuzz targets). Idempotent: prints nothing and touches nothing when all is present.
set -eu

PACKAGES="
build-essential
cmake
pkg-config
clang-format
qt6-base-dev
qt6-base-dev-tools
qt6-translations-l10n
qt6-svg-dev
libqt6dbus6
libgl-dev
libhidapi-dev
libudev-dev
libsimpleini-dev
libgtest-dev
libgmock-dev
googletest
libbenchmark-dev
xvfb
xauth
x11-apps
imagemagick
xdotool
umockdev
libumockdev-dev
libglib2.0-dev
fonts-dejavu-core
tzdata
dbus-daemon
clang-14
libclang-rt-14-dev
llvm-14
help2man
librsvg2-bin
desktop-file-utils
appstream
dpkg-dev
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
