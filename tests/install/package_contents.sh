#!/usr/bin/env bash
# The Debian package: CPack makes snipwell_<version>_<arch>.deb; it holds the
# installed tree under /usr, owned by root, with stripped programs that need
# no RUNPATH; its Depends names the libraries the programs link to (found by
# dpkg-shlibdeps) and the pieces they load at run time, every one of them a
# Debian package.
#
#   package_contents.sh <build folder> <version>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
install_begin
for tool in cpack dpkg-deb dpkg-shlibdeps file readelf; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

arch="$(dpkg --print-architecture)"
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack made no package" >&2
  exit 1
}
deb="$work/package/snipwell_${version}_${arch}.deb"
check "the package is named snipwell_${version}_${arch}.deb" test -f "$deb"
[[ -f "$deb" ]] || install_end

field() { dpkg-deb -f "$deb" "$1"; }
check "Package is snipwell" test "$(field Package)" = snipwell
check "Version is $version" test "$(field Version)" = "$version"
check "Architecture is $arch" test "$(field Architecture)" = "$arch"
check "Section is sound" test "$(field Section)" = sound
check "there is a Maintainer" test -n "$(field Maintainer)"

# Depends, as bare package names, one a line.
depends="$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort -u)"
echo "Depends: $(echo $depends)"
for needed in gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio \
    libqt6webenginecore6-bin libqt6webengine6-data \
    libc6 libstdc++6 libqt6widgets6 libqt6webenginewidgets6 libgstreamer1.0-0; do
  check "Depends names $needed" grep -qx "$needed" <<<"$depends"
done
for name in $depends; do
  check "$name in Depends is a Debian package (installed here)" dpkg-query -W "$name" >/dev/null 2>&1
done

# The files.
listing="$work/listing"
dpkg-deb -c "$deb" >"$listing"
paths="$(awk '{print $NF}' "$listing")"
expected=(
  ./usr/bin/snipwell ./usr/bin/snipwell-cut ./usr/bin/snipwell-mci
  ./usr/share/applications/com.quorvane.Snipwell.desktop
  ./usr/share/metainfo/com.quorvane.Snipwell.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/com.quorvane.Snipwell.svg
  ./usr/share/man/man1/snipwell.1.gz ./usr/share/man/man1/snipwell-cut.1.gz ./usr/share/man/man1/snipwell-mci.1.gz
  ./usr/share/doc/snipwell/copyright ./usr/share/doc/snipwell/changelog.gz
)
for size in 16 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/com.quorvane.Snipwell.png")
done
expected+=(./usr/libexec/snipwell/snipwell-media-engine ./usr/libexec/snipwell/snipwell-level-probe)
if [[ -e "$build_dir/snipwell-web-view.so" ]]; then
  check "the package holds the web view module" grep -qE '^\./usr/lib/(.*/)?snipwell/snipwell-web-view\.so$' <<<"$paths"
fi
for path in "${expected[@]}"; do
  check "the package holds $path" grep -qx -- "$path" <<<"$paths"
done
check "everything lies under /usr" test -z "$(grep -v -x -e './' -e './usr/.*' <<<"$paths" || true)"
check "everything belongs to root" test -z "$(awk '$2 != "root/root"' "$listing")"

tree="$work/tree"
dpkg-deb -x "$deb" "$tree"
for program in "$tree"/usr/bin/* "$tree"/usr/libexec/snipwell/*; do
  [[ -e "$program" ]] || continue
  name="${program#"$tree"}"
  check "$name is executable by all" test "$(stat -c %a "$program")" = 755
  check "$name is stripped" grep -q ', stripped' <<<"$(file -b "$program")"
  check "$name needs no RUNPATH" test -z "$(readelf -d "$program" | grep -E 'RPATH|RUNPATH' || true)"
done
check "the copyright file states the licence" grep -qx "License: GPL-3.0-or-later" "$tree/usr/share/doc/snipwell/copyright"

install_end
