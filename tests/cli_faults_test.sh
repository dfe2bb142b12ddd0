#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The command-line programs under faults, as a script would meet them: a full
# disk, closed descriptors, signals during -o, modes and links of the file
# that -o replaces, hostile cells, unbounded input, an unreachable display.
#   cli_faults_test.sh <velkarin> <velkarin-batch> <velkarin-curve> <example heats.csv>
set -uo pipefail
velkarin=$1 batch=$2 curve=$3 heats=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME: passes when the command after it succeeds
  local name=$1
  shift
  if "$@"; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    failures=$((failures + 1))
  fi
}
status_is() {  # status_is EXPECTED COMMAND...: the command exits with EXPECTED
  local expected=$1
  shift
  "$@" > /dev/null 2> "$work/stderr"
  local status=$?
  [ "$status" -eq "$expected" ] || { echo "  status $status, expected $expected: $(cat "$work/stderr")"; return 1; }
}
stderr_has() { grep -qF -- "$1" "$work/stderr" || { echo "  stderr lacks '$1': $(cat "$work/stderr")"; return 1; }; }

printf 'gas,t,C\n3:1,1600,0.60\n1:1,1680,0.15\n' > "$work/stages.csv"

# Every output failure is a failure, with the system's reason.
full() { "$@" > /dev/full 2> "$work/stderr"; echo $? > "$work/status"; }
for args in "" "--stages $work/stages.csv" "--help" "--version"; do
  # shellcheck disable=SC2086
  full "$curve" $args
  expected=3
  check "velkarin-curve $args > /dev/full: status $expected" test "$(cat "$work/status")" -eq $expected
  check "velkarin-curve $args > /dev/full: says why" stderr_has "No space left on device"
done
check "velkarin-curve >&-: status 3" status_is 3 sh -c '"$0" >&-' "$curve"
(trap '' PIPE; "$curve" --step 0.01 2> "$work/stderr" | head -c 1 > /dev/null; echo "${PIPESTATUS[0]}" > "$work/status")
check "velkarin-curve into a closed pipe, SIGPIPE ignored: status 3" test "$(cat "$work/status")" -eq 3
for args in "$heats" "--help" "--version"; do
  full "$batch" $args
  expected=3
  case $args in --help | --version) expected=1 ;; esac
  check "velkarin-batch $args > /dev/full: status $expected" test "$(cat "$work/status")" -eq $expected
done
for args in "--help" "--version"; do
  full "$velkarin" $args
  check "velkarin $args > /dev/full: status 1" test "$(cat "$work/status")" -eq 1
done

# -o replaces like a careful editor: mode kept, a link followed.
cp "$heats" "$work/in.csv"
echo old > "$work/private.csv"
chmod 600 "$work/private.csv"
"$batch" -o "$work/private.csv" "$work/in.csv" 2> /dev/null
check "-o keeps the mode 0600" test "$(stat -c %a "$work/private.csv")" = 600
check "-o wrote the rows" grep -q 'resultLine' "$work/private.csv"
echo old > "$work/target.csv"
ln -s target.csv "$work/link.csv"
"$batch" -o "$work/link.csv" "$work/in.csv" 2> /dev/null
check "-o through a link keeps the link" test -L "$work/link.csv"
check "-o through a link writes its target" grep -q 'resultLine' "$work/target.csv"
check "-o leaves no temporary file" test -z "$(find "$work" -name '.*.csv*' -print -quit)"
check "-o '' is refused" status_is 2 "$batch" -o "" "$work/in.csv"
mkdir "$work/locked"
chmod 500 "$work/locked"
if [ "$(id -u)" -ne 0 ]; then
  check "-o into a folder that cannot be written: status 3 at once" status_is 3 "$batch" -o "$work/locked/x.csv" /dev/zero
