#!/usr/bin/env bash
# tickmeter.exe beside the scripted counter library: the boxes' texts tick
# by tick, the tab order, and a normal close.
# Usage: scripted_readings.sh <tickmeter.exe> <form1_probe.exe> <scripted Vantrel.dll> <work folder>
PROBE=$2
source "$(dirname "$0")/e2e_common.sh"

folder=$4
rm -rf "$folder" && mkdir -p "$folder"
cp "$1" "$3" "$folder/"

# Tick 1 only primes; tick 2 repeats the reading (dropped); tick 3 gives 1000;
# tick 4 a sample beyond 2^31 - 1000 whose total leaves 32 bits; tick 5 runs
# across the wrap (corrected to 97); tick 6 falls below zero even after the
# correction (dropped); tick 7 gives 4294967295 with no wrap to -1. From then
# on the reading repeats and every sample is dropped.
export VANTREL_SCRIPT=100,100,1100,2147483600,50,-2147483648,2147483647
expected_states=(
  "cnt= onesamp= ave="
  "cnt=1 onesamp=1000 ave=1000"
  "cnt=2 onesamp=2147482500 ave=1073741750"
  "cnt=3 onesamp=97 ave=715827865"
  "cnt=4 onesamp=4294967295 ave=1610612723"
)
# Ticks between one state and the next.
expected_ticks=(3 1 1 2)

started=$(date +%s%3N)
start_meter "$folder"
watched=$(probe watch 8000)

mapfile -t times < <(cut -d' ' -f1 <<<"$watched")
for i in "${!times[@]}"; do times[i]=$((times[i] - started)); done
paste -d' ' <(printf '%s ms\n' "${times[@]}") <(cut -d' ' -f2- <<<"$watched")
mapfile -t states < <(cut -d' ' -f2- <<<"$watched")
expect "the boxes' texts, each change in turn" "$(printf '%s\n' "${expected_states[@]}")" \
  "$(printf '%s\n' "${states[@]}")"

# Ticks come 1000 ms apart from Form1's creation on, which is after the
# start. The first figures come at tick 3, so no earlier than 3000 ms after
# the start: the boxes were still empty after ticks 1 and 2. The gaps between
# later changes have generous margins: they only catch a schedule that is
# plainly wrong, not a slow machine.
if [ ${#times[@]} -eq ${#expected_states[@]} ]; then
  first=${times[1]}
  if [ "$first" -lt 3000 ]; then
    fail "the first figures came $first ms after the start; tick 3 is due 3000 ms after Form1's creation"
  else
    echo "ok: the first figures came $first ms after the start, at tick 3"
  fi
  for i in 2 3 4; do
    gap=$((times[i] - times[i - 1]))
    nominal=$((expected_ticks[i - 1] * 1000))
    if [ $gap -lt $((nominal - 400)) ] || [ $gap -gt $((nominal + 400)) ]; then
      fail "state $i came $gap ms after the one before; expected about $nominal ms"
    fi
  done
fi

expect "focus order with Tab" "cnt ave onesamp cnt" "$(probe focus tab 3)"
expect "focus order with Shift+Tab" "cnt onesamp ave cnt" "$(probe focus shift-tab 3)"
expect "texts unchanged by moving the focus" "${expected_states[4]}" "$(probe texts)"

# Form1's client area at 1950, 1830 twips, 2940 x 540 twips, and the boxes
# in it, converted at 96 dpi (15 twips a pixel, each edge to the nearest pixel).
layout=$(probe layout)
if [[ "$layout" == dpi=96* ]]; then
  expect "layout at 96 dpi" \
    "dpi=96 client=130,122,196,36 cnt=8,8,33,19 onesamp=48,8,65,19 ave=120,8,65,19" "$layout"
  probe resize 400 150
  resized=$(probe layout)
  echo "resized: $resized"
  expect "boxes after a resize" "${layout#* client=* }" "${resized#* client=* }"
  if [ "${resized}" == "${layout}" ]; then fail "the resize did not change the client area"; fi
else
  fail "the layout check expects a 96 dpi display; this one has ${layout%% *}"
fi

probe close
wait_meter
expect "exit status after closing the window" 0 "$meter_status"
expect "standard error after a normal run" "" "$(cat "$folder/stderr.txt")"

finish
