#!/usr/bin/env bash
# The Group Policy templates: both files well-formed, every string and presentation the ADMX
# names defined in the ADML and every presentation's refId an element of the ADMX, each policy
# under Software\Policies\Kestova\Outlook for machine and user, and the bit rates offered the
# ones the add-in takes.
# Usage: policies.sh <folder with kestova.admx and en-US/kestova.adml> <recorder/BitRates.cpp>
set -u
admx=$1/kestova.admx adml=$1/en-US/kestova.adml settings=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
command -v xmllint >/dev/null || { echo "skipped: xmllint missing (Debian package libxml2-utils)"; exit 77; }
xmllint --noout "$admx" "$adml" || { echo "FAIL: not well-formed"; exit 1; }
uses() { grep -oE "\\\$\\($1\\.[A-Za-z0-9_]+\\)" "$admx" | sed -E "s/.*\\.([A-Za-z0-9_]+)\\)/\\1/" | sort -u; }
defined() { xmllint --xpath "//*[local-name()='$1']/@id" "$adml" | sed -E 's/ *id="([^"]*)"/\1\n/g' | sed '/^$/d' | sort -u; }
missing=$(comm -23 <(uses string) <(defined string)); [ -z "$missing" ] || fail "strings not in the ADML: $missing"
missing=$(comm -23 <(uses presentation) <(defined presentation)); [ -z "$missing" ] || fail "presentations not in the ADML: $missing"
elements=$(xmllint --xpath "//*[local-name()='elements']/*/@id" "$admx" | sed -E 's/ *id="([^"]*)"/\1\n/g' | sed '/^$/d' | sort -u)
refs=$(xmllint --xpath "//*[@refId]/@refId" "$adml" | sed -E 's/ *refId="([^"]*)"/\1\n/g' | sed '/^$/d' | sort -u)
[ "$refs" = "$elements" ] || fail "presentation refIds ($refs) are not the policy elements ($elements)"
for policy in BitRate MaxMessageMB Microphone; do
  xmllint --xpath "//*[local-name()='policy'][@name='$policy'][@class='Both'][@key='Software\\Policies\\Kestova\\Outlook']" \
    "$admx" >/dev/null 2>&1 || fail "no machine and user policy $policy under Software\\Policies\\Kestova\\Outlook"
done
offered=$(xmllint --xpath "//*[local-name()='enum'][@valueName='BitRate']//*[local-name()='decimal']/@value" "$admx" \
  | grep -oE '[0-9]+' | tr '\n' ' ')
taken=$(sed -n 's/.*BitRateChoices\[14\] = {\(.*\)};/\1/p' "$settings" | tr -d ',' | tr -s ' ')
[ "${offered% }" = "$taken" ] || fail "bit rates offered ($offered) are not the add-in's ($taken)"
[ $failures -eq 0 ] && echo "policies: all checks passed"
exit $((failures > 0))
