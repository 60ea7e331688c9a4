#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program speaks the session's language: under a German LANG its settings window and the
# clipboard picker carry German titles, under LANGUAGE=fr French ones, and English otherwise.
source "$(dirname "$0")/lib.sh" "$@"
e2e_x11
e2e_home

titled() { xdotool search --onlyvisible --name "$1"; }

# LANG alone, as a German desktop session sets it.
export LANG=de_DE.UTF-8
e2e_start_app --settings
poll 15 titled 'Snapper .* Einstellungen$' || fail "no German settings window"
"$app" --clipboard
poll 15 titled '^Zwischenablage$' || fail "no German clipboard picker"
titled '^Clipboard$' && fail "an English picker beside the German one"
pass "German titles under LANG=de_DE.UTF-8"
e2e_quit >/dev/null

# LANGUAGE wins over LANG, as in gettext programs.
export LANGUAGE=fr
e2e_start_app --settings
poll 15 titled 'Snapper .* Param.*tres$' || fail "no French settings window under LANGUAGE=fr"
"$app" --clipboard
poll 15 titled '^Presse-papiers$' || fail "no French clipboard picker"
pass "French titles under LANGUAGE=fr"
e2e_quit >/dev/null

# A language without a catalogue falls back to the English source.
export LANGUAGE= LANG=pt_BR.UTF-8
e2e_start_app --settings
poll 15 titled 'Kiwano Snapper Settings$' || fail "no English settings window under pt_BR"
pass "English where no catalogue exists"
