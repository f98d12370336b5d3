#!/usr/bin/env bash
# A loopback update server for trying the updater by hand.
# Usage: scripts/dev-update-server.sh VERSION BUNDLE_DIR [PORT]
# Serves http://127.0.0.1:PORT/updates/KorvaneforFile.txt (VERSION) and KorvaneforFile.zip
# (BUNDLE_DIR packed as KorvaneforFile.app). Point a test bundle's Info.plist UpdateLink at
# http://127.0.0.1:PORT/updates/ ; plain HTTP is accepted only for loopback hosts.
set -euo pipefail
version=${1:?version, e.g. 6.0.0.0}
bundle=$(cd "${2:?bundle folder}" && pwd)
port=${3:-8765}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/updates" "$root/pack"
echo "$version" > "$root/updates/KorvaneforFile.txt"
cp -a "$bundle" "$root/pack/KorvaneforFile.app"
(cd "$root/pack" && zip -qr ../updates/KorvaneforFile.zip KorvaneforFile.app)
echo "Serving version $version on http://127.0.0.1:$port/updates/ (Ctrl-C ends)"
cd "$root" && exec python3 -m http.server "$port" --bind 127.0.0.1
