#!/usr/bin/env bash
# quendel-patch against bbe doing the same replacement and cat copying the same
# file, run alternately; prints the median of the per-round time ratios and the
# peak memory of each. Usage: bench/compare.sh QUENDEL_PATCH [ROUNDS]
set -euo pipefail
tool=$(realpath "$1")
rounds=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sig='\x2E\x80\x3D\xFF\x74\x0A\x2E\x3A\x05\x74\x0B\x83\xC7\x30\xEB\xF0\xB0\xEE\xE6\x80\xEB\xFE'
rep='\x3C\x07\x74\x04\xA8\x01\x75\x05\xB9\x06\x00\xEB\x03\xB9\x05\x00\x83\xC7\x30\xE2\xFB\x90'

make_image() {  # SIZE_KIB FILE: random bytes with the signature in the middle
    local half=$(($1 / 2))
    { head -c $((half * 1024)) /dev/urandom; printf "$sig"; head -c $(($1 * 1024 - half * 1024 - 22)) /dev/urandom; } >"$2"
}

copy_with_cat() { cat "$1" >"$2"; }
seconds() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(((e - s) / 1000)); }
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for size_kib in 256 262144; do
    in="$work/in.bin"
    make_image "$size_kib" "$in"
    q=("$tool" --divider 1/2 "$in" "$work/q.bin")
    b=(bbe -b "/$sig/:22" -e 'L 1' -e "r 0 $rep" -o "$work/b.bin" "$in")
    c=(copy_with_cat "$in" "$work/c.bin")
    "${q[@]}" >/dev/null; "${b[@]}"; cmp "$work/q.bin" "$work/b.bin" || { echo "outputs differ" >&2; exit 1; }
    reps=$((size_kib > 1024 ? 1 : 200))
    loop() { for ((i = 0; i < reps; i++)); do "$@"; done; }
    : >"$work/vs_bbe"; : >"$work/vs_cat"
    for ((r = 0; r < rounds; r++)); do
        tq=$(seconds loop "${q[@]}"); tb=$(seconds loop "${b[@]}"); tc=$(seconds loop "${c[@]}")
        echo "$tq $tb" | awk '{ print $1 / $2 }' >>"$work/vs_bbe"
        echo "$tq $tc" | awk '{ print $1 / $2 }' >>"$work/vs_cat"
    done
    echo "$size_kib KiB image, $rounds rounds (median time ratio, lower is faster):"
    echo "  quendel-patch / bbe: $(median <"$work/vs_bbe")"
    echo "  quendel-patch / cat: $(median <"$work/vs_cat")"
    echo "  peak memory KiB: quendel-patch $(peak_kib "${q[@]}"), bbe $(peak_kib "${b[@]}"), cat $(peak_kib cat "$in")"
done