fi
check "-o naming a directory: status 3" status_is 3 "$batch" -o "$work/locked" "$work/in.csv"
check "-o naming a directory says so" stderr_has "Is a directory"
check "-o given twice is refused" status_is 2 "$batch" -o "$work/a.csv" -o "$work/b.csv" "$work/in.csv"
check "stdin closed: status 2" status_is 2 sh -c '"$0" -o "$1" <&-' "$batch" "$work/x.csv"
check "stdin closed: says so" stderr_has "standard input is closed"
check "stdout closed: status 3" status_is 3 sh -c '"$0" "$1" >&-' "$batch" "$work/in.csv"
printf 'reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO,message\n' > "$work/clash.csv"
check "an input column named like an output column: status 2" status_is 2 "$batch" "$work/clash.csv"
check "an input column named like an output column: says which" stderr_has 'column "message" has the name of an output column'

# Signals during -o: the temporary file is gone and the program ends by the
# signal. Job control, so that the background program does not start with
# SIGINT ignored, as a non-interactive shell starts its background jobs.
set -m
for signal in INT TERM HUP KILL; do
  rm -f "$work/fifo" "$work/out.csv"
  mkfifo "$work/fifo"
  "$batch" -o "$work/out.csv" "$work/fifo" 2> /dev/null &
  pid=$!
  exec 7> "$work/fifo"
  head -n 3 "$heats" >&7
  # Wait until the output file is open (named or unnamed) in the program.
  for _ in $(seq 100); do
    ls -l "/proc/$pid/fd" 2> /dev/null | grep -qE "$work/(#|\.out)" && break
    sleep 0.05
  done
  kill -s "$signal" "$pid"
  wait "$pid"
  status=$?
  exec 7>&-
  check "SIG$signal during -o: ends by the signal" test "$status" -gt 128
  check "SIG$signal during -o: no temporary file left" test -z "$(find "$work" -maxdepth 1 -name '.out.csv*' -print -quit)"
  check "SIG$signal during -o: no output file made" test ! -e "$work/out.csv"
done
set +m

# Nothing raw reaches the terminal or splits the table.
printf 'gas,t,C\n"\033]0;pwned\007",1600,0.6\n"3:1\t9",1600,0.6\n"1:1\nx",1600,0.6\n' > "$work/hostile.csv"
"$curve" --stages "$work/hostile.csv" > "$work/table" 2> "$work/stderr"
check "escape sequences never reach stderr raw" sh -c '! grep -q "$(printf "\033")" "$0"' "$work/stderr"
check "escape sequences never reach stdout raw" sh -c '! grep -q "$(printf "\033")" "$0"' "$work/table"
check "the table keeps one row per stage" test "$(wc -l < "$work/table")" -eq 4
check "every row has the header's columns" \
  test "$(awk -F'\t' '{print NF}' "$work/table" | sort -u | wc -l)" -eq 1

