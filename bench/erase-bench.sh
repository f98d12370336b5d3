#!/usr/bin/env bash
# Measures korvane-erase against peers and against the device's own floors, in the same run
# and on the same kind of file system: each case on a fresh loop-mounted ext4 image whose
# mount point is created under /mnt (where volumes live, so the run works wherever the clone
# lies, /tmp included). Without root it falls back to folders below the build tree.
#
#   bench/erase-bench.sh [path/to/korvane-erase]
#
# Every tool runs BENCH_RUNS times (default 3) per case; the table shows the median, the
# spread (min-max) and the ratio against each peer (above 1: we are faster) or floor.
# Floors: `dd oflag=direct bs=4M conv=fsync` (the device's write rate) and
# `dd iflag=direct` (its read rate), which no tool can beat.
# BENCH_ONLY="large tree free gutmann" picks cases (add "memory" for the peak RSS of every
# algorithm over a 1 GiB file and over unused space); BENCH_TREE_FOLDERS (default 50, of 100
# files each) sizes the small-file tree; BENCH_VERIFIED_MIB (default 512: the first and the
# last 256 MiB chunk) is what verification mode 0 reads back of the 1 GiB file.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
eraser=${1:-$repo/build/bundle/bin/korvane-erase}
[ -x "$eraser" ] || { echo "build first: $eraser not found" >&2; exit 2; }
runs=${BENCH_RUNS:-3}

is_root=0; [ "$(id -u)" -eq 0 ] && is_root=1
use_images=0; [ $is_root -eq 1 ] && [ -e /dev/loop-control ] && use_images=1
if [ $is_root -eq 1 ]; then
    missing=()
    for pair in scrub:scrub srm:secure-delete /usr/bin/time:time; do
        command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
fi

# Images, logs and timings; the images are mounted elsewhere (below /mnt).
if [ $use_images -eq 1 ]; then
    work=$(mktemp -d /var/tmp/korvane-bench-XXXXXX)
else
    work=$(mktemp -d "$repo/build/bench-XXXXXX")
    echo "(not root or no loop devices: measuring in $work on the build tree's file system)"
