#!/usr/bin/env bash
# The module reaches the host's libraries only through their declarations, spelled
# <gpsdialogs/interfaces/...>. Fails, naming file and line, for every include of a module source
# that names host/ or app/, leads there from the including file's folder, names a header that
# only host/ has, or spells the declarations another way (interfaces/..., frame/interfaces/...).
#
# Usage: include_boundary.sh <repo-root>
# Exit status: 0 passed, 1 failed, 2 bad usage.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 <repo-root>" >&2
    exit 2
fi
ROOT=$(cd "$1" && pwd)
MODULE_FOLDERS=(frame search basestation exchange creation pointedit resources interfaces)

declare -A host_header=()
for h in "$ROOT"/host/*.h; do
    [[ -e $h ]] && host_header[$(basename "$h")]=1
done

failures=0
checked=0
for folder in "${MODULE_FOLDERS[@]}"; do
    [[ -d $ROOT/$folder ]] || continue
    while IFS= read -r -d '' file; do
        while IFS=: read -r line text; do
            [[ $text =~ \#[[:space:]]*include[[:space:]]*[\"\<]([^\"\>]+)[\"\>] ]] || continue
            target=${BASH_REMATCH[1]}
            resolved=$(realpath -m "$(dirname "$file")/$target")
            reason=
            case /$target in
            */host/* | */app/*) reason="names host/ or app/" ;;
            /interfaces/* | */frame/interfaces/*) reason="spell the declarations <gpsdialogs/interfaces/...>" ;;
            esac
            if [[ -z $reason ]]; then
                case $resolved/ in
                "$ROOT"/host/* | "$ROOT"/app/*) reason="leads into ${resolved#"$ROOT"/}" ;;
                "$ROOT"/interfaces/*)
                    [[ -e $resolved ]] && reason="spell the declarations <gpsdialogs/interfaces/...>" ;;
                esac
            fi
            if [[ -z $reason && -n ${host_header[$(basename "$target")]:-} && ! -e $resolved ]]; then
                reason="a header of host/"
            fi
            checked=$((checked + 1))
            if [[ -n $reason ]]; then
                echo "${file#"$ROOT"/}:$line: #include \"$target\": $reason" >&2
                failures=$((failures + 1))
            fi
        done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
    done < <(find "$ROOT/$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) -print0)
done

if [[ $checked -eq 0 ]]; then
    echo "include boundary: no include found under $ROOT, wrong folder?" >&2
    exit 1
fi
if [[ $failures -gt 0 ]]; then
    echo "include boundary: $failures include(s) of the module reach past interfaces/" >&2
    exit 1
fi
echo "include boundary: $checked includes of the module checked"
