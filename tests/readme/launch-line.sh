#!/usr/bin/env bash
# The README's gst-launch example, run as written on a DV tape made here: the stream notifier
# must report the recording date and the timecode.
set -euo pipefail
readme=$1 plugins=$2 make_demo=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
line=$(grep -m1 'gst-launch-1.0 -m filesrc location=tape.dv' "$readme" | sed 's/^ *//')
[ -n "$line" ] || { echo "no launch line in the README"; exit 1; }
"$make_demo" --raw-dv "$work" >/dev/null
cd "$work"
out=$(env GST_PLUGIN_PATH="$plugins" ${line#GST_PLUGIN_PATH=build/ci/gst-plugins } 2>&1)
for name in NM_DATECODE NM_TIMECODE; do
  grep -q "$name" <<<"$out" || { echo "$name missing from:"; echo "$out" | head -40; exit 1; }
done
echo "the README's launch line reports the date and the timecode"