# Bounded input.
# Under a 1 GB address-space limit (not in the sanitizer build, whose shadow
# memory needs far more address space than it uses).
# ldd's whole list is taken first and matched afterwards: a grep -q that
# quits at the first match may end ldd by SIGPIPE, which pipefail would
# count as no match.
limit="ulimit -v 1000000;"
libraries=$(ldd "$curve" 2> /dev/null)
[[ $libraries == *libasan* ]] && limit=""
check "--stages /dev/zero is refused, bounded" status_is 1 timeout 60 sh -c "$limit"' "$0" --stages /dev/zero' "$curve"
check "--stages DIRECTORY says so" status_is 1 "$curve" --stages "$work"
check "--stages DIRECTORY: Is a directory" stderr_has "Is a directory"
{
  echo gas,t,C
  seq 100001 | sed 's/.*/3:1,1600,0.6/'
} > "$work/many.csv"
check "more than 100000 stages are refused" status_is 1 "$curve" --stages "$work/many.csv"
check "a repeated curve option is refused" status_is 2 "$curve" --cr 18 --cr 17
# --ledger: a stage that would burn more Cr than the bath has gives no
# totals; a heat option whose figures leave the number range is refused by
# its name; a repeated O2 column is refused.
printf 'gas,t,C,O2\n4:1,1600,0.60,20000\n' > "$work/burn.csv"
printf 'gas,t,C,O2\n4:1,1600,0.60,950\n' > "$work/blow.csv"
check "O2 20000 Nm3 in 80 t: no totals" sh -c '"$0" --stages "$1" --ledger --heat-mass 80 --start-carbon 1.5 2> /dev/null | grep -q "^合计	*$"' "$curve" "$work/burn.csv"
check "--basicity 1e308 is refused" status_is 2 "$curve" --stages "$work/blow.csv" --ledger --heat-mass 80 --start-carbon 1.5 --basicity 1e308
check "--basicity 1e308: named" stderr_has "--basicity: 1e+308"
printf 'gas,t,C,O2,O2\n4:1,1600,0.60,950,900\n' > "$work/twice.csv"
check "a repeated O2 column is refused" status_is 1 "$curve" --stages "$work/twice.csv" --ledger --heat-mass 80 --start-carbon 1.5
check "a repeated O2 column: says so" stderr_has "column 'O2' appears twice"

# An option the desktop program does not know starts no windows.
check "velkarin --no-such-option: status 2" status_is 2 env -u DISPLAY -u WAYLAND_DISPLAY "$velkarin" --no-such-option
check "velkarin --no-such-option: usage" stderr_has "Usage: velkarin"

# velkarin --report PLAN -o PDF: without a display; 0 written, 1 the plan
# cannot be read, 2 the options are incomplete, 3 the PDF cannot be written.
printf '{"format":"velkarin-plan","version":1,"stages":[{"gas":"3:1","t":"1600","C":"0.60"}],"note":"report"}' \
  > "$work/plan.velkarin"
printf '{"format":"velkarin-plan","version":9}' > "$work/newer.velkarin"
report() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" "$velkarin" --report "$@"; }
check "velkarin --report: status 0" status_is 0 report "$work/plan.velkarin" -o "$work/report.pdf"
check "velkarin --report: a PDF" grep -q '^%PDF-' "$work/report.pdf"
check "velkarin --report of a newer plan: status 1" status_is 1 report "$work/newer.velkarin" -o "$work/newer.pdf"
check "velkarin --report of a newer plan: says why" stderr_has "plan version 9 is newer"
check "velkarin --report of a newer plan: no PDF" test ! -e "$work/newer.pdf"
check "velkarin --report of no file: status 1" status_is 1 report "$work/none.velkarin" -o "$work/none.pdf"
check "velkarin --report without -o: status 2" status_is 2 report "$work/plan.velkarin"
check "velkarin --report -o into a folder that is not there: status 3" \
  status_is 3 report "$work/plan.velkarin" -o "$work/missing/report.pdf"
check "velkarin --report -o a directory: status 3" status_is 3 report "$work/plan.velkarin" -o "$work"
cp "$work/report.pdf" "$work/kept.pdf"
chmod a-w "$work" 2>/dev/null
if [ "$(id -u)" -ne 0 ]; then
  check "velkarin --report into a folder without write permission: status 3, old PDF kept" \
    sh -c '! "$0" --report "$1" -o "$2"/report.pdf 2>/dev/null && cmp -s "$2"/report.pdf "$2"/kept.pdf' \
    "$velkarin" "$work/plan.velkarin" "$work"
fi
chmod u+w "$work"

# A display that cannot be opened: the program's own message, status 1.
check "DISPLAY=:99: status 1" status_is 1 env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:99 "$velkarin"
check "DISPLAY=:99: names the display" stderr_has "DISPLAY=:99"
check "WAYLAND_DISPLAY without a compositor: status 1" \
  status_is 1 env -u DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY=wayland-99 "$velkarin"