fi
mounts=()
cleanup() {
    for m in "${mounts[@]}"; do
        umount "${m%%|*}" 2>/dev/null || true
        losetup -d "${m#*|}" 2>/dev/null || true
        rmdir "${m%%|*}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# mount_image SIZE: a fresh ext4 image mounted at a new folder under /mnt (or a plain folder
# without root); sets fs to it.
mount_image() {
    if [ $use_images -eq 1 ]; then
        fs=$(mktemp -d /mnt/korvane-bench-XXXXXX)
        image=$work/$(basename "$fs").img
        truncate -s "$1" "$image"
        mkfs.ext4 -q -F "$image"
        local dev
        # BENCH_LOOP_DIO=on gives the loop device direct I/O: writes then reach the backing
        # disk instead of piling up in the page cache of the image file, whose write-back
        # throttling otherwise decides much of every figure.
        dev=$(losetup --direct-io="${BENCH_LOOP_DIO:-off}" --find --show "$image")
        mount "$dev" "$fs"
        mounts+=("$fs|$dev")
    else
        fs=$(mktemp -d "$work/fs-XXXXXX")
        image=""
    fi
}

# unmount_image: undoes the last mount_image; the image file stays for a scan until
# drop_image.
unmount_image() {
    local keep=()
    for m in "${mounts[@]}"; do
        if [ "${m%%|*}" = "$fs" ]; then
            umount "$fs"; losetup -d "${m#*|}"; rmdir "$fs"
        else
            keep+=("$m")
        fi
    done
    mounts=("${keep[@]}")
    [ $use_images -eq 1 ] || rm -rf "$fs"
}
drop_image() { [ -n "$image" ] && rm -f "$image"; true; }

# Every run starts from the same state: nothing dirty, caches dropped, and a moment for the
# write-back of the previous run to settle.
quiet_caches() {
    sync
    [ $is_root -eq 1 ] && echo 3 >/proc/sys/vm/drop_caches || true
    sleep 1
}

# timed KEY CMD...: runs CMD once, appends its seconds and peak RSS to $work/KEY.
timed() {
    local key=$1; shift
    quiet_caches
    /usr/bin/time -o "$work/time.txt" -f '%e %M' "$@" >/dev/null 2>&1 || echo "  ($key exited with an error)" >&2
    tail -1 "$work/time.txt" >>"$work/$key"
}

median() { sort -n "$work/$1" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
spread() { sort -n "$work/$1" | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f-%.2f", lo, hi }'; }
peak_rss() { awk 'BEGIN { m = 0 } $2 > m { m = $2 } END { printf "%.1f", m / 1024 }' "$work/$1"; }
have() { [ -s "$work/$1" ]; }
rate() { awk -v a="$1" -v s="$2" 'BEGIN { printf "%.1f", a / (s > 0 ? s : 0.001) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
meets() { awk -v r="$1" -v t="$2" -v dir="$3" 'BEGIN { ok = dir == "max" ? r <= t : r >= t; print ok ? "yes" : "NO" }'; }

rows=()
# row CASE TOOL KEY AMOUNT UNIT: one table line with the median rate of KEY.
row() {
    have "$3" || return 0
    local m; m=$(median "$3")
    rows+=("$(printf '%-22s | %-34s | %9s %-7s | %6.2f s (%s) | %6s MiB' "$1" "$2" "$(rate "$4" "$m")" "$5" "$m" "$(spread "$3")" "$(peak_rss "$3")")")
}
results=()
result() { results+=("$(printf '%-58s %8s  target %-8s met: %s' "$1" "$2" "$3" "$4")"); }

make_file() { dd if=/dev/zero of="$1" bs=4M count=$(($2 / 4)) conv=fsync status=none; }

erase=("$eraser" -q --log-dir "$work/logs")
only=" ${BENCH_ONLY:-large tree free gutmann} "
folders=${BENCH_TREE_FOLDERS:-50}

if [[ $only == *" large "* ]]; then
    echo "== one-pass erasure of a 1 GiB file (algorithm 0, verification 0), $runs runs"
    verified=${BENCH_VERIFIED_MIB:-512}
    mount_image 1400M
    for _ in $(seq "$runs"); do
        make_file "$fs/f" 1024; timed large-ours "${erase[@]}" -a 0 -m 0 "$fs/f"
        make_file "$fs/f" 1024; timed large-ddw dd if=/dev/zero of="$fs/f" bs=4M count=256 oflag=direct conv=notrunc,fsync
        timed large-ddr dd if="$fs/f" of=/dev/null bs=4M count=$((verified / 4)) iflag=direct
        rm -f "$fs/f"
        make_file "$fs/f" 1024; timed large-shred shred -n0 -z -u "$fs/f"
        if command -v scrub >/dev/null; then
            make_file "$fs/f" 1024; timed large-scrub scrub -S -p fillzero -r "$fs/f"
        fi
    done
    unmount_image; drop_image
    row "1 GiB, one pass" "korvane-erase -a 0 -m 0" large-ours 1024 MiB/s
    row "" "floor: dd oflag=direct conv=fsync" large-ddw 1024 MiB/s
    row "" "floor: dd iflag=direct ($verified MiB)" large-ddr "$verified" MiB/s
    row "" "shred -n0 -z -u" large-shred 1024 MiB/s
    row "" "scrub -S -p fillzero -r" large-scrub 1024 MiB/s
    floor=$(awk -v w="$(median large-ddw)" -v r="$(median large-ddr)" 'BEGIN { print (w > r ? w : r) }')
    r=$(ratio "$floor" "$(median large-ours)")
    result "1 GiB one pass: floor time / our time" "$r" ">= 0.9" "$(meets "$r" 0.9 min)"
    for peer in shred scrub; do
        have "large-$peer" && result "1 GiB one pass: ours / $peer (rate)" "$(ratio "$(median "large-$peer")" "$(median large-ours)")" "" "-"
    done
fi

if [[ $only == *" tree "* ]]; then
    files=$((folders * 100))
    echo "== $files files of 4 KiB in $folders folders, $runs runs"
    mount_image 600M
    make_tree() {
        local d f block
        block=$(printf '%4096s' '')
        for d in $(seq 1 "$folders"); do
            mkdir -p "$fs/tree/d$d"
            for f in $(seq 1 100); do printf '%s' "$block" >"$fs/tree/d$d/f$f"; done
        done
    }
    for _ in $(seq "$runs"); do
        make_tree; timed tree-ours "${erase[@]}" -a 0 -m 0 "$fs/tree"
        rm -rf "$fs/tree"
        if command -v srm >/dev/null; then
            make_tree; timed tree-srm srm -r -llz "$fs/tree"
        fi
        make_tree; timed tree-shred find "$fs/tree" -type f -exec shred -n1 -u {} +
        rm -rf "$fs/tree"
    done
    unmount_image; drop_image
    row "$files x 4 KiB" "korvane-erase -a 0 -m 0" tree-ours "$files" files/s
    row "" "srm -r -llz" tree-srm "$files" files/s
    row "" "find -exec shred -n1 -u {} +" tree-shred "$files" files/s
    if have tree-srm; then
        r=$(ratio "$(median tree-srm)" "$(median tree-ours)")
        result "small files: ours / srm -r -llz (files/s)" "$r" ">= 3" "$(meets "$r" 3 min)"
    fi
fi

if [[ $only == *" free "* ]]; then
    echo "== unused space of a 2 GiB image after deleting 200 MiB of files, $runs runs"
    if [ $use_images -eq 1 ]; then
        marker="KVBENCH-$RANDOM$RANDOM-deleted-file-marker|"
        block=$(for _ in $(seq 1 2000); do printf '%s' "$marker"; done)
        free_run() {
            local key=$1; shift
            mount_image 2G
            for i in $(seq 1 20); do
                for _ in $(seq 1 120); do printf '%s' "$block"; done >"$fs/m$i" # about 10 MiB each
            done
            sync; rm -f "$fs"/m*; sync
            free_mib=$(df -B1M --output=avail "$fs" | tail -1 | tr -d ' ')
            local target=$fs
            [ "$key" = free-scrub ] && target=$fs/scrub-fill # scrub makes the folder itself
            timed "$key" "$@" "$target"
            local left; left=$(ls -A "$fs" | grep -vc '^lost+found$' || true)
            unmount_image
            echo "  $key: $(grep -a -o "${marker:0:16}" "$image" | wc -l) marker hits left, $left entries left" >&2
            drop_image
        }
        for _ in $(seq "$runs"); do
            free_run free-ours "${erase[@]}" -a 0 -m 0 --free-space
            free_run free-scrub scrub -S -p fillzero -X
        done
        row "unused space, 2 GiB" "korvane-erase --free-space" free-ours "$free_mib" MiB/s
        row "" "scrub -S -p fillzero -X" free-scrub "$free_mib" MiB/s
        r=$(ratio "$(median free-scrub)" "$(median free-ours)")
        result "unused space: ours / scrub -X (rate)" "$r" ">= 1.0" "$(meets "$r" 1.0 min)"
    else
        echo "  skipped: needs root and loop devices for a file system image"
    fi
fi

if [[ $only == *" gutmann "* ]]; then
    echo "== Gutmann (35 passes) on a 64 MiB file, $runs runs"
    mount_image 200M
    for _ in $(seq "$runs"); do
        make_file "$fs/g" 64; timed gut-one "${erase[@]}" -a 0 -m 0 "$fs/g"
        make_file "$fs/g" 64; timed gut-35 "${erase[@]}" -a 10 -m 0 "$fs/g"
    done
    unmount_image; drop_image
    row "64 MiB" "korvane-erase -a 0 (one pass)" gut-one 64 MiB/s
    row "" "korvane-erase -a 10 (35 passes)" gut-35 64 MiB/s
    r=$(ratio "$(median gut-35)" "$(median gut-one)")
    result "Gutmann: 35-pass time / one-pass time" "$r" "<= 35" "$(meets "$r" 35 max)"
fi

if [[ $only == *" memory "* ]]; then
    # Peak memory only (one run each): every algorithm over a 1 GiB file, and over the unused
    # space of a 1.4 GiB image, where every chunk is a whole one.
    echo "== peak RSS per algorithm (MiB): 1 GiB file, unused space of a 1.4 GiB image"
    printf '%-9s | %9s | %12s\n' algorithm "1 GiB" "unused space"
    mount_image 1400M
    for a in $(seq 0 16); do
        make_file "$fs/f" 1024; timed "mem-file-$a" "${erase[@]}" -a "$a" -m 0 "$fs/f"; rm -f "$fs/f"
        timed "mem-free-$a" "${erase[@]}" -a "$a" -m 0 --free-space "$fs"
        printf '%-9s | %9s | %12s\n' "$a" "$(peak_rss "mem-file-$a")" "$(peak_rss "mem-free-$a")"
        peak=$(cat "$work/mem-file-$a" "$work/mem-free-$a" | awk '$2 > m { m = $2 } END { print m }')
        echo "$(awk '{ print $1 }' "$work/mem-file-$a") $peak" >>"$work/memory"
    done
    unmount_image; drop_image
fi

echo
printf '%-22s | %-34s | %-17s | %-20s | %s\n' "Case" "Tool" "Rate (median)" "Time (min-max)" "Peak RSS"
for line in "${rows[@]}"; do echo "$line"; done
echo
peak=0
for key in large-ours tree-ours free-ours gut-one gut-35 memory; do
    have "$key" && peak=$(awk -v a="$peak" -v b="$(peak_rss "$key")" 'BEGIN { print (b > a ? b : a) }')
done
result "peak memory of korvane-erase (MiB)" "$peak" "< 100" "$(meets "$peak" 99.99 max)"
for line in "${results[@]}"; do echo "$line"; done
