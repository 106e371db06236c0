#!/usr/bin/env bash
# The web add-in's steps for ./kestova:
#   web.sh build                 npm packages as the lockfile pins them, the audio core
#                                (preset web), and the task pane into build/web/pane/
#   web.sh test                  the unit tests and the Chromium suite; prints node's counts
#   web.sh dist DIR URL VERSION  what a static HTTPS host serves at URL, and manifest.xml
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
say() { printf '[web] %s\n' "$*"; }

build() {
  if [ ! -d web/node_modules ] || [ web/package-lock.json -nt web/node_modules ]; then
    (cd web && npm ci --no-audit --no-fund >/dev/null 2>&1) || { say "npm ci failed"; return 1; }
    touch web/node_modules
  fi
  if grep -q '"name": "web"' CMakePresets.json; then
    ./kestova build web >/dev/null || { say "the audio core (preset web) did not build"; return 1; }
  fi
  (cd web && node build.mjs) || { say "the task pane did not build"; return 1; }
}

case ${1:-} in
  build) build ;;
  test)
    build || exit 1
    # One test file at a time: two Chromiums at once on two cores make the timing tests noisy.
    node --test --test-concurrency=1 build/web/test/ web/test/
    ;;
  dist)
    build || exit 1
    (cd web && node build.mjs --dist "$2" --web-url "$3" --version "$4") || exit 1
    xmllint --noout "$2/manifest.xml" || { say "manifest.xml is not well-formed"; exit 1; }
    say "$2: $(cd "$2" && ls | tr '\n' ' ')"
    ;;
  *) echo "usage: web.sh build | test | dist DIR URL VERSION" >&2; exit 2 ;;
esac