# velkarin-batch --fit: 0 every reaction fitted, 1 a reaction with fewer
# than three usable heats (its reason on stderr), 2 an input it cannot read.
printf 'reaction,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,1600,0.4,18,9,0,0,86850\nCr2O3,1700,0.1,18,9,0,0,40530\n' > "$work/two.csv"
check "velkarin-batch --fit: status 0" status_is 0 "$batch" --fit "$(dirname "$heats")/plant-heats.csv"
check "velkarin-batch --fit of two heats: status 1" status_is 1 "$batch" --fit "$work/two.csv"
check "velkarin-batch --fit of two heats: says why" stderr_has "Cr2O3: fewer than 3 usable heats"
# A heat at 1e200 °C: its sums leave the number range; no "-nan" with status 0.
{ cat "$work/two.csv"; printf 'Cr2O3,1e200,0.2,18,9,0,0,50000\n'; } > "$work/huge.csv"
check "velkarin-batch --fit of a heat at 1e200: status 1" status_is 1 "$batch" --fit "$work/huge.csv"
check "velkarin-batch --fit of a heat at 1e200: says why" stderr_has "Cr2O3: the sums of the fit are beyond the number range"
check "velkarin-batch --fit of a heat at 1e200: no nan" sh -c '! "$0" --fit "$1" 2> /dev/null | grep -q nan' "$batch" "$work/huge.csv"
check "velkarin-batch --fit without pCO: status 2" status_is 2 "$batch" --fit "$work/stages.csv"
check "velkarin-batch --fit --bom: status 2" status_is 2 "$batch" --fit --bom "$work/two.csv"
check "velkarin-batch --fit > /dev/full: status 3" status_is 3 sh -c '"$0" --fit "$1" > /dev/full' "$batch" "$work/two.csv"

# velkarin-batch --calibrate: 0 fitted, 1 no fit (why on stderr), 2 a log it
# cannot read or a bad option, 3 an output it cannot write; a row that cannot
# be read leaves its heat out, named with its line.
log="$(dirname "$heats")/heat-log.csv"
head -n 21 "$log" > "$work/log4.csv"  # four heats: no cross-validation, a quick fit
check "velkarin-batch --calibrate: status 0" status_is 0 "$batch" --calibrate "$work/log4.csv"
check "velkarin-batch --calibrate: its header and one row" sh -c \
  '"$0" --calibrate "$1" | awk -F"\t" "NR==1 && \$1==\"k\" && NF==12 {h=1} NR==2 && \$6==4 && \$11==\"\" {r=1} END {exit !(h && r && NR==2)}"' \
  "$batch" "$work/log4.csv"
check "velkarin-batch --calibrate --residuals: a row per stage end" sh -c \
  '"$0" --calibrate --residuals "$1" | awk -F"\t" "NR==1 && \$1==\"heat\" {h=1} END {exit !(h && NR==21)}"' "$batch" "$work/log4.csv"
{ head -n 11 "$log"; sed -n 12p "$log" | sed 's/^H3,1,[0-9.]*/H3,1,eighty/'; sed -n '13,16p' "$log"; } > "$work/log-bad.csv"
check "velkarin-batch --calibrate of two good heats: status 1" status_is 1 "$batch" --calibrate "$work/log-bad.csv"
check "velkarin-batch --calibrate: the faulted row's line and heat" stderr_has "line 12: W 'eighty' is not a number (heat H3 left out)"
check "velkarin-batch --calibrate: why there is no fit" stderr_has "no fit: fewer than 3 heats"
check "velkarin-batch --calibrate: no nan" sh -c '! "$0" --calibrate "$1" 2> /dev/null | grep -qi nan' "$batch" "$work/log-bad.csv"
check "velkarin-batch --calibrate of a stage table: status 2" status_is 2 "$batch" --calibrate "$work/stages.csv"
check "velkarin-batch --sigma-c 0: status 2" status_is 2 "$batch" --calibrate --sigma-c 0 "$work/log4.csv"
check "velkarin-batch --residuals without --calibrate: status 2" status_is 2 "$batch" --residuals "$work/log4.csv"
check "velkarin-batch --calibrate > /dev/full: status 3" \
  status_is 3 sh -c '"$0" --calibrate "$1" > /dev/full' "$batch" "$work/log-bad.csv"
