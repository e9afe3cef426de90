#!/usr/bin/env bash
# The Debian package as a school's administrator meets it. scripts/package builds it
# (lintian must pass) and a later rebuild of it; a clean Debian 12 root made with
# mmdebstrap from Debian's mirror gets it through apt: installed and configured, the
# demo applied from the drop-in folder, the installed shell started there (its top row
# must show the same pictures as the build's shell), upgraded to the later version after
# the administrator disabled the boot unit, removed, purged. Each state is checked:
# files, registered components, the unit's enablement, what remains.
# Usage: test_package.sh BUILD_DIR   (DESKHAVEN_PACKAGE_PICTURES=DIR keeps the screenshots)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
work=$(mktemp -d)
root=$work/root
mounts=()
cleanup() {
  local m
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { printf '%s  %s\n' "$(date +%T)" "$*"; }
in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root USER=root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
bind() { mkdir -p "$root$2"; mount --bind "$1" "$root$2"; mounts+=("$root$2"); }
components=(deskhaven-platformmode deskhaven-programs deskhaven-files deskhaven-sitebook)
# How many component classes name a library of the package in the machine hive.
registered() {
  sqlite3 "$root/var/lib/deskhaven/machine.hive" \
    "SELECT count(*) FROM vals WHERE CAST(data AS TEXT) LIKE '/usr/lib/%/deskhaven/deskhaven-%.so%'"
}
unit=deskhaven-registry.service
wants=$root/etc/systemd/system/multi-user.target.wants/$unit

step "building the package and a later rebuild"
package() {
  DESKHAVEN_BUILD_DIR=$build "$top/scripts/package" "$@" >"$work/package.log" 2>&1 ||
    { tail -30 "$work/package.log" >&2; fail "scripts/package $* failed"; }
  cp "$build"/package/deskhaven_*.deb "$work/"
}
package
first=$(ls "$work"/deskhaven_*.deb)
version=$(dpkg-deb -f "$first" Version)
package --version "$version+1"
later=$(ls "$work"/deskhaven_*"$version+1"_*.deb)
[ "$first" != "$later" ] || fail "no later version"

step "making a clean Debian 12 root"
mirror=http://deb.debian.org
# The host's package cache serves what it holds; the rest comes from the mirror. Only
# the standard descriptors go along: apt hands mmdebstrap's hooks a descriptor number
# above them, which the shell of its hooks cannot use above 9.
mounts+=("$root/var/cache/apt/archives")
python3 -c 'import os, sys; os.closerange(3, 65536); os.execvp(sys.argv[1], sys.argv[1:])' \
  mmdebstrap --variant=minbase --include=systemd,systemd-sysv,sqlite3 \
  --skip=download/empty --skip=cleanup/apt/lists \
  --setup-hook='mkdir -p "$1"/var/cache/apt/archives && mount --bind /var/cache/apt/archives "$1"/var/cache/apt/archives' \
  --customize-hook='umount "$1"/var/cache/apt/archives' \
  bookworm "$root" "deb $mirror/debian bookworm main" "deb $mirror/debian bookworm-updates main" \
  "deb $mirror/debian-security bookworm-security main" >"$work/mmdebstrap.log" 2>&1 ||
  { tail -20 "$work/mmdebstrap.log" >&2; fail "mmdebstrap could not make the root"; }
bind /var/cache/apt/archives /var/cache/apt/archives
bind /proc /proc
bind /dev /dev
cp "$first" "$later" "$root/tmp/"

step "installing $(basename "$first")"
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$first")" >"$work/install.log" 2>&1 ||
  { tail -20 "$work/install.log" >&2; fail "apt-get install failed"; }
[ "$(in_root dpkg-query -W -f '${Status} ${Version}' deskhaven)" = "install ok installed $version" ] ||
  fail "not configured"
for file in /usr/bin/deskhaven2 /usr/bin/deskhaven-session /usr/bin/deskhaven-reg \
  /lib/systemd/system/$unit /usr/lib/tmpfiles.d/deskhaven.conf /etc/deskhaven/session.env \
  /usr/share/xsessions/deskhaven.desktop /usr/share/doc/deskhaven/copyright \
  /usr/share/deskhaven/deskhaven-demo.reg; do
  [ -e "$root$file" ] || fail "$file is missing"
done
for program in deskhaven2 deskhaven-session deskhaven-reg deskhaven-regsvr deskhaven-scheme \
  deskhaven-classselect deskhaven-signal; do
  [ -e "$root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
[ -L "$wants" ] || fail "the boot unit is not enabled on installation"
[ "$(registered)" -ge ${#components[@]} ] || fail "the components are not registered"
[ "$(stat -c %a "$root/var/lib/deskhaven")" = 755 ] || fail "/var/lib/deskhaven is not 0755"
[ "$(stat -c %a "$root/var/lib/deskhaven/machine.hive")" = 644 ] || fail "the machine hive is not 0644"

step "applying the demo as the boot unit does"
cp "$root/usr/share/deskhaven/deskhaven-demo.reg" "$root/etc/deskhaven/registry.d/50-demo.reg"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Halvane\\Classwick\\Accounts\\root]\n"Account Type"="Pupils"\n' \
  >"$root/etc/deskhaven/registry.d/60-pupil.reg"
command=$(sed -n 's/^ExecStart=//p' "$root/lib/systemd/system/$unit")
in_root $command >/dev/null || fail "$command failed"
# HKCU sections went to the default-user hive, and a pupil without a hive of their own reads them.
[ -s "$root/var/lib/deskhaven/default-user.hive" ] || fail "no default-user hive"
in_root deskhaven-reg query 'HKCU\Software\Halvane\Fieldbench' >/dev/null ||
  fail "a pupil does not read the default-user hive"

step "starting the installed shell"
mkdir -m 0700 "$root/tmp/runtime"
in_root env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/runtime QTWEBENGINE_DISABLE_SANDBOX=1 \
  deskhaven2 --screenshot /tmp/installed.png --screenshot-delay 2000 2>"$work/shell.err" ||
  { cat "$work/shell.err" >&2; fail "the installed shell failed"; }
# The build's shell on the same demo: the top row (page buttons, Change Class, Options)
# must look the same, pictures included.
eval "$(DESKHAVEN_BUILD_DIR=$build "$top/scripts/run-demo" --prepare "$work/demo" 2>/dev/null)"
mkdir -m 0700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
  XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
  "$build/bin/deskhaven2" --screenshot "$work/built.png" --screenshot-delay 2000 2>/dev/null ||
  fail "the build's shell failed"
width=$(identify -format %w "$work/built.png")
[ "$(identify -format %w "$root/tmp/installed.png")" = "$width" ] || fail "the windows differ in size"
row="${width}x64+0+0"
top_row_differs() { # in how many pixels, beyond 1% of the row
  local count
  count=$(compare -metric AE -fuzz 10% "$1[$row]" "$2[$row]" null: 2>&1 || true)
  [ "${count%% *}" -ge $((width * 64 / 100)) ]
}
if top_row_differs "$root/tmp/installed.png" "$work/built.png"; then
  fail "the installed shell's top row differs from the build's (pictures missing?)"
fi
# The comparison sees the fault it is for: the build's shell without Qt's SVG plugins.
svg=$(dpkg -L libqt6svg6 | grep '/lib[^/]*svg[^/]*\.so$')
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
  XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
  unshare -m sh -c 'for p in $1; do mount --bind /dev/null "$p" || exit 1; done
    exec "$2" --screenshot "$3" --screenshot-delay 2000' sh "$svg" \
  "$build/bin/deskhaven2" "$work/unpictured.png" 2>/dev/null || fail "the shell without plugins failed"
top_row_differs "$work/unpictured.png" "$work/built.png" ||
  fail "the comparison cannot tell a top row without pictures"
if [ -n "${DESKHAVEN_PACKAGE_PICTURES:-}" ]; then
  cp "$root/tmp/installed.png" "$work/built.png" "$work/unpictured.png" "$DESKHAVEN_PACKAGE_PICTURES/"
fi

step "upgrading to $version+1 after the administrator disabled the boot unit"
in_root systemctl disable $unit >/dev/null 2>&1
[ ! -e "$wants" ] || fail "systemctl disable did not disable the unit"
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$later")" >"$work/upgrade.log" 2>&1 ||
  { tail -20 "$work/upgrade.log" >&2; fail "the upgrade failed"; }
[ "$(in_root dpkg-query -W -f '${Version}' deskhaven)" = "$version+1" ] || fail "not upgraded"
[ ! -e "$wants" ] || fail "the upgrade enabled the unit the administrator had disabled"
[ "$(registered)" -ge ${#components[@]} ] || fail "the components are not registered after the upgrade"
in_root deskhaven-reg query 'HKLM\Software\Halvane\Classwick\Accounts\root' >/dev/null ||
  fail "the upgrade lost the applied configuration"

step "removing"
in_root apt-get remove -y -q deskhaven >"$work/remove.log" 2>&1 || fail "apt-get remove failed"
for gone in /usr/bin/deskhaven2 /lib/systemd/system/$unit; do
  [ ! -e "$root$gone" ] || fail "$gone is left after remove"
done
[ "$(registered)" = 0 ] || fail "components are still registered after remove"
for kept in /var/lib/deskhaven/machine.hive /etc/deskhaven/session.env \
  /etc/deskhaven/registry.d/50-demo.reg; do
  [ -e "$root$kept" ] || fail "remove took $kept"
done

step "purging"
in_root apt-get purge -y -q deskhaven >"$work/purge.log" 2>&1 || fail "apt-get purge failed"
for gone in /var/lib/deskhaven /etc/deskhaven/session.env "$(dirname "${wants#"$root"}")/$unit"; do
  [ ! -e "$root$gone" ] || fail "$gone is left after purge"
done
# The administrator's own drop-ins stay.
[ -e "$root/etc/deskhaven/registry.d/50-demo.reg" ] || fail "purge took the administrator's drop-in"
step "done"
echo "1 passed, 0 failed"
