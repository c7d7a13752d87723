#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks what it put
# in place, and removes it again. Needs root (or sudo) for apt-get.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

build=build/package
rm -f "$build"/quendel_*.deb
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DQUENDEL_WERROR=ON \
    -DQUENDEL_TESTS=OFF -DQUENDEL_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack >/dev/null)
deb=$(ls "$build"/quendel_*.deb)

work=$(mktemp -d)
cleanup() {
    rm -rf "$work"
    dpkg -s quendel >/dev/null 2>&1 && DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq quendel >/dev/null
    return 0
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
passed=0
failed=0
check() {  # NAME COMMAND...: one check, counted
    local name=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        passed=$((passed + 1))
        echo "ok   $name"
    else
        failed=$((failed + 1))
        echo "FAIL $name"
        sed 's/^/     /' "$work/out"
    fi
}

# An image with the routine at 0x100.
head -c 256 /dev/zero >"$work/bios.bin"
printf '\x2E\x80\x3D\xFF\x74\x0A\x2E\x3A\x05\x74\x0B\x83\xC7\x30\xEB\xF0\xB0\xEE\xE6\x80\xEB\xFE' >>"$work/bios.bin"

check "installed version" sh -c '[ "$(/usr/bin/quendel-patch --version)" = "quendel-patch 1.1" ]'
check "installed --check" sh -c "/usr/bin/quendel-patch --check '$work/bios.bin' | grep -q 'can be patched: signature at 0x100'"
check "installed patch" /usr/bin/quendel-patch --divider 2/5 "$work/bios.bin" "$work/out.bin"
check "man page renders" sh -c 'MANWIDTH=80 man quendel-patch 2>/dev/null | grep -q -- "--divider"'
check "dialog installed" test -x /usr/bin/Quendel
check "desktop entry valid" desktop-file-validate /usr/share/applications/org.quendel.Quendel.desktop
check "AppStream metadata valid" appstreamcli validate --no-net /usr/share/metainfo/org.quendel.Quendel.metainfo.xml
for size in 16 32 256; do
    check "icon ${size}x${size}" sh -c "file /usr/share/icons/hicolor/${size}x${size}/apps/quendel.png | grep -q '$size x $size'"
done
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq quendel >/dev/null
check "removed again" sh -c '! test -e /usr/bin/quendel-patch && ! test -e /usr/bin/Quendel'

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
