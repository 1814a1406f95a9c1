#!/bin/sh
# The terminal side by side with GTKTerm and CuteCom on the shared pty harness
# (ptybench.py), in one run, then the table of medians.
#
# Usage: sh bench/ptybench-velmora.sh BUILD_DIR [HARNESS_DIR] [SCRATCH_DIR]
#   BUILD_DIR    a Release build holding ui/velmora and bench/velmora-bench-seed
#   HARNESS_DIR  the harness folder (default: ../shared/bench beside the repository);
#                it writes beside itself, so it is copied to SCRATCH_DIR first
#   SCRATCH_DIR  default: a new folder under /tmp
# Environment: REPEAT (3), DISPLAY_BASE (first X display tried, 96),
#   PEERS ("gtkterm cutecom"; empty runs the terminal alone).
#
# Every start seeds the terminal's working directory with the three state
# files, written by the program's own file code (velmora-bench-seed): the port
# as "./p0", a link in that directory (the settings record holds four
# characters, and a name with a slash opens as given), 115200 8N1, TimeRX 1;
# ASCII for the text flood and the bursts, HEX with time stamps for the
# binary flood. "Connect" is clicked in the
# window; the probe clicks the console line, types the token and presses
# Enter (in HEX mode it clicks "ASCII" first).
#
# A row "qt-clock-only" gives the floor under the idle figure on this machine:
# velmora-idle-reference, a Qt window that only shows a seconds clock in a
# label like the terminal's, holding the port open (idle test only, no probe).
set -eu

BUILD=$(cd "${1:?usage: $0 BUILD_DIR [HARNESS_DIR] [SCRATCH_DIR]}" && pwd)
REPO=$(cd "$(dirname "$0")/.." && pwd)
HARNESS=${2:-$REPO/../shared/bench}
SCRATCH=${3:-$(mktemp -d /tmp/ptybench-velmora.XXXXXX)}
REPEAT=${REPEAT:-3}
DISPLAY_BASE=${DISPLAY_BASE:-96}
PEERS=${PEERS-gtkterm cutecom}

VELMORA=$BUILD/ui/velmora
SEED=$BUILD/bench/velmora-bench-seed
REFERENCE=$BUILD/bench/velmora-idle-reference
for f in "$VELMORA" "$SEED" "$REFERENCE"; do
  [ -x "$f" ] || { echo "missing $f: build the targets velmora, velmora-bench-seed and velmora-idle-reference" >&2; exit 1; }
done
for tool in python3 Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install xvfb xdotool)" >&2; exit 1; }
done

mkdir -p "$SCRATCH"
cp -r "$HARNESS"/. "$SCRATCH"/
chmod -R u+w "$SCRATCH"
cd "$SCRATCH"
mkdir -p results homes
OUT=results/side-by-side.jsonl
: > "$OUT"

# Window coordinates of the controls the hooks click, as the window lays
# itself out at its start-up size.
WHERE=$("$SEED" where BTConnect MainStrCmd RBASCII)
CONNECT_XY=$(echo "$WHERE" | sed -n 1p)
CONSOLE_XY=$(echo "$WHERE" | sed -n 2p)
ASCII_XY=$(echo "$WHERE" | sed -n 3p)

B="python3 ptybench.py run --repeat $REPEAT --display-base $DISPLAY_BASE --out $OUT"

velmora() { # MODE PROBE-CLICKS TESTS
  home=$SCRATCH/homes/velmora-$1
  $B --name velmora --gui --home "$home" --link "$home/p0" --tests "$3" \
     --cmd "sh -c 'cd \"\$HOME\" && exec $VELMORA'" \
     --setup "$SEED files {home} ./p0 $1" \
     --connect "xdotool windowfocus --sync {wid} mousemove --window {wid} $CONNECT_XY click 1" \
     --probe-cmd "xdotool windowfocus --sync {wid} $2 key --delay 1 {keys} Return"
}

