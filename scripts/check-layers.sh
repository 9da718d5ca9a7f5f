#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
#
# The layers, lowest first:
#   kernel      platform/kernel
#   ui          platform/ui                       may use kernel
#   logic       src/data src/time src/geo src/model src/info src/util src/weather
#                                                 may use kernel, never ui or above
#   wnd         src/wnd                           may use ui and logic
#   app         src/app src/dialogs resources     may use wnd, output and everything below
#   output      src/cli (but the cli layer's)     the text and table builders: kernel and
#                                                 logic only, so the window's copy can use them
#   cli         src/cli/CommandLine.*, src/cli/WindowOptions.*
#                                                 the command line: everything but main
#   main        src/main.cpp                      everything
#   downloader  downloader                        may use kernel and logic only
#
# An include is looked for as the compiler does: beside the including file,
# then from the top of the tree, then from src/. Includes that name no file of
# the tree (the standard library, system headers) are not layers and pass.
# Prints one line per upward include and exits 1 when there is any.
# Usage: scripts/check-layers.sh
set -uo pipefail
cd "$(dirname "$0")/.."

layer_of() {
    case "$1" in
    platform/kernel/*) echo kernel ;;
    platform/ui/*) echo ui ;;
    src/data/* | src/time/* | src/geo/* | src/model/* | src/info/* | src/util/* | src/weather/*) echo logic ;;
    src/wnd/*) echo wnd ;;
    src/app/* | src/dialogs/* | resources/*) echo app ;;
    src/cli/CommandLine.* | src/cli/WindowOptions.*) echo cli ;;
    src/cli/*) echo output ;;
    src/main.cpp) echo main ;;
    downloader/*) echo downloader ;;
    *) echo other ;;
    esac
}

declare -A may_use=(
    [kernel]="kernel"
    [ui]="kernel ui"
    [logic]="kernel logic"
    [wnd]="kernel ui logic wnd"
    [output]="kernel logic output"
    [app]="kernel ui logic wnd output app"
    [cli]="kernel ui logic wnd output app cli"
    [main]="kernel ui logic wnd output app cli main"
    [downloader]="kernel logic downloader"
)

# The file an include names, relative to the top, or nothing.
resolve() {
    local from=$1 quoted=$2 name=$3 path candidates=()
    [ "$quoted" = '"' ] && candidates+=("${from%/*}/$name")
    candidates+=("$name" "src/$name")
    for path in "${candidates[@]}"; do
        if [ -f "$path" ]; then
            case "$path" in
            *..* | ./*) realpath -m --relative-to=. "$path" ;;
            *) echo "$path" ;;
            esac
            return
        fi
    done
}

found=0
checked=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    [ "$from" = other ] && continue
    checked=$((checked + 1))
    while IFS=: read -r line quoted name; do
        target=$(resolve "$file" "$quoted" "$name")
        [ -n "$target" ] || continue
        to=$(layer_of "$target")
        [ "$to" = other ] && continue
        case " ${may_use[$from]} " in
        *" $to "*) ;;
        *)
            echo "$file:$line: $from includes $target ($to)"
            found=1
            ;;
        esac
    done < <(awk 'match($0, /^[ \t]*#[ \t]*include[ \t]*["<][^">]+/) {
                      text = substr($0, RSTART, RLENGTH); sub(/^[^"<]*/, "", text)
                      print FNR ":" substr(text, 1, 1) ":" substr(text, 2) }' "$file")
done < <(find platform src downloader resources -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) | sort)

if [ $found -ne 0 ]; then
    echo "check-layers: a file includes a layer above its own (see the layers in scripts/check-layers.sh)"
    exit 1
fi
echo "check-layers: $checked files, no upward include"
