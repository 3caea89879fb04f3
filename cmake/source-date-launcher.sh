#!/bin/sh
# Runs one custom build step (Qt's rcc above all) with SOURCE_DATE_EPOCH set to the time of
# the commit, unless the caller set it: rcc otherwise writes each resource file's time into
# the program, and a fresh clone's files carry the time of the checkout.
# Set up by cmake/reproducible.cmake as the launcher of every custom command.
#   source-date-launcher.sh SOURCE_DIR COMMAND [ARGUMENT...]
set -eu
source_dir=$1
shift
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # Outside a git checkout the files' own times stay.
  if commit_time=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null) && [ -n "$commit_time" ]; then
    export SOURCE_DATE_EPOCH="$commit_time"
  fi
fi
exec "$@"
