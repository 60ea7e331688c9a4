#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark in the build's bench folder, one after another.
set -euo pipefail
build=${1:-build}
source "$(dirname "$0")/xvfb-session.sh"
source "$(dirname "$0")/sway-session.sh"
source "$(dirname "$0")/kwin-session.sh"
# The headless GNOME Shell only when this build has benchmarks for it.
if compgen -G "$build/bench/bench_gnome*" >/dev/null; then
  source "$(dirname "$0")/gnome-session.sh"
fi
shopt -s nullglob
for b in "$build"/bench/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b"
  echo
done
