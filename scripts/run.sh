#!/usr/bin/env bash
# Installs what is missing, builds (the program and the tools that make a demo folder, a Maildir
# and metafiles to try it on), makes the demo folder when it does not exist yet and starts
# kartovia in it; `run.sh adrovia` starts the address-book edition on the same folder.
set -euo pipefail
program="${1:-kartovia}"
case "$program" in
  kartovia|adrovia) ;;
  *) echo "usage: $0 [kartovia|adrovia]" >&2; exit 2 ;;
esac
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
# CMAKE_BUILD_PARALLEL_LEVEL, when set, is the number of build jobs; else one a core.
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(--parallel "$(nproc)")
cmake --build build "${jobs[@]}" --target "$program" kv-mail-reader kv-make-demo kv-make-maildir kv-make-metafile
demo="${XDG_DATA_HOME:-$HOME/.local/share}/kartovia/demo"
if [ ! -f "$demo/PMPath.txt" ]; then
  mkdir -p "$demo"
  "$root/build/tools/demo/kv-make-demo" "$demo"
fi
cd "$demo"
exec "$root/build/apps/$program/$program"
