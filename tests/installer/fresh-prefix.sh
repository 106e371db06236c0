# Sourced by the installer tests, with `work` set: a fresh 64-bit Wine prefix under it, removed
# with it at exit, and the helpers the checks share. A machine without Wine or a display skips.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# reg.exe prints in the console's code page, so texts are matched byte by byte.
matches() { LC_ALL=C grep -Eq "$1" <<<"$2"; }

loader=$("$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-loader" win64) || { echo "skipped: $loader"; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "skipped: no display (run it inside ./kestova harness)"; exit 77; }
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINELOADER=$loader WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
wine() { timeout -k 5 120 "$loader" "$@"; }
cleanup() { "${loader%/*}/wineserver" -k >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
rm -rf "$work"
