#!/usr/bin/env bash
# Fails unless the pictures kept in resources/ are the ones imagegen draws, and the program's
# resource list embeds every tick and cross it draws and no other.
#   check-pictures.sh IMAGEGEN RESOURCES_DIR
set -euo pipefail
export LC_ALL=C  # one sorting order for both lists
imagegen=$1
resources=$2
drawn=$(mktemp -d)
trap 'rm -rf "$drawn"' EXIT
"$imagegen" "$drawn"

failed=0
for file in "$drawn"/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$resources/$name"; then
    echo "resources/$name is not what imagegen draws"
    failed=1
  fi
done
for file in "$resources"/*.gif; do
  if [ ! -e "$drawn/$(basename "$file")" ]; then
    echo "resources/$(basename "$file") is not drawn by imagegen"
    failed=1
  fi
done
made=$(cd "$drawn" && ls -- *.gif | sort)
listed=$(grep -o '"[^"]*\.gif"' "$resources/status_pictures.rc" | tr -d '"' | sort)
if [ "$made" != "$listed" ]; then
  echo "status_pictures.rc embeds other pictures than imagegen draws:"
  diff <(echo "$made") <(echo "$listed") || true
  failed=1
fi
exit $failed
