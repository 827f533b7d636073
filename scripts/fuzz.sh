#!/usr/bin/env bash
# Runs a fuzzing campaign on one target: scripts/fuzz.sh TARGET [SECONDS] [-- LIBFUZZER-OPTION...]
# TARGET: header_readers, property_items, date_text, plugin or registrar; SECONDS: how long
# (default 600). Builds the fuzz preset's target, seeds it from ../shared/corpus (read here, at
# run time; never copied into the repository), keeps the growing corpus in build/fuzz/corpus/
# and writes anything found to build/fuzz/findings/TARGET/. A finding is fixed, then kept as a
# regression input under tests/data/fuzz/TARGET/. Run as root on Debian 12 after
# scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [-- LIBFUZZER-OPTION...]}
seconds=${2:-600}
shift $(($# >= 2 ? 2 : 1))
[[ ${1:-} == "--" ]] && shift

declare -A dictionaries=(
    [header_readers]="bmp_pcx gif png jpeg"
    [property_items]="jpeg tiff png gif"
    [plugin]="bmp_pcx gif png jpeg tiff"
    [registrar]="script"
    [date_text]="date"
)
declare -A max_length=([header_readers]=4096 [property_items]=65536 [plugin]=65536
                       [registrar]=8192 [date_text]=256)
[[ -n ${dictionaries[$target]:-} ]] || { echo "no fuzz target $target" >&2; exit 2; }

# Campaigns may run side by side: one of them at a time configures and builds.
mkdir -p build
(
    flock 9
    [[ -f build/fuzz/CMakeCache.txt ]] || cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz --target "fuzz_${target}" >/dev/null
) 9>build/fuzz.lock

work=build/fuzz
corpus_dir=../shared/corpus
seeds=$work/seeds/$target
rm -rf "$seeds"
mkdir -p "$seeds" "$work/corpus/$target" "$work/findings/$target"

# A seed is a corpus file behind the byte that selects its reader or format.
seed() {  # seed SELECTOR FILE
    local name
    name=$(basename "$2")
    { printf "\\x$(printf %02x "$1")"; head -c "${max_length[$target]}" "$2"; } >"$seeds/$1-$name"
}
selector_of() {  # the header readers' order: bmp, pcx, gif, png, jpeg
    case "${1,,}" in
        *.bmp) echo 0 ;; *.pcx) echo 1 ;; *.gif) echo 2 ;; *.png) echo 3 ;;
        *.jpg | *.jpeg) echo 4 ;; *) echo "" ;;
    esac
}
if [[ -d $corpus_dir ]]; then
    while IFS= read -r -d '' file; do
        case $target in
            header_readers | plugin)
                selector=$(selector_of "$file")
                [[ -n $selector ]] && seed "$selector" "$file"
                ;;
            property_items)  # JPEG, TIFF (II), TIFF (MM), PNG, GIF
                case "${file,,}" in
                    *.jpg | *.jpeg) seed 0 "$file" ;;
                    *.tif | *.tiff)
                        if [[ $(head -c 2 "$file") == "MM" ]]; then seed 2 "$file"; else seed 1 "$file"; fi ;;
                    *.png) seed 3 "$file" ;;
                    *.gif) seed 4 "$file" ;;
                esac
                ;;
        esac
    done < <(find "$corpus_dir" -type f -print0)
else
    echo "no $corpus_dir: starting from the built-in seeds only" >&2
fi
case $target in
    registrar)
        for script in resources/*.rgs tests/module/*.rgs; do
            sed -e 's/HKCR/HKCC/g' -e 's/HKCU/HKCC/g' -e 's/HKLM/HKCC/g' "$script" >"$seeds/$(basename "$script")"
        done
        ;;
    date_text)
        printf '2021:07:14 09:05:33' >"$seeds/exif"
        printf '2021-07-14T09:05:33' >"$seeds/iso"
        printf '7/14/2021 9:05:33 PM' >"$seeds/us"
        ;;
esac

dictionary=$work/$target.dict
for part in ${dictionaries[$target]}; do cat "fuzz/dictionaries/$part.dict"; done >"$dictionary"

exec "$work/fuzz/fuzz_${target}" -dict="$dictionary" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len="${max_length[$target]}" -print_final_stats=1 \
    -artifact_prefix="$work/findings/$target/" "$@" "$work/corpus/$target" "$seeds"
