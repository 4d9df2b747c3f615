#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Yorbel need, but only
# those that are missing, so a prepared machine starts at once.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev libical-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins qt6-svg-dev qt6-translations-l10n
  clang clang-format libclang-rt-14-dev
  libhowardhinnant-date-dev tzdata
  python3 python3-icalendar
  xvfb xauth imagemagick poppler-utils fonts-dejavu-core
  desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "These Debian packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
