#!/usr/bin/env bash
# The plugin module as the GStreamer tools see it: gst-inspect-1.0 lists both elements and the
# documented launch line prints the datecode and timecode messages of a DV tape.
set -euo pipefail
plugin_dir=$(realpath "$1")
export GST_PLUGIN_PATH=$plugin_dir
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

gst-inspect-1.0 streamnotifier > inspect.txt
grep -q "StreamNotifier de Orvalis" inspect.txt
gst-inspect-1.0 framesnotifier > inspect.txt
grep -q "FramesNotifier de Orvalis" inspect.txt

ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc=size=720x576:rate=25 -t 0.2 \
  -target pal-dv -timecode 01:02:03:04 -metadata creation_time=2007-08-09T10:11:12Z tape.dv

gst-launch-1.0 -m filesrc location=tape.dv ! dvdemux ! streamnotifier ! fakesink > out.txt 2>&1
grep -q 'NM_DATECODE.*date-valid=(boolean)true' out.txt
grep -q 'NM_TIMECODE.*timecode-text=(string)1:02:03:04' out.txt
grep -q 'NM_TIMECODE.*timecode-text=(string)1:02:03:08' out.txt
echo "1 passed, 0 failed"
