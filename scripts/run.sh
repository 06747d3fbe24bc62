#!/usr/bin/env bash
# Lists what was built. (Starts the product once the limiter exists.)
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Built in build/win64/bin:"
ls -1 build/win64/bin
