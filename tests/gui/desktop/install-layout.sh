#!/bin/sh
# install-layout.sh BUILD_DIR: installs the build into a scratch prefix and checks that the
# desktop finds the program, its entry and icon, and that the program finds its shared files.
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
missing=0
for path in \
    bin/mailvane bin/mailvane-cli \
    share/applications/mailvane.desktop \
    share/icons/hicolor/scalable/apps/mailvane.svg \
    share/mailvane/harptune.wav \
    share/mailvane/help/index.html share/mailvane/help/spam-settings.html \
    share/mailvane/help/general-settings.html share/mailvane/help/statistics.html \
    share/mailvane/help/pictures/marks/mark-0.svg \
    share/mailvane/demo
do
    if [ ! -e "$prefix/$path" ]; then echo "missing: $path"; missing=1; fi
done
# The desktop entry starts the installed program by name and shows the installed icon.
grep -qx 'Exec=mailvane' "$prefix/share/applications/mailvane.desktop" || { echo "bad Exec"; missing=1; }
grep -qx 'Icon=mailvane' "$prefix/share/applications/mailvane.desktop" || { echo "bad Icon"; missing=1; }
[ ! -e "$prefix/share/mailvane/help/pictures/pictures.qrc" ] || { echo "build file installed"; missing=1; }
exit $missing
