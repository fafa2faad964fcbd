#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo folder when it does not exist yet and
# starts kartovia in it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --parallel "$(nproc)" --target kartovia kv-make-demo
demo="${XDG_DATA_HOME:-$HOME/.local/share}/kartovia/demo"
if [ ! -f "$demo/PMPath.txt" ]; then
  mkdir -p "$demo"
  "$root/build/tools/demo/kv-make-demo" "$demo"
fi
cd "$demo"
exec "$root/build/apps/kartovia/kartovia"
