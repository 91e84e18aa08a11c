#!/usr/bin/env bash
# tickmeter.exe with no Vantrel.dll anywhere it looks: the window opens, the
# first tick fails, exactly one report names the library, no box is ever
# written, and the program ends with status 1 once the report is dismissed.
# Closed before its first tick, the program never looks for the library.
# Usage: missing_library.sh <tickmeter.exe> <form1_probe.exe> <work folder>
PROBE=$2
source "$(dirname "$0")/e2e_common.sh"

folder=$3
rm -rf "$folder" && mkdir -p "$folder"
cp "$1" "$folder/"

started=$(date +%s%3N)
start_meter "$folder"
expect "boxes at start" "cnt= onesamp= ave=" "$(probe texts)"

read -r quiet_until texts <<<"$(probe await-report 5000)"
# The first tick falls due 1000 ms after Form1's creation, never earlier, so
# there is no report for at least that long after the program was started.
quiet=$((quiet_until - started))
if [ "$quiet" -lt 900 ]; then
  fail "a report was there $quiet ms after the start (or at the first look); expected none before the first tick"
else
  echo "ok: no report for the first $quiet ms after the start"
fi
expect "boxes when the report shows" "cnt= onesamp= ave=" "$texts"

sleep 2.5
report=$(probe reports)
echo "$report"
expect "reports a few seconds later" "count=1" "$(head -n1 <<<"$report")"
case "$report" in
  *Vantrel.dll*) echo "ok: the report names Vantrel.dll" ;;
  *) fail "the report does not name Vantrel.dll: $report" ;;
esac
expect "boxes while the report waits" "cnt= onesamp= ave=" "$(probe texts)"

probe dismiss
wait_meter
expect "exit status after the report" 1 "$meter_status"
case "$(cat "$folder/stderr.txt")" in
  *Vantrel.dll*) echo "ok: standard error names Vantrel.dll" ;;
  *) fail "standard error does not name Vantrel.dll: $(cat "$folder/stderr.txt")" ;;
esac

# Closed before the first tick: a normal end, and the missing library goes unnoticed.
started=$(date +%s%3N)
start_meter "$folder"
probe close
closed_after=$(($(date +%s%3N) - started))
echo "closed $closed_after ms after the start"
wait_meter
if [ "$closed_after" -lt 900 ]; then
  expect "exit status when closed before the first tick" 0 "$meter_status"
  expect "standard error when closed before the first tick" "" "$(cat "$folder/stderr.txt")"
else
  echo "skipped: closing before the first tick (the close came only $closed_after ms after the start)"
fi

finish
