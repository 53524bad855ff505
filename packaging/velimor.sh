#!/bin/sh
# Starts Велимор in the user's data folder, where its archive tables live (created empty on
# first use): the program keeps them in the folder it is started in.
set -e
program="$(dirname "$(readlink -f "$0")")/../lib/velimor/velimor"
data="${XDG_DATA_HOME:-$HOME/.local/share}/velimor"
mkdir -p "$data"
cd "$data"
exec "$program" "$@"
