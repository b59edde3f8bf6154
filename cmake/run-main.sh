#!/usr/bin/env bash
# The program's main job on the built-in sample data. Until the navigator exists this runs the
# most complete job the project has, and says which.
set -euo pipefail
build=${1:-build/release}
echo "main job: build only (no runnable job exists yet)"
echo "built:"
find "$build" -maxdepth 3 -type f \( -name 'velko*' -o -name 'lib*.a' -o -name 'lib*.so' \) -printf '  %P\n' | sort
