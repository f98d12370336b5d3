#!/usr/bin/env bash
# Measures korvane-erase against peers in the same run on the same file system: a
# loop-mounted ext4 image when run as root, else a folder below the build tree.
#
#   bench/erase-bench.sh [path/to/korvane-erase]
#
# Prints MiB/s or files/s, the ratio to each peer (ours / peer: above 1 is faster) and the
# peak resident memory of every run. Peers: dd, GNU shred, scrub, srm (installed with
# apt-get when missing and running as root). BENCH_ONLY="large tree free gutmann" picks
# sections; BENCH_TREE_FOLDERS (default 50, of 100 files each) sizes the small-file tree.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
eraser=${1:-$repo/build/bundle/bin/korvane-erase}
[ -x "$eraser" ] || { echo "build first: $eraser not found" >&2; exit 2; }

is_root=0; [ "$(id -u)" -eq 0 ] && is_root=1
if [ $is_root -eq 1 ]; then
    missing=()
    for pair in scrub:scrub srm:secure-delete /usr/bin/time:time; do
        command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
fi

# Below the build tree: the system's temporary folder is a protected location.
work=$(mktemp -d "$repo/build/bench-XXXXXX")
mounts=()
cleanup() {
    for m in "${mounts[@]}"; do
        umount "${m%%|*}" 2>/dev/null || true
        losetup -d "${m#*|}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# mount_image NAME SIZE: an ext4 image mounted at $work/NAME (root), else a plain folder;
# sets fs to that folder.
mount_image() {
    local dir=$work/$1
    fs=$dir
    mkdir -p "$dir"
    if [ $is_root -eq 1 ] && [ -e /dev/loop-control ]; then
        truncate -s "$2" "$work/$1.img"
        mkfs.ext4 -q -F "$work/$1.img"
        local dev
        dev=$(losetup --find --show "$work/$1.img")
        mount "$dev" "$dir"
        mounts+=("$dir|$dev")
    fi
}

unmount_image() {
    local dir=$work/$1 keep=()
    for m in "${mounts[@]}"; do
        if [ "${m%%|*}" = "$dir" ]; then
            umount "$dir"; losetup -d "${m#*|}"
            [ "${2:-}" = keep ] || rm -f "$work/$1.img"
        else
            keep+=("$m")
        fi
    done
    mounts=("${keep[@]}")
}

# Every run starts from the same state: nothing dirty, caches dropped, and a moment for
# the write-back of the previous case to settle (else the first run of a case pays for it).
quiet_caches() {
    sync
    [ $is_root -eq 1 ] && echo 3 >/proc/sys/vm/drop_caches || true
    sleep 2
}

# measure LABEL CMD...: runs CMD, sets secs and rss_mib, and prints a line.
measure() {
    local label=$1; shift
    quiet_caches
    /usr/bin/time -o "$work/time.txt" -f '%e %M' "$@" >/dev/null 2>&1 || echo "  ($label exited with an error)"
    local out
    out=$(tail -1 "$work/time.txt")
    secs=${out% *}
    rss_mib=$(awk -v k="${out#* }" 'BEGIN { printf "%.1f", k / 1024 }')
    printf '  %-34s %8.2f s   peak RSS %6s MiB\n' "$label" "$secs" "$rss_mib"
}

rate() { awk -v a="$1" -v s="$2" 'BEGIN { printf "%.1f", a / (s > 0 ? s : 0.001) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

make_file() { dd if=/dev/zero of="$1" bs=4M count=$(($2 / 4)) conv=fsync status=none; }

erase=("$eraser" -q --log-dir "$work/logs")

only=" ${BENCH_ONLY:-large tree free gutmann} "
folders=${BENCH_TREE_FOLDERS:-50}

if [[ $only == *" large "* ]]; then
echo "== one-pass erasure of a 1 GiB file (algorithm 0, verification 0)"
mount_image large 1400M
declare -A large
make_file "$fs/f" 1024; measure "korvane-erase" "${erase[@]}" -a 0 -m 0 "$fs/f"; large[ours]=$secs
make_file "$fs/f" 1024; measure "dd conv=notrunc,fsync" dd if=/dev/zero of="$fs/f" bs=4M count=256 conv=notrunc,fsync
large[dd]=$secs; rm -f "$fs/f"
make_file "$fs/f" 1024; measure "shred -n0 -z -u" shred -n0 -z -u "$fs/f"; large[shred]=$secs
if command -v scrub >/dev/null; then
    make_file "$fs/f" 1024; measure "scrub -S -p fillzero -r" scrub -S -p fillzero -r "$fs/f"; large[scrub]=$secs
fi
unmount_image large
ours=$(rate 1024 "${large[ours]}")
echo "  korvane-erase: $ours MiB/s"
for peer in dd shred scrub; do
    [ -n "${large[$peer]:-}" ] && echo "  vs $peer: $(rate 1024 "${large[$peer]}") MiB/s, ratio $(ratio "$ours" "$(rate 1024 "${large[$peer]}")")"
done

fi

if [[ $only == *" tree "* ]]; then
files=$((folders * 100))
echo "== $files files of 4 KiB in $folders folders"
mount_image tree 600M
make_tree() {
    local d f block
    block=$(printf '%4096s' '')
    for d in $(seq 1 "$folders"); do
        mkdir -p "$fs/tree/d$d"
        for f in $(seq 1 100); do printf '%s' "$block" >"$fs/tree/d$d/f$f"; done
    done
}
declare -A tree
make_tree; measure "korvane-erase" "${erase[@]}" -a 0 -m 0 "$fs/tree"; tree[ours]=$secs
make_tree; measure "find -exec shred -n1 -u {} +" find "$fs/tree" -type f -exec shred -n1 -u {} +; tree[shred]=$secs
rm -rf "$fs/tree"
if command -v srm >/dev/null; then
    make_tree; measure "srm -r -llz" srm -r -llz "$fs/tree"; tree[srm]=$secs
fi
unmount_image tree
ours=$(rate "$files" "${tree[ours]}")
echo "  korvane-erase: $ours files/s"
for peer in shred srm; do
    [ -n "${tree[$peer]:-}" ] && echo "  vs $peer: $(rate "$files" "${tree[$peer]}") files/s, ratio $(ratio "$ours" "$(rate "$files" "${tree[$peer]}")")"
done

fi

if [[ $only == *" free "* ]]; then
echo "== unused space of a 2 GiB image after deleting 200 MiB of files"
if [ $is_root -eq 1 ] && [ -e /dev/loop-control ]; then
    marker="KVBENCH-$RANDOM$RANDOM-deleted-file-marker|"
    free_run() {
        local name=$1; shift
        mount_image "$name" 2G
        local dir=$fs
        local block
        block=$(for _ in $(seq 1 2000); do printf '%s' "$marker"; done)
        for i in $(seq 1 20); do
            for _ in $(seq 1 120); do printf '%s' "$block"; done >"$dir/m$i"   # about 10 MiB each
        done
        sync; rm -f "$dir"/m*; sync
        free_mib=$(df -B1M --output=avail "$dir" | tail -1 | tr -d ' ')
        local target=$dir
        [ "$name" = "scrub -X" ] && target=$dir/scrub-fill # scrub makes the folder itself
        measure "$name" "$@" "$target"
        left=$(ls -A "$dir" | grep -vc '^lost+found$' || true)
        unmount_image "$name" keep
        hits=$(grep -a -o "${marker:0:16}" "$work/$name.img" | wc -l)
        echo "  $name: $(rate "$free_mib" "$secs") MiB/s of free space ($free_mib MiB), marker hits left: $hits, entries left: $left"
        rm -f "$work/$name.img"
    }
    free_run korvane-erase "${erase[@]}" -a 0 -m 0 --free-space; ours_free=$secs
    free_run "scrub -X" scrub -S -p fillzero -X; scrub_free=$secs
    echo "  ratio to scrub -X: $(ratio "$scrub_free" "$ours_free")"
else
    echo "  skipped: needs root and loop devices for a file system image"
fi

fi

if [[ $only == *" gutmann "* ]]; then
echo "== Gutmann (35 passes) on a 64 MiB file"
mount_image gutmann 200M
make_file "$fs/g" 64; measure "korvane-erase -a 0 (one pass)" "${erase[@]}" -a 0 -m 0 "$fs/g"; one=$secs
make_file "$fs/g" 64; measure "korvane-erase -a 10 (35 passes)" "${erase[@]}" -a 10 -m 0 "$fs/g"; gut=$secs
unmount_image gutmann
echo "  time per Gutmann pass: $(awk -v g="$gut" 'BEGIN { printf "%.3f", g / 35 }') s against one pass $one s"
fi
