#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The tests of a folder link into one suite program (cmake/Kiwano.cmake), so no test file may
# bring a main() of its own. This turns Qt Test's QTEST_MAIN, QTEST_GUILESS_MAIN and
# QTEST_APPLESS_MAIN into KIWANO_TEST_MAIN and its kin (tests/support/testmain.h), and a test's own
# `int main(int argc, char **argv)` into KIWANO_TEST_OWN_MAIN(int argc, char **argv). Run it after
# adding or merging test files; it changes only those lines and says which files it changed.
# Usage: scripts/test-mains.sh [FILE...]   (default: every tests/**/test_*.cpp)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -gt 0 ]]; then
  files=("$@")
else
  mapfile -t files < <(find tests -name 'test_*.cpp' | sort)
fi
changed=0
for file in "${files[@]}"; do
  before=$(cksum < "$file")
  sed -i -E \
    -e 's/^([[:space:]]*)QTEST_(MAIN|GUILESS_MAIN|APPLESS_MAIN)\(/\1KIWANO_TEST_\2(/' \
    -e 's/^int[[:space:]]+main[[:space:]]*\((.*)\)[[:space:]]*$/KIWANO_TEST_OWN_MAIN(\1)/' \
    "$file"
  if [[ $(cksum < "$file") != "$before" ]]; then
    echo "converted $file"
    changed=$((changed + 1))
  fi
done
echo "$changed file(s) converted"
