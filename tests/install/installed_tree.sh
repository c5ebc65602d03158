#!/usr/bin/env bash
# `cmake --install` into a fresh prefix puts every file where a desktop and
# `man` look for it, and each file passes the tool that checks its kind: the
# menu entry desktop-file-validate, the metainfo appstreamcli, the manual
# pages groff with every warning on. Nothing installed names the build folder.
#
#   installed_tree.sh <build folder> <version>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
install_begin
for tool in desktop-file-validate appstreamcli groff; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

prefix="$work/prefix"
install_into "$prefix"
share="$prefix/share"

# Where each file goes.
for program in snipwell snipwell-cut snipwell-mci; do
  check "bin/$program is installed and executable" test -x "$prefix/bin/$program"
done
check "the media engine is installed in libexec/snipwell" \
  test -x "$prefix/libexec/snipwell/snipwell-media-engine"
check "the clipping guard's level probe is installed in libexec/snipwell" \
  test -x "$prefix/libexec/snipwell/snipwell-level-probe"
if [[ -e "$build_dir/snipwell-web-view.so" ]]; then
  check "the web view module is installed in <libdir>/snipwell" \
    test -n "$(find "$prefix" -path '*/lib*/snipwell/snipwell-web-view.so')"
fi
desktop="$share/applications/$app_id.desktop"
metainfo="$share/metainfo/$app_id.metainfo.xml"
copyright="$share/doc/snipwell/copyright"
for file in "$desktop" "$metainfo" "$copyright" "$share/doc/snipwell/changelog.gz" "$share/icons/hicolor/scalable/apps/$app_id.svg"; do
  check "${file#"$prefix"/} is installed" test -s "$file"
done

# The icons: one SVG, and PNGs of the size their folder promises.
check "the scalable icon is an SVG picture" contains "$share/icons/hicolor/scalable/apps/$app_id.svg" "<svg"
for size in 16 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  check "the ${size} px icon is a PNG of ${size}x${size} pixels" test "$(png_size "$png" 2>/dev/null)" = "${size}x${size}"
done

# The menu entry.
check "desktop-file-validate accepts the menu entry" quietly_succeeds desktop-file-validate "$desktop"
check "the menu entry starts snipwell with the file it is given" grep -qx 'Exec=snipwell %f' "$desktop"
check "the menu entry offers snipwell for MP3 files" grep -qx 'MimeType=audio/mpeg;audio/mp3;audio/x-mp3;' "$desktop"
check "the menu entry names its icon by the application id" grep -qx "Icon=$app_id" "$desktop"
check "the menu entry files it under sound and video" grep -qx "Categories=AudioVideo;Audio;" "$desktop"

# The metainfo.
check "appstreamcli validates the metainfo" appstreamcli validate --no-net "$metainfo"
check "the metainfo's id is the application id" contains "$metainfo" "<id>$app_id</id>"
check "the metainfo states the licence in SPDX" contains "$metainfo" "<project_license>GPL-3.0-or-later</project_license>"
check "the metainfo has a release entry for $version" contains "$metainfo" "<release version=\"$version\""
for type in audio/mpeg audio/mp3 audio/x-mp3; do
  check "the metainfo provides $type" contains "$metainfo" "<mediatype>$type</mediatype>"
done
check "the metainfo launches the menu entry" contains "$metainfo" "<launchable type=\"desktop-id\">$app_id.desktop</launchable>"

# The manual pages, compressed as `man` finds them; read from copies.
man_dir="$work/man"
mkdir -p "$man_dir"
for page in snipwell snipwell-cut snipwell-mci; do
  installed="$share/man/man1/$page.1.gz"
  man_page="$man_dir/$page.1"
  check "$page(1) is installed" test -s "$installed"
  gzip -dc "$installed" >"$man_page" 2>/dev/null || true
  check "groff renders $page(1) without a warning" quietly_succeeds groff -man -ww -z "$man_page"
  check "$page(1) carries the version $version" grep -q "^\.TH .*\"Snipwell $version\"" "$man_page"
done
cut_page="$man_dir/snipwell-cut.1"
for option in force quiet exact help version; do
  check "snipwell-cut(1) documents --$option" grep -q "^\.B.* \\\\-\\\\-$option" "$cut_page"
done
check "snipwell-cut(1) has the exit codes" grep -q '^\.SH EXIT STATUS' "$cut_page"
# Every code the media service can answer with is explained.
mci_page="$man_dir/snipwell-mci.1"
codes="$(sed -n 's/^ *[a-zA-Z]* = \([0-9][0-9]*\),.*/\1/p' "$here/../../src/mci/mci_error.h")"
check "the media service's codes were found in mci_error.h" test -n "$codes"
for code in $codes; do
  check "snipwell-mci(1) explains code $code" grep -qx "\.B $code" "$mci_page"
done

# The change log starts with this version.
check "the change log's latest entry is $version" \
  grep -q "^snipwell ($version) " <<<"$(gzip -dc "$share/doc/snipwell/changelog.gz" 2>/dev/null | head -n 1)"

# The licence.
check "the copyright file states the licence in SPDX" grep -qx "License: GPL-3.0-or-later" "$copyright"
check "the copyright file points at the licence text" contains "$copyright" "/usr/share/common-licenses/GPL-3"

# Nothing installed leads back into the build (no RUNPATH, no generated path).
check "no installed file names the build folder" test -z "$(grep -rlF -- "$build_dir" "$prefix" || true)"

install_end
