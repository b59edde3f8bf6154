# Shared by the program tests that drive velko from its own menus on a fresh copy of the sample
# device (sourced; the caller sets dev, velko and dir). Places of the main screen, as
# velko-skinshot --main --dump and its taps report them:
#   the launcher "메뉴" (21, 299); on the basic menu "명칭검색" (69, 64), "주소검색" (69, 113),
#   "주변검색" (69, 162), "테마검색" (69, 212), "메뉴전환" (172, 221);
#   on the advanced menu the pages "경로찾기" (65, 62), "경로관리" (65, 97), "사용자정보" (65, 132);
#   a page's entries at x 179, from y 21 every 35 pixels (entry i at 21 + 35 i).
# The map's place and level at quit are kept in the Pilot1 record of the object store.

fail() {
  echo "FAIL: $*"
  cat "$dir"/out/host.log "$dir"/out/msgbox.log "$dir/err.txt" 2> /dev/null | tail -30
  exit 1
}
user="$dir/dev/My Documents/Velko/DestPosition"
store="$dir/dev/Storage Card/VelkoData"
# A fresh copy of the sample device.
fresh() {
  rm -rf "$dir/dev" "$dir/out"
  cp -r "$dev" "$dir/dev" || fail "copy the sample device"
}
# run NAME: velko on the copy with the script $dir/NAME.script, exit 0 expected.
run() {
  rm -rf "$dir/out"
  # Every run begins by closing the start-up warning with "확인".
  printf 'wait 500\ntap 144 249\nwait 200\n' | cat - "$dir/$1.script" > "$dir/$1.run.script"
  "$velko" --root "$dir/dev" --headless "$dir/$1.run.script" --out "$dir/out" --builtin-font 2> "$dir/err.txt" ||
    fail "$1: exit 0 expected"
  # KEEP=1 keeps each run's frames and logs for looking at.
  [ -z "${KEEP:-}" ] || cp -r "$dir/out" "$dir/kept-$1"
}
# "X Y LEVEL MODE" of the map kept at quit.
pilot() {
  grep '^prop ' "$dir/dev/objectstore/velko900%20pilot1.cedb" | cut -d' ' -f3 |
    sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/' | while read -r hex; do printf '%d ' "0x$hex"; done
}
# Signed 32-bit values of a file: int32 FILE OFFSET [COUNT].
int32() { od -An -t d4 -j "$2" -N $((4 * ${3:-1})) "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
# The bytes of a name field as hex: hexname FILE OFFSET LENGTH.
hexname() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'; }
# A text in code page 949 as hex, zero-padded to LENGTH bytes: cp949 TEXT LENGTH.
cp949() {
  printf '%s' "$1" | iconv -f UTF-8 -t CP949 | od -An -tx1 | tr -d ' \n'
  n=$(printf '%s' "$1" | iconv -f UTF-8 -t CP949 | wc -c)
  while [ "$n" -lt "$2" ]; do printf '00'; n=$((n + 1)); done
}
has_frame() { [ -s "$dir/out/frames/$1.png" ] || fail "no frame $1"; }
no_messages() { [ -s "$dir/out/msgbox.log" ] && fail "$1: a message was shown: $(cat "$dir/out/msgbox.log")"; return 0; }
# |a - b| <= tolerance: near A B TOLERANCE.
near() { d=$(($1 - $2)); [ "${d#-}" -le "$3" ]; }

# Script fragments: the launcher and the advanced menu's pages.
open_advanced='tap 21 299
wait 200
tap 172 221
wait 200'
open_basic='tap 21 299
wait 200'
