#!/bin/sh
# Prints which folder includes headers from which (one "from -> to" line per pair), then the
# folders from the bottom layer up; exits non-zero when the folders include each other in a
# circle, or when two folders hold headers of the same name (an include would be ambiguous).
#   include-graph.sh          the graph of this checkout
#   include-graph.sh DIR      the graph of the tree under DIR
set -eu
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# Every C++ source and header, and the templates of generated headers, outside the build
# trees; "./forms/form.h" becomes "forms form.h".
files=$(find . \( -path ./build -o -path ./.git -o -path './build-*' \) -prune -o \
  -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print | sed 's|^\./||' | sort)

edges=$(printf '%s\n' "$files" | awk '
  # Pass 1 (the file list on stdin): where each header lives. Includes name headers without
  # a folder, so a name must belong to one folder only.
  {
    folder = $0; sub(/\/.*/, "", folder)
    if (folder == $0) folder = "."
    name = $0; sub(/.*\//, "", name); sub(/\.in$/, "", name)
    files[++count] = $0; folderOf[$0] = folder
    if (name ~ /\.h$/) {
      if ((name in home) && home[name] != folder) {
        printf "include-graph: %s is in both %s/ and %s/\n", name, home[name], folder > "/dev/stderr"
        clash = 1
      }
      home[name] = folder
    }
  }
  END {
    if (clash) exit 2
    # Pass 2: the quoted includes of every file. System headers (<...>), generated moc files
    # and headers of other projects are not ours and resolve to no folder.
    for (i = 1; i <= count; ++i) {
      file = files[i]
      while ((getline line < file) > 0) {
        if (line !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
        name = line; sub(/^[^"]*"/, "", name); sub(/".*$/, "", name); sub(/.*\//, "", name)
        if (!(name in home) || home[name] == folderOf[file]) continue
        edge = folderOf[file] " " home[name]
        if (!(edge in seen)) { seen[edge] = 1; print edge }
      }
      close(file)
    }
  }' | sort)

printf '%s\n' "$edges" | awk 'NF { print $1 " -> " $2 }'

# tsort lists a folder before the folders it includes from, and names the folders of any
# circle.
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  printf '%s\n' "$loops" | sed -e 's/^tsort: //' -e 's/^-: input contains a loop:/a circle:/' >&2
  echo "include-graph: the folders include each other in a circle (see above)" >&2
  exit 1
fi
order=$(printf '%s\n' "$edges" | tsort | tac | tr '\n' ' ')
echo "layers, bottom first: ${order% }"
