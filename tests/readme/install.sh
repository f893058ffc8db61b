#!/usr/bin/env bash
set -euo pipefail
build=$1 source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/tessarine share/applications/tessarine.desktop \
         share/icons/hicolor/scalable/apps/tessarine.svg; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
ls "$prefix"/lib*/gstreamer-1.0/libgsttessarine.so >/dev/null
GST_PLUGIN_PATH=$(dirname "$(ls "$prefix"/lib*/gstreamer-1.0/libgsttessarine.so)") \
  gst-inspect-1.0 streamnotifier >/dev/null
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tessarine.desktop"
fi
echo "installed: program, plugin module, desktop entry and icon"
