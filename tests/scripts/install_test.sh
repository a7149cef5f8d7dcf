#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file is
# where the freedesktop specifications and the FHS expect it, and valid.
# Run by ctest with the build folder.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
files=(bin/corvida share/applications/corvida.desktop share/mime/packages/corvida.xml
       share/icons/hicolor/scalable/apps/corvida.svg share/man/man1/corvida.1)
for size in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${size}x${size}/apps/corvida.png"); done
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
[ -x "$prefix/bin/corvida" ] || { echo "bin/corvida cannot be run"; exit 1; }

desktop-file-validate "$share/applications/corvida.desktop"
grep -qx 'Exec=corvida %F' "$share/applications/corvida.desktop"
grep -qx 'MimeType=application/x-metasequoia-mqo;application/x-metasequoia-mqoz;' "$share/applications/corvida.desktop"
xmllint --noout "$share/mime/packages/corvida.xml" "$share/icons/hicolor/scalable/apps/corvida.svg"
for size in 16 32 48 64 128 256; do
  head -c 24 "$share/icons/hicolor/${size}x${size}/apps/corvida.png" | od -An -tx1 | tr -d ' \n' |
    grep -q "^89504e470d0a1a0a0000000d49484452$(printf '%08x' "$size")" ||
    { echo "the ${size}x${size} icon is not a PNG of that size"; exit 1; }
done

# The MIME database built from the package knows both types, by glob and
# by magic.
XDG_DATA_DIRS="$share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" update-mime-database "$share/mime"
for type in x-metasequoia-mqo x-metasequoia-mqoz; do
  [ -f "$share/mime/application/$type.xml" ] || { echo "no MIME type application/$type"; exit 1; }
  grep -q "application/$type" "$share/mime/magic" || { echo "no magic for application/$type"; exit 1; }
done
grep -q '^application/x-metasequoia-mqo:\*\.mqo$' "$share/mime/globs"
grep -q '^application/x-metasequoia-mqoz:\*\.mqoz$' "$share/mime/globs"

# One version everywhere: the program's and the man page's.
version=$("$prefix/bin/corvida" --version)
grep -q "\"$version\"" "$share/man/man1/corvida.1" || { echo "the man page is not of $version"; exit 1; }
echo "install: 1 passed, 0 failed"
