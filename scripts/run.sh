#!/usr/bin/env bash
# Installs what is needed, builds the player and starts it.
# Any arguments are passed to the player.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIVEX_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target lumivex

exec build/release/src/App/lumivex "$@"
