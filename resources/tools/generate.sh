#!/usr/bin/env bash
# Regenerates every picture, animation and the licence PDF from source:
#   resources/images/**          pictures named by the ":/images/images/" resource paths
#   resources/images/ProcessImage/*.gif   the three animations (frames joined by ImageMagick)
#   resources/bundle/Resources/Eula.pdf   the printable agreement, from Eula.txt
#   resources/bundle/Resources/Help_Manual/images/   pictures of the help pages
# Needs qtbase5-dev, cmake, a C++ compiler, ImageMagick (convert) and fonts-dejavu-core.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
res="$(dirname "$here")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$work/build/kvartwork" "$res/images" "$work/frames" \
    "$res/bundle/Resources/Eula.txt" "$res/bundle/Resources/Eula.pdf" \
    "$res/bundle/Resources/Help_Manual/images"

# Frame delays in hundredths of a second.
declare -A delay=([img_InitProgress]=4 [progress]=3 [SearchScan]=4)
for name in img_InitProgress progress SearchScan; do
    convert -delay "${delay[$name]}" -loop 0 "$work/frames/$name"/*.png -layers Optimize \
        "$res/images/ProcessImage/$name.gif"
done

# PNGs without timestamps or other text chunks, so that a regeneration changes nothing.
find "$res/images" "$res/bundle/Resources/Help_Manual/images" -name '*.png' -o -name '*.PNG' | while read -r f; do
    convert "$f" -define png:exclude-chunks=date,time -strip "PNG32:$f"
done


# The resource file lists every picture under the ":/images/images/" prefix.
{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    echo '    <qresource prefix="/images">'
    (cd "$res" && find images -type f | LC_ALL=C sort | sed 's|.*|        <file>&</file>|')
    echo '    </qresource>'
    echo '</RCC>'
} > "$res/kvresources.qrc"
echo "artwork written under $res"
