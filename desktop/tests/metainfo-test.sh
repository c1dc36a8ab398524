#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Validates the AppStream metainfo $1 in a tree laid out as installed, with the
# desktop entries $2...: so that its file name must match its id and its
# launchable must name one of them. Pedantic notes pass; warnings fail.
set -euo pipefail

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/usr/share/metainfo" "$scratch/usr/share/applications"
cp "$1" "$scratch/usr/share/metainfo/"
shift
cp "$@" "$scratch/usr/share/applications/"
appstreamcli validate-tree --no-net --explain "$scratch"
