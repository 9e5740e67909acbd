#!/usr/bin/env bash
# Whole-process comparison of the RTF reader with pandoc: `quillory-rtftext FILE` against
# `pandoc -f rtf -t plain FILE`, run in turn RUNS times each (default 3), output thrown away.
# Prints, for each file (default: the 1, 10 and 50 MB journals of ../shared/corpus/large), the
# median wall and processor (user + system) seconds of each and how many times faster the
# reader is. Usage: bench/compare_pandoc.sh [RUNS] [FILE...]   (from the source folder, after
# building; pandoc needs about a minute for the 50 MB journal)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=3
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
    runs=$1
    shift
fi
corpus=${QUILLORY_CORPUS:-$here/../../shared/corpus}
files=("$@")
[ ${#files[@]} -gt 0 ] || files=("$corpus"/large/journal-{1,10,50}mb.rtf)
reader=$here/../build/quillory-rtftext

# Runs a command once; prints "wall cpu" in seconds.
timed() {
    local TIMEFORMAT='%R %U %S' times
    times=$({ time "$@" >/dev/null 2>&1; } 2>&1)
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<<"$times"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

printf '%-22s %7s %10s %10s %10s %10s %8s %8s\n' file MB "reader s" "cpu s" "pandoc s" \
    "cpu s" "x wall" "x cpu"
for file in "${files[@]}"; do
    reader_times=()
    pandoc_times=()
    for ((i = 0; i < runs; i++)); do
        reader_times+=("$(timed "$reader" "$file")")
        pandoc_times+=("$(timed pandoc -f rtf -t plain "$file")")
    done
    rw=$(printf '%s\n' "${reader_times[@]}" | cut -d' ' -f1 | median)
    rc=$(printf '%s\n' "${reader_times[@]}" | cut -d' ' -f2 | median)
    pw=$(printf '%s\n' "${pandoc_times[@]}" | cut -d' ' -f1 | median)
    pc=$(printf '%s\n' "${pandoc_times[@]}" | cut -d' ' -f2 | median)
    awk -v f="$(basename "$file")" -v mb="$(stat -c %s "$file")" -v rw="$rw" -v rc="$rc" \
        -v pw="$pw" -v pc="$pc" 'BEGIN {
            printf "%-22s %7.1f %10.3f %10.3f %10.3f %10.3f %8.1f %8.1f\n",
                f, mb / 1048576, rw, rc, pw, pc, pw / rw, pc / rc }'
done
