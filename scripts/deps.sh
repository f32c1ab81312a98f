#!/bin/sh
# Installs the Debian packages the build needs when any is missing.
set -e
PACKAGES="build-essential cmake libgtest-dev libbenchmark-dev qt6-base-dev fonts-dejavu-core xvfb xauth xdotool imagemagick libeigen3-dev clang libcli11-dev nlohmann-json3-dev desktop-file-utils appstream libxml2-utils"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
