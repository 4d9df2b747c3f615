#!/usr/bin/env bash
# Starts Yorbel from a build folder: the desktop program when it has been built,
# otherwise today's day facts from the command-line front end.
set -euo pipefail
build=${1:-build}
if [ -x "$build/bin/yorbel" ]; then
  exec "$build/bin/yorbel"
fi
exec "$build/bin/yorbel-cli" day "$(date +%F)"
