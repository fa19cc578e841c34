#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it (arguments are passed to it).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVRA_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
editor=build/bundle/bin/Sonaric
if [ -x "$editor" ]; then
  exec "$editor" "$@"
fi
echo "The build ended without the editor program $editor; see the build output above." >&2
exit 1
