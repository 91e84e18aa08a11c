#!/usr/bin/env bash
# tickmeter.exe with a Vantrel.dll it cannot bind: one without ReadTicks, one
# for the other architecture, an empty one or one cut short beside the
# program, or one planted only in the current directory (not loaded: the
# library is missing). The window opens, the first tick fails, exactly one
# report holds each of the given texts while the report stays up and ticks
# fall due, no box is ever written, and the program ends with status 1 once
# the report is dismissed.
# Usage: failed_binding.sh <tickmeter.exe> <form1_probe.exe> <work folder>
#                          beside|cwd <Vantrel.dll> <text in the report>...
PROBE=$2
source "$(dirname "$0")/e2e_common.sh"

program=$1
folder=$3
place=$4
library=$5
shift 5
rm -rf "$folder" && mkdir -p "$folder"
cp "$program" "$folder/"
case "$place" in
  beside) cp "$library" "$folder/Vantrel.dll" ;;
  cwd) mkdir "$folder/cwd" && cp "$library" "$folder/cwd/Vantrel.dll" && cd "$folder/cwd" ;;
  *) echo "usage: beside or cwd, not '$place'" >&2; exit 2 ;;
esac

start_meter "$folder"
expect "boxes at start" "cnt= onesamp= ave=" "$(probe texts)"
read -r _ texts <<<"$(probe await-report 5000)"
expect "boxes when the report shows" "cnt= onesamp= ave=" "$texts"

sleep 2.5
report=$(probe reports)
echo "$report"
expect "reports a few seconds later" "count=1" "$(head -n1 <<<"$report")"
for text in "$@"; do
  case "$report" in
    *"$text"*) echo "ok: the report holds $text" ;;
    *) fail "the report does not hold $text: $report" ;;
  esac
done
expect "boxes while the report waits" "cnt= onesamp= ave=" "$(probe texts)"

probe dismiss
wait_meter
expect "exit status after the report" 1 "$meter_status"
stderr_text=$(cat "$folder/stderr.txt")
for text in "$@"; do
  case "$stderr_text" in
    *"$text"*) echo "ok: standard error holds $text" ;;
    *) fail "standard error does not hold $text: $stderr_text" ;;
  esac
done

finish