check "velkarin-batch --calibrate of an empty input: status 2" status_is 2 "$batch" --calibrate /dev/null

# Hostile plan files, for every reader of plans: refused with status 1 and
# the reason, never a hang, an abort or a crash. A FIFO without a writer and
# /dev/zero are refused before a byte is read.
head='{"format":"velkarin-plan","version":1,'
printf '%s"A":1e400}' "$head" > "$work/huge-number.velkarin"
printf '%s"x":%s' "$head" "$(printf '[%.0s' $(seq 65000))" > "$work/deep.velkarin"
mkfifo "$work/plan-fifo"
for plan in huge-number deep plan-fifo /dev/zero /proc/self/mem; do
  case $plan in /*) path=$plan ;; plan-fifo) path=$work/$plan ;; *) path=$work/$plan.velkarin ;; esac
  case $plan in
    huge-number) why="a number out of range" ;;
    deep) why="nested more than 64 levels deep" ;;
    plan-fifo | /dev/zero) why="not a regular file" ;;
    /proc/self/mem) why="cannot read: Input/output error" ;;
  esac
  check "velkarin-curve --plan $plan: status 1" status_is 1 timeout 20 "$curve" --plan "$path"
  check "velkarin-curve --plan $plan: says why" stderr_has "$why"
  check "velkarin --report $plan: status 1" status_is 1 timeout 20 env XDG_RUNTIME_DIR="$work" \
    QT_QPA_PLATFORM=offscreen "$velkarin" --report "$path" -o "$work/hostile.pdf"
  check "velkarin --report $plan: says why" stderr_has "$why"
done
# A path with an escape sequence is shown escaped, as the other tools show it.
check "velkarin --report of an escape in the path: status 1" \
  status_is 1 report "$work/$(printf 'x\033[31m').velkarin" -o "$work/x.pdf"
check "velkarin --report of an escape in the path: shown escaped" stderr_has 'x\x1B[31m.velkarin'

# -o naming a device or a FIFO writes through it in place: the node stays,
# and the device's own errors are reported.
check "velkarin-batch -o /dev/full: status 3" status_is 3 "$batch" -o /dev/full "$heats"
check "velkarin-batch -o /dev/full: says why" stderr_has "No space left on device"
check "velkarin --report -o /dev/full: status 3" status_is 3 report "$work/plan.velkarin" -o /dev/full
check "velkarin --report -o /dev/full: says why" stderr_has "No space left on device"
check "/dev/full is still a device" test -c /dev/full
if [ "$(id -u)" -eq 0 ] && mknod "$work/null" c 1 3 2> /dev/null; then
  "$batch" -o "$work/null" "$heats" 2> /dev/null
  report "$work/plan.velkarin" -o "$work/null" 2> /dev/null
  check "-o a device node made by mknod: it stays a device" test -c "$work/null"
fi
mkfifo "$work/out-fifo"
timeout 30 cat "$work/out-fifo" > "$work/from-fifo" &  # were the FIFO never opened, it would wait
reader=$!
check "velkarin-batch -o a FIFO: status 0" \
  status_is 0 timeout 20 "$batch" --fit -o "$work/out-fifo" "$(dirname "$heats")/plant-heats.csv"
wait "$reader"
check "velkarin-batch -o a FIFO: it stays a FIFO" test -p "$work/out-fifo"
check "velkarin-batch -o a FIFO: the reader got the fit" grep -q '^Cr2O3' "$work/from-fifo"

echo "cli faults: $failures failed"
[ "$failures" -eq 0 ]
