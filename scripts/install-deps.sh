#!/bin/sh
# Installs every Debian package needed to build, test, benchmark and screenshot
# the program (clang, its sanitizer and fuzzer runtimes and the symbolizer for
# the fuzz targets), and the browser test's node modules. Idempotent: prints
# nothing and touches nothing when all is present.
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
qt6-httpserver-dev
qt6-websockets-dev
libqt6sql6-sqlite
libmosquitto-dev
mosquitto
mosquitto-clients
libjs-dygraphs
chromium
nodejs
npm
"

missing=""
for p in $PACKAGES; do
    # A node.js package from elsewhere may bring its own npm (and conflict
    # with Debian's): any npm on the path will do.
    if [ "$p" = npm ] && command -v npm >/dev/null 2>&1; then
        continue
    fi
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

# The browser test's driver (playwright-core, from npm, at the version of
# tests/browser/package-lock.json); it uses Debian's chromium, never a
# browser of its own.
install_browser_driver() {
    browser_dir="$(dirname "$0")/../tests/browser"
    if [ ! -f "$browser_dir/node_modules/playwright-core/package.json" ]; then
        echo "Installing the browser test's node modules (npm ci)"
        npm ci --prefix "$browser_dir" --no-audit --no-fund --loglevel=error >/dev/null
    fi
}

if [ -z "$missing" ]; then
    install_browser_driver
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null

install_browser_driver
