#!/usr/bin/env bash
# The web add-in's dist step for ./kestova: what a static HTTPS host serves at URL, with
# manifest.xml, from the task pane that preset web builds into build/web/pane/.
# Usage: web.sh dist DIR URL VERSION
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
say() { printf '[web] %s\n' "$*"; }

[ "${1:-}" = dist ] && [ $# -eq 4 ] || { echo "usage: web.sh dist DIR URL VERSION" >&2; exit 2; }
./kestova build web >/dev/null || { say "preset web did not build"; exit 1; }
(cd web && node build.mjs --dist "$2" --web-url "$3" --version "$4") || exit 1
xmllint --noout "$2/manifest.xml" || { say "manifest.xml is not well-formed"; exit 1; }
say "$2: $(cd "$2" && ls | tr '\n' ' ')"
