#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# Quiet and quick when everything is already there. Pass "bench" to add the comparison tools.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libglib2.0-dev libgecode-dev libsdl2-dev libsndfile1-dev libogg-dev libvorbis-dev libpng-dev
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev locales
  vorbis-tools oggz-tools
  xvfb xauth qt6-qpa-plugins libxcb-cursor0 xdotool imagemagick
)
if [ "${1:-}" = bench ]; then
  packages+=(sox sndfile-programs)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The locale tests write and read numbers under a French locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  if ! grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'fr_FR.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
