#!/bin/sh
# Checks the Debian package that `make package` built: every file in its
# place, the maintainer scripts, the udev rule's text, the desktop entry and
# AppStream metainfo valid; then unpacks it into a scratch root and runs the
# unpacked command-line tool from there.
#
#   scripts/check-package.sh [BUILD_DIR]
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(ls -t "$build"/kestvelqor_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "check-package: no package in $build (make package)" >&2; exit 1; }

failures=0
fail() {
    echo "check-package: $*" >&2
    failures=$((failures + 1))
}

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's#^\./#/#')
for file in \
    /usr/bin/kestvelqor \
    /usr/bin/kestvelqorctl \
    /usr/lib/udev/rules.d/70-kestvelqor.rules \
    /usr/lib/systemd/user/kestvelqor-serve.service \
    /usr/lib/systemd/user/kestvelqor-serve@.service \
    /usr/share/applications/kestvelqor.desktop \
    /usr/share/metainfo/example.kestlighting.kestvelqor.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/kestvelqor.svg \
    /usr/share/icons/hicolor/16x16/apps/kestvelqor.png \
    /usr/share/icons/hicolor/32x32/apps/kestvelqor.png \
    /usr/share/icons/hicolor/48x48/apps/kestvelqor.png \
    /usr/share/icons/hicolor/64x64/apps/kestvelqor.png \
    /usr/share/icons/hicolor/128x128/apps/kestvelqor.png \
    /usr/share/icons/hicolor/256x256/apps/kestvelqor.png \
    /usr/share/man/man1/kestvelqor.1.gz \
    /usr/share/man/man1/kestvelqorctl.1.gz \
    /usr/share/doc/kestvelqor/copyright; do
    echo "$contents" | grep -qx "$file" || fail "missing $file"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Maintainer scripts: present, executable, and doing what they are for.
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst postrm; do
    [ -x "$scratch/control/$script" ] || fail "$script missing or not executable"
done
grep -q 'udevadm control --reload-rules' "$scratch/control/postinst" || fail "postinst does not reload the rules"
grep -q 'udevadm trigger --action=add --subsystem-match=hidraw' "$scratch/control/postinst" ||
    fail "postinst does not trigger the hidraw devices"
grep -q 'udevadm control --reload-rules' "$scratch/control/postrm" || fail "postrm does not reload the rules"
grep -q '^Depends:.*libqt6widgets6' "$scratch/control/control" || fail "dependencies not computed"
grep -q '^Depends:.*libmosquitto1' "$scratch/control/control" || fail "the MQTT client library is no dependency"

# Unpacked: the files as shipped.
dpkg-deb -x "$deb" "$scratch/root"
cmp -s "$scratch/root/usr/lib/udev/rules.d/70-kestvelqor.rules" \
    "$root/packaging/linux/70-kestvelqor.rules" || fail "the udev rule differs from the repository's"
grep -q 'SUBSYSTEM=="hidraw", ATTRS{manufacturer}=="Kest Lighting", TAG+="uaccess"' \
    "$scratch/root/usr/lib/udev/rules.d/70-kestvelqor.rules" || fail "the udev rule lost its line"
grep -q 'NASA' "$scratch/root/usr/share/doc/kestvelqor/copyright" || fail "copyright lacks the map's credit"
desktop-file-validate "$scratch/root/usr/share/applications/kestvelqor.desktop" ||
    fail "desktop entry not valid"
appstreamcli validate --no-net \
    "$scratch/root/usr/share/metainfo/example.kestlighting.kestvelqor.metainfo.xml" ||
    fail "metainfo not valid"
zcat "$scratch/root/usr/share/man/man1/kestvelqorctl.1.gz" | grep -q 'schedule\|status' ||
    fail "kestvelqorctl's manual page lacks its commands"

# The unpacked command-line tool runs from there.
ctl="$scratch/root/usr/bin/kestvelqorctl"
version=$("$ctl" --version) || fail "kestvelqorctl --version failed"
echo "$version" | grep -q '^kestvelqorctl [0-9.]* (commit ' || fail "unexpected version line: $version"
KESTVELQOR_SIM_STATE="$scratch/board.ini" XDG_DATA_HOME="$scratch/data" \
    "$ctl" --simulate status >"$scratch/status.txt" || fail "kestvelqorctl --simulate status failed"
grep -q 'Modus' "$scratch/status.txt" || fail "status printed no mode"

if [ "$failures" -ne 0 ]; then
    echo "check-package: $failures problem(s) in $deb" >&2
    exit 1
fi
echo "check-package: $deb is complete ($version)"
