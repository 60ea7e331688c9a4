#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Quitting (by --quit, then by SIGTERM) right after a burst of copies, a large picture last:
# whatever the program had recorded is whole on disk when it has ended (the index reads, every
# file it names is there with the bytes that were copied), and the next start keeps all of it.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800 tray
e2e_home
store=$(dirname "$clips")
for n in 1 2 3 4; do
  convert -size 2400x1600 xc: -seed $n +noise Random -depth 8 "$work/big$n.png" || fail "could not make a picture"
  sha256sum <"$work/big$n.png" | cut -d' ' -f1 >>"$work/pictures.sums"
done

# Every entry of the index with the files it names, holding the bytes that were copied.
check_store() {
  jq -e 'type == "array"' "$clips" >/dev/null || fail "index.json does not read after $1"
  local id file type title
  while IFS=$'\t' read -r id file type title; do
    [[ -f $store/$id/$file ]] || fail "after $1, \"$title\" is listed but its $type file is missing"
    case $type in
      image/png)
        grep -qx "$(sha256sum <"$store/$id/$file" | cut -d' ' -f1)" "$work/pictures.sums" \
          || fail "after $1, a copied picture is not whole" ;;
      UTF8_STRING | text/plain*)
        [[ $(cat "$store/$id/$file") == "$title" ]] || fail "after $1, the text of \"$title\" is not what was copied" ;;
    esac
  done < <(jq -r '.[] | .id as $id | .title as $t | .contents[] | [$id, .file, .type, $t] | @tsv' "$clips")
  jq -r '.[].id' "$clips" | sort >"$work/ids-$2"
}
pictures() { jq '[.[] | select(.hasImage)] | length' "$clips" 2>/dev/null; }
has_pictures() { [[ $(pictures) -ge $1 ]]; }

# round NAME HOW N: a text and picture N recorded, then a burst of copies ending with picture
# N+1, and at once the end by HOW (quit or term).
round() {
  e2e_start_app
  copy_until_recorded "settled $1" || fail "the copy \"settled $1\" was not recorded"
  local before=$(pictures)
  e2e_copy_png "$work/big$3.png"
  poll 20 has_pictures $((before + 1)) || fail "the copied picture was not recorded"
  e2e_copy_text "flying $1 one"
  e2e_copy_text "flying $1 two"
  e2e_copy_png "$work/big$(($3 + 1)).png"
  if [[ $2 == quit ]]; then
    e2e_quit; status=$?
  else
    kill -TERM "$(e2e_app_pid)"
    poll 15 bash -c "! kill -0 $apppid" || fail "SIGTERM did not end the program"
    wait "$apppid"; status=$?
  fi
  ((status == 0)) || fail "the program ended with status $status after $1"
  recorded "settled $1" || fail "\"settled $1\" was lost at $1"
  has_pictures $((before + 1)) || fail "the recorded picture was lost at $1"
  check_store "$1" "$1"
  pass "after $1 with copies in flight, the $(jq length "$clips") recorded copies are whole"

  # The next start lists them all and keeps them through its own saves.
  e2e_start_app
  copy_until_recorded "restarted $1" || fail "the copy after the restart was not recorded"
  e2e_quit >/dev/null
  check_store "the restart" "restart-$1"
  [[ -z $(comm -23 "$work/ids-$1" "$work/ids-restart-$1") ]] || fail "the restart after $1 dropped copies"
  pass "the restart after $1 kept every copy"
}

round "--quit" quit 1
round "SIGTERM" term 3