# The focus stays on "Connect" (a blinking cursor in the console line would
# cost idle CPU): the probe clicks the console line, types the token and
# presses Enter. In HEX mode the token is no hex: it clicks "ASCII" first.
# xdotool's click sleeps its --delay (100 ms unless told) after the last
# click too, before the keys: that pause is the tool's, not the terminal's,
# and the peers' probe, which types without clicking, has none.
CLICK_CONSOLE="mousemove --window {wid} $CONSOLE_XY click --delay 0 1"
velmora ascii "$CLICK_CONSOLE" idle,text,bursts
velmora hex "mousemove --window {wid} $ASCII_XY click --delay 0 1 $CLICK_CONSOLE" binary
$B --name qt-clock-only --gui --cmd "$REFERENCE {port}" --tests idle --probe-timeout 0.2

for peer in $PEERS; do
  case $peer in
    gtkterm)
      [ -f peers/ptyshim.so ] || gcc -shared -fPIC -O2 -o peers/ptyshim.so peers/ptyshim.c -ldl
      $B --name gtkterm --gui --link /tmp/ttyBENCH0 --cmd 'gtkterm -p {port} -s 115200' \
         --home homes/gtkterm \
         --setup 'mkdir -p {home}/.config && cp peers/gtktermrc {home}/.config/.gtktermrc' \
         --env LD_PRELOAD="$PWD/peers/ptyshim.so" --env 'PTYBENCH_UDEV_PORT={port}' \
         --env PTYBENCH_FAKE_MODEM=1 ;;
    cutecom)
      $B --name cutecom --gui --link /tmp/ttyBENCH0 --cmd 'cutecom' --home homes/cutecom \
         --setup 'mkdir -p {home}/.config/CuteCom && sed "s#@PORT@#{port}#" peers/CuteCom5.conf.in > {home}/.config/CuteCom/CuteCom5.conf' \
         --connect 'xdotool windowfocus --sync {wid} key alt+o'
      rm -f /var/lock/LCK.._tmp_ttyBENCH0 ;;
    *) echo "unknown peer $peer" >&2 ;;
  esac
done

python3 ptybench.py summarize "$OUT"
python3 - "$OUT" <<'EOF'
import json, statistics, sys
recs = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
def med(term, test, key):
    vals = [r[key] for r in recs if r["terminal"] == term and r["test"] == test
            and isinstance(r.get(key), (int, float)) and not isinstance(r.get(key), bool)]
    return statistics.median(vals) if vals else None
def fmt(v):
    return "-" if v is None else f"{v:g}"
def lost(term):
    bad = 0
    for r in recs:
        if r["terminal"] != term:
            continue
        if "error" in r or r.get("complete") is False or r.get("missed") or r.get("alive") is False:
            bad += 1
    return bad
cols = [("idle CPU %", "idle", "cpu_pct"), ("text MB/s", "text", "mb_s"),
        ("text CPU s/MB", "text", "cpu_s_per_mb"), ("binary MB/s", "binary", "mb_s"),
        ("binary CPU s/MB", "binary", "cpu_s_per_mb"), ("bursts CPU %", "bursts", "cpu_pct"),
        ("burst p95 ms", "bursts", "lat_p95_ms")]
terms = []
for r in recs:
    if r["terminal"] not in terms:
        terms.append(r["terminal"])
print("\n| terminal | " + " | ".join(c[0] for c in cols) + " | probe ms | failed runs |")
print("|---" * (len(cols) + 3) + "|")
for t in terms:
    probes = [r["probe_ms"] for r in recs if r["terminal"] == t and isinstance(r.get("probe_ms"), (int, float))]
    probe = statistics.median(probes) if probes else None
    print(f"| {t} | " + " | ".join(fmt(med(t, test, key)) for _, test, key in cols)
          + f" | {fmt(probe)} | {lost(t)} |")
print("\n(medians of the repetitions; failed runs: errors, incomplete floods, missed bursts)")
EOF
echo "results: $SCRATCH/$OUT"
