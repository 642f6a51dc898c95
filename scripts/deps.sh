#!/usr/bin/env bash
# Installs the Debian 12 packages the suite needs, only those that are missing.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n
  libsodium-dev libcurl4-openssl-dev libsqlite3-dev sqlite3 libpq-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  fonts-nanum xvfb xauth x11-apps xdotool imagemagick nginx-light curl python3
  postgresql
)
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
