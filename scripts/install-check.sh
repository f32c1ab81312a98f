#!/bin/sh
# Checks what installing Quorvane gives, from a built Release folder (the
# argument; build/test by default): the launcher, AppStream and MIME files
# pass their validators (those that are installed); `cmake --install` into a
# temporary prefix puts every file in its place, and the installed program
# starts and keeps its files in the user's folders; the Debian package made
# by cpack has its name, version, derived dependencies and files.
set -e
cd "$(dirname "$0")/.."
BUILD="${1:-build/test}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# The launcher, the software-centre description and the document type pass
# their validators, and a hint or a warning counts as a failure.
DESKTOP=resources/desktop
if command -v desktop-file-validate >/dev/null; then
  out="$(desktop-file-validate "$DESKTOP/org.example.quorvane.desktop" 2>&1)" || { echo "$out"; exit 1; }
  [ -z "$out" ] || { echo "$out"; exit 1; }
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$DESKTOP/org.example.quorvane.metainfo.xml"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$DESKTOP/quorvane.xml"
fi
if command -v update-mime-database >/dev/null; then
  mimedir="$(mktemp -d)" && mkdir "$mimedir/packages" && cp "$DESKTOP/quorvane.xml" "$mimedir/packages/"
  update-mime-database "$mimedir" 2>/dev/null
  grep -q '^50:application/x-quorvane-document:\*\.qdn$' "$mimedir/globs2" || { echo "no *.qdn glob"; exit 1; }
  rm -rf "$mimedir"
fi
# Every file in its place in an install into a temporary prefix.
prefix="$(mktemp -d)"
cmake --install "$BUILD" --prefix "$prefix" >/dev/null
for f in bin/quorvane bin/quorvane-cli share/quorvane/Help/quorvane.html share/quorvane/Tutorial/tutorial.html \
    share/quorvane/Pref.PRF share/quorvane/WorkDir.DIR share/applications/org.example.quorvane.desktop \
    share/metainfo/org.example.quorvane.metainfo.xml share/mime/packages/quorvane.xml \
    share/icons/hicolor/scalable/apps/quorvane.svg \
    share/icons/hicolor/16x16/apps/quorvane.png share/icons/hicolor/24x24/apps/quorvane.png \
    share/icons/hicolor/32x32/apps/quorvane.png share/icons/hicolor/48x48/apps/quorvane.png \
    share/icons/hicolor/64x64/apps/quorvane.png share/icons/hicolor/128x128/apps/quorvane.png \
    share/icons/hicolor/256x256/apps/quorvane.png; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
"$prefix/bin/quorvane-cli" --help >/dev/null
# The installed program starts and stays up (timeout ends it: status 124).
# Finding its Help under share/quorvane, it keeps the preference files in the
# user's configuration folder and makes the data folder in the user's documents.
user="$(mktemp -d)"
status=0
HOME="$user" XDG_CONFIG_HOME="$user/config" XDG_DATA_HOME="$user/data" \
  timeout 3 "$prefix/bin/quorvane" >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || { echo "the installed program stopped with status $status"; exit 1; }
[ -f "$user/config/Quorvane/Pref.PRF" ] || { echo "no Pref.PRF in the configuration folder"; exit 1; }
[ "$(cat "$user/config/Quorvane/WorkDir.DIR")" = "$user/Documents/Quorvane" ] || { echo "wrong data folder"; exit 1; }
[ -d "$user/Documents/Quorvane" ] || { echo "no data folder in the documents"; exit 1; }
if [ -e "$prefix/bin/Pref.PRF" ] || [ "$(cat "$prefix/share/quorvane/WorkDir.DIR")" != A ]; then
  echo "the installed program wrote into its own tree"; exit 1
fi
rm -rf "$prefix" "$user"
# The Debian package: its name, version, derived dependencies and files.
rm -rf "$BUILD"/package
(cd "$BUILD" && cpack -G DEB -B "$PWD/package" >/dev/null)
deb="$(ls "$BUILD"/package/quorvane_*.deb)"
version="$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ "$(dpkg-deb --field "$deb" Package)" = quorvane ] || { echo "wrong package name"; exit 1; }
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || { echo "wrong package version"; exit 1; }
# Depends comes from dpkg-shlibdeps: the Qt and C libraries with their versions.
depends="$(dpkg-deb --field "$deb" Depends)"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  echo "$depends" | grep -q "$lib (>= " || { echo "Depends lacks $lib: $depends"; exit 1; }
done
contents="$(dpkg-deb --contents "$deb" | awk '{print $6}')"
for f in usr/bin/quorvane usr/bin/quorvane-cli usr/share/applications/org.example.quorvane.desktop \
    usr/share/icons/hicolor/scalable/apps/quorvane.svg usr/share/icons/hicolor/48x48/apps/quorvane.png \
    usr/share/metainfo/org.example.quorvane.metainfo.xml usr/share/mime/packages/quorvane.xml \
    usr/share/quorvane/Help/quorvane.html usr/share/quorvane/Tutorial/tutorial.html; do
  echo "$contents" | grep -qx "./$f" || { echo "not in the package: $f"; exit 1; }
done
echo "installed tree, launcher files and $deb checked"
