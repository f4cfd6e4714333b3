#!/usr/bin/env bash
# Request manager throughput and memory over thousands of requests against the demo service.
#   bash tools/bench_net.sh [rounds]   (a round: a GET, a form POST and an upload;
#                                     BENCH_KINDS=g, p, u or a mix picks the kinds)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${ORB_BUILD_DIR:-$ROOT/build}"
if ! out="$(cmake --build "$BUILD_DIR" --target bench_net 2>&1)"; then
  echo "$out" >&2
  exit 1
fi
HOME_DIR="$(mktemp -d)"
trap 'rm -rf "$HOME_DIR"' EXIT
mkdir -m 700 "$HOME_DIR/runtime"
HOME="$HOME_DIR" XDG_DATA_HOME="$HOME_DIR/data" XDG_STATE_HOME="$HOME_DIR/state" \
  XDG_RUNTIME_DIR="$HOME_DIR/runtime" QT_QPA_PLATFORM=offscreen \
  "$BUILD_DIR/tools/bench_net" "${1:-2000}"
