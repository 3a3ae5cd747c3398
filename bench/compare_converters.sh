#!/bin/sh
# Times korvelbase rtf --to text against pandoc and unrtf on the benchmark's
# Word-style 5 MB document. Usage: bench/compare_converters.sh BUILD_DIR
set -eu
build=${1:?usage: $0 BUILD_DIR}
file=$(mktemp --suffix=.rtf)
trap 'rm -f "$file"' EXIT
"$build/bench/rtf_reader_bench" --write "$file"
seconds() { /usr/bin/time -f %e "$@" >/dev/null 2>"$file.time" || true; tail -n 1 "$file.time"; rm -f "$file.time"; }
ours=$(seconds "$build/korvelbase" rtf "$file" --to text)
echo "korvelbase rtf --to text: $ours s"
for tool in "unrtf --text" "pandoc -f rtf -t plain"; do
    command -v ${tool%% *} >/dev/null || { echo "${tool%% *}: not installed"; continue; }
    t=$(seconds $tool "$file")
    echo "$tool: $t s ($(echo "$t $ours" | awk '{ printf "%.1f", $1 / $2 }') x ours)"
done
