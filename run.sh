#!/usr/bin/env bash
# The main job on this machine: set up and build what is missing, then run the
# installer's engine against a local download server and analytics receiver.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
if [ ! -f build/native/build.ninja ]; then cmake --preset native >/dev/null; fi
cmake --build --preset native -j"$(nproc)" >/dev/null
engine=build/native/app/parlino-engine
echo "== parlino-engine doctor"
"$engine" doctor
echo "== parlino-engine config"
"$engine" config
if [ -x tools/run_demo.sh ]; then
  echo "== demo installation"
  tools/run_demo.sh build/native
fi
