#!/usr/bin/env bash
# Takes the README's screenshots anew from the game as built (the testing preset's build), into docs/images/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset testing --target tropilka_screenshots
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen build-testing/tests/tropilka_screenshots docs/images
