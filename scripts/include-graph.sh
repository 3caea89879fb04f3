#!/bin/sh
# Checks that the folders include one another's headers only in the order of their layers.
#
# The order is stated once, in README.md ("How the code is laid out"), on the line that
# starts "Layers, bottom first:". Levels are separated by ";", bottom first, and folders
# sharing a level by ","; backquotes and slashes around the names are ignored. The line
# that starts "Outside the layers:" names, the same way, the folders that hold C++ sources
# but are no layer (the tests and the benchmarks).
#
# A file in a layer may include only headers of its own folder and of the levels below its
# own: never a header of another folder on its level (such peers do not include each
# other), of a level above, of a folder outside the layers, or of the top folder. Files
# outside the layers and in the top folder may include any header. Folders without C++
# sources (packaging, scripts, resources, docs, cmake) are not looked at.
#
# Sources are .cpp and .h files and the .h.in templates of generated headers, outside the
# build trees. An include is a quoted #include anywhere in a file; it is matched to a
# folder by the header's file name, so system headers (<...>), moc files and headers of
# other projects resolve to no folder and are not checked.
#
# Prints which folder includes headers from which (one "from -> to" line per pair), then
# the two lines as read from README.md. Exits non-zero, with the reasons on stderr, when
#   - a file includes a header against the order: each such include, by file and line;
#   - a folder holds C++ sources but README.md names it neither as a layer nor outside the
#     layers, or README.md names a folder twice or one that holds no C++ sources;
#   - the folders include each other in a circle (only possible among the folders outside
#     the layers and the top folder: a circle through a layer takes an include against
#     the order);
#   - two folders hold headers of the same name (an include would be ambiguous), or
#     README.md has no "Layers, bottom first:" line; then nothing else is checked.
#   include-graph.sh          checks this checkout
#   include-graph.sh DIR      checks the tree under DIR, by DIR/README.md
set -eu
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# "./forms/form.h" becomes "forms/form.h".
files=$(find . \( -path ./build -o -path ./.git -o -path './build-*' \) -prune -o \
  -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print | sed 's|^\./||' | sort)

# Writes "edge FROM TO" for each pair of folders and "read ..." lines on stdout and every
# breach of the order on stderr; exits 1 after a breach, 2 when it cannot check at all.
status=0
found=$(printf '%s\n' "$files" | awk -v readme=README.md '
  function where(folder) { return folder == "." ? "the top folder" : folder "/" }
  function fail(message) { print "include-graph: " message > "/dev/stderr"; failed = 1 }
  # Reads the folder names of one README line into levelOf: the level, counted from 1 at
  # the bottom, or 0 for a folder outside the layers. Returns the line as read.
  function names(text, outside,    levels, folders, nLevels, nFolders, l, f, name, level, shown) {
    nLevels = split(text, levels, ";")
    for (l = 1; l <= nLevels; ++l) {
      nFolders = split(levels[l], folders, ",")
      level = ""
      for (f = 1; f <= nFolders; ++f) {
        name = folders[f]; gsub(/[`\/ \t]/, "", name)
        if (name == "") continue
        if (name in levelOf) fail(readme " names " name "/ twice")
        if (level == "" && !outside) ++levelsRead
        levelOf[name] = outside ? 0 : levelsRead
        level = level (level == "" ? "" : ", ") name
      }
      if (level != "") shown = shown (shown == "" ? "" : "; ") level
    }
    return shown
  }
  BEGIN {
    while ((got = getline line < readme) > 0) {
      if (sub(/^Layers, bottom first:/, "", line)) layers = names(line, 0)
      else if (sub(/^Outside the layers:/, "", line)) outside = names(line, 1)
    }
    if (got < 0) fail("cannot read " readme)
    else if (layers == "") fail(readme " has no line \"Layers, bottom first: ...\"")
    if (layers == "") { halt = 2; exit }
  }
  # Pass 1 (the file list on stdin): where each header lives. Includes name headers without
  # a folder, so a name must belong to one folder only.
  {
    folder = $0; sub(/\/.*/, "", folder)
    if (folder == $0) folder = "."
    else holdsSources[folder] = 1
    name = $0; sub(/.*\//, "", name); sub(/\.in$/, "", name)
    files[++count] = $0; folderOf[$0] = folder
    if (name ~ /\.h$/) {
      if ((name in home) && home[name] != folder) {
        printf "include-graph: %s is in both %s/ and %s/\n", name, home[name], folder > "/dev/stderr"
        halt = 2
      }
      home[name] = folder
    }
  }
  END {
    if (halt) exit halt
    for (folder in holdsSources)
      if (!(folder in levelOf))
        fail(folder "/ holds C++ sources, but " readme " names it neither as a layer nor outside the layers")
    for (folder in levelOf)
      if (!(folder in holdsSources)) fail(readme " names " folder "/, which holds no C++ sources")
    # Pass 2: the quoted includes of every file.
    for (i = 1; i <= count; ++i) {
      file = files[i]; from = folderOf[file]; number = 0
      while ((getline line < file) > 0) {
        ++number
        if (line !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
        written = line; sub(/^[^"]*"/, "", written); sub(/".*$/, "", written)
        name = written; sub(/.*\//, "", name)
        if (!(name in home) || home[name] == from) continue
        to = home[name]
        edge = from " " to
        if (!(edge in seen)) { seen[edge] = 1; print "edge " edge }
        if (!(from in levelOf) || levelOf[from] == 0) continue
        if (!(to in levelOf) || levelOf[to] == 0) why = "which is outside the layers"
        else if (levelOf[to] > levelOf[from]) why = "which is above " from "/"
        else if (levelOf[to] == levelOf[from]) why = "which is on the same level as " from "/"
        else continue
        fail(sprintf("%s:%d includes \"%s\" from %s, %s", file, number, written, where(to), why))
      }
      close(file)
    }
    print "read layers, bottom first: " layers
    if (outside != "") print "read outside the layers: " outside
    exit failed
  }') || status=$?
[ "$status" -ne 2 ] || exit 2

edges=$(printf '%s\n' "$found" | sed -n 's/^edge //p' | sort)
printf '%s\n' "$edges" | awk 'NF { print $1 " -> " $2 }'

# tsort names the folders of any circle.
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  printf '%s\n' "$loops" | sed -e 's/^tsort: //' -e 's/^-: input contains a loop:/a circle:/' >&2
  echo "include-graph: the folders include each other in a circle (see above)" >&2
  status=1
fi
printf '%s\n' "$found" | sed -n 's/^read //p'
exit "$status"
