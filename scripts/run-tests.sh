#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every test through CTest; tests labelled x11 use the X server of this session or an Xvfb.
set -euo pipefail
build=${1:-build}
source "$(dirname "$0")/xvfb-session.sh"
source "$(dirname "$0")/sway-session.sh"
source "$(dirname "$0")/kwin-session.sh"
# The headless GNOME Shell only when this build has tests for it.
if ctest --test-dir "$build" -N -L gnome 2>/dev/null | grep -q "Total Tests: [1-9]"; then
  source "$(dirname "$0")/gnome-session.sh"
fi
cd "$build"
ctest --output-on-failure --timeout 300 -j"$(nproc)"
