#!/usr/bin/env bash
# The desktop entry and the AppStream metadata: no error and no warning from the validators.
set -euo pipefail
folder=${1:?usage: validate.sh <folder of the desktop files>}
said=$(desktop-file-validate "$folder/org.quillory.Quillory.desktop" 2>&1) || true
if [ -n "$said" ]; then
    echo "desktop-file-validate: $said"
    exit 1
fi
appstreamcli validate --no-net --explain "$folder/org.quillory.Quillory.metainfo.xml"
echo "desktop files: all passed"
