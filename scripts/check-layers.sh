#!/usr/bin/env bash
# Fails when a source file includes a folder above its own. The folders below a folder are the
# ones its library links in CMakeLists.txt; a header-only use would build without this check.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A below=(
  [platform]=""
  [settings]="platform"
  [core]="platform settings"
  [export]="platform settings core"
  [import]="platform settings core"
  [viewer]="platform settings core export"
  [duplicates]="platform settings core export"
  [compare]="platform settings core export import duplicates"
  [ui]="platform settings core export import viewer duplicates compare"
  [cli]="platform settings core export import viewer duplicates compare"
)
status=0
for folder in "${!below[@]}"; do
  [ -d "$folder" ] || continue
  allowed=" $folder ${below[$folder]} "
  while IFS=: read -r file line text; do
    [[ $text =~ include\ \"([^/\"]+)/ ]] || continue
    target=${BASH_REMATCH[1]}
    [[ -n "${below[$target]+set}" && "$allowed" != *" $target "* ]] || continue
    echo "$file:$line: $folder/ includes $target/, a folder above its own"
    status=1
  done < <(grep -rnE '^\s*#\s*include "[^/"]+/' --include='*.h' --include='*.cpp' "$folder" || true)
done
exit $status
