#!/usr/bin/env bash
# The desktop's metadata and the manual page: the AppStream file and the desktop entry
# validate, the manual page renders without warnings, and it covers every option that
# `corvane --help` and `corvane --export --help` list.
# Usage: desktop_metadata_test.sh METAINFO DESKTOP_ENTRY MANPAGE CORVANE
set -uo pipefail
metainfo=$1 desktop=$2 manpage=$3 corvane=$4

missing=()
for tool in appstreamcli desktop-file-validate man; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "${CI:-}" = true ]; then
    echo "FAIL: missing ${missing[*]} (scripts/test.sh installs them)"
    exit 1
  fi
  echo "SKIP: ${missing[*]} not installed; the metadata checks need them"
  exit 77
fi

failed=0
fail() { echo "FAIL: $*"; failed=1; }

report=$(appstreamcli validate --no-net "$metainfo" 2>&1)
rc=$?
if [ $rc -ne 0 ] || grep -q '^[EW]:' <<<"$report"; then fail "appstreamcli validate:"$'\n'"$report"; fi

report=$(desktop-file-validate "$desktop" 2>&1)
if [ $? -ne 0 ] || [ -n "$report" ]; then fail "desktop-file-validate:"$'\n'"$report"; fi

warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
page=$(LC_ALL=C MANWIDTH=80 MAN_KEEP_FORMATTING= man --warnings -l "$manpage" 2>"$warnings" | col -b)
[ -s "$warnings" ] && fail "man -l warns:"$'\n'"$(cat "$warnings")"
[ -n "$page" ] || fail "man -l rendered nothing"

help=$("$corvane" --help 2>&1) || fail "corvane --help failed"
export_help=$("$corvane" --export --help 2>&1) || fail "corvane --export --help failed"
grep -q -- '--export --help' <<<"$help" || fail "corvane --help does not say where the export's help is"
for option in $(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help"$'\n'"$export_help" | sort -u); do
  grep -qE -- "(^|[^a-z-])$option([^a-z0-9-]|\$)" <<<"$page" || fail "the manual page does not mention $option"
done

[ $failed -eq 0 ] && echo "metadata valid; the manual page covers every option"
exit $failed
