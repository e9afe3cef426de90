#!/usr/bin/env bash
# Packs the build, checks what the package holds, unpacks it into a temporary root and
# runs the unpacked programs there: the components registered with its own regsvr, the
# demo configuration applied from a drop-in folder, the shell started offscreen.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -B "$work/pack" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/pack/*.deb)

files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
# The build's install prefix: /usr unless the build was configured otherwise.
prefix=$(grep -o '^\..*/bin/deskhaven2$' <<<"$files") || fail "the package lacks deskhaven2"
prefix=${prefix%/bin/deskhaven2}
for needed in bin/deskhaven-session bin/deskhaven-reg bin/deskhaven-regsvr bin/deskhaven-scheme \
  bin/deskhaven-classselect bin/deskhaven-signal share/xsessions/deskhaven.desktop \
  lib/systemd/system/deskhaven-registry.service share/deskhaven/help/index.html \
  share/deskhaven/character/character.ini share/deskhaven/pictures/Logo.bmp \
  share/deskhaven/deskhaven-demo.reg; do
  grep -qxF "$prefix/$needed" <<<"$files" || fail "the package lacks $prefix/$needed"
done
libdir=$(grep -Eo "^$prefix/lib/([^/]*/)?deskhaven/\$" <<<"$files") || fail "no private library folder"
for lib in libdh_registry.so deskhaven-platformmode.so deskhaven-programs.so \
  deskhaven-files.so deskhaven-sitebook.so; do
  grep -qxF "$libdir$lib" <<<"$files" || fail "the package lacks $libdir$lib"
done
if grep -q '/tst[-_]\|/bench_\|deskhaven-gallery' <<<"$files"; then
  fail "the package holds test or developer programs"
fi
dpkg-deb -e "$deb" "$work/control"
[ -x "$work/control/postinst" ] && [ -x "$work/control/prerm" ] || fail "maintainer scripts"
grep -q 'deskhaven-regsvr' "$work/control/postinst" || fail "postinst registers nothing"
grep -q '^Depends: .*libqt6widgets6' "$work/control/control" || fail "no library dependencies"

root=$work/root
dpkg-deb -x "$deb" "$root"
if grep -rlF "$build" "$root" >/dev/null; then fail "the package refers to the build tree"; fi

export DESKHAVEN_MACHINE_HIVE=$work/machine.hive DESKHAVEN_USER_HIVE=$work/user.hive
export DESKHAVEN_DEFAULT_USER_HIVE=$work/default-user.hive DESKHAVEN_SESSION_ENV=/nonexistent
export XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -m 0700 "$XDG_RUNTIME_DIR"
for lib in "$root${libdir#.}"deskhaven-*.so; do
  "$root${prefix#.}/bin/deskhaven-regsvr" "$lib" >/dev/null || fail "cannot register $lib"
done
mkdir "$work/registry.d"
sed "s|${prefix#.}/|$root${prefix#.}/|g" "$root${prefix#.}/share/deskhaven/deskhaven-demo.reg" \
  >"$work/registry.d/50-demo.reg"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Halvane\\Classwick\\Accounts\\%s]\n"Account Type"="Pupils"\n' \
  "$(id -un)" >"$work/registry.d/60-pupil.reg"
"$root${prefix#.}/bin/deskhaven-reg" apply "$work/registry.d" >/dev/null || fail "apply failed"

"$root${prefix#.}/bin/deskhaven2" --screenshot "$work/shot.png" --screenshot-delay 2000 \
  2>"$work/shell.err" || { cat "$work/shell.err" >&2; fail "the unpacked shell failed"; }
[ -s "$work/shot.png" ] || fail "no screenshot"
if grep 'message box' "$work/shell.err" >&2; then fail "the unpacked shell reported a problem"; fi
# An administrator's preview of the same pupil, from the unpacked tree.
"$root${prefix#.}/bin/deskhaven-scheme" preview --user "$(id -un)" --out "$work/preview" >/dev/null \
  2>"$work/preview.err" || { cat "$work/preview.err" >&2; fail "the preview failed"; }
for page in shell programs my-files links; do
  [ -s "$work/preview/$page.png" ] || fail "the preview has no $page.png"
done
echo "1 passed, 0 failed"
