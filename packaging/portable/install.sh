#!/bin/sh
# Puts Тропилка into the menu, from this folder: for this user, or for everyone when run as root.
#   ./install.sh           add the menu entry and the icon
#   ./install.sh --remove  take them out again
# The folder stays where it is; move it, and run this again.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -eq 0 ]; then
  data=/usr/local/share
else
  data=${XDG_DATA_HOME:-$HOME/.local/share}
fi
entry=$data/applications/tropilka.desktop
icon=$data/icons/hicolor/128x128/apps/tropilka.png

case ${1-} in
  --remove)
    rm -f "$entry" "$icon"
    echo "Тропилка убрана из меню."
    ;;
  "")
    mkdir -p "$(dirname "$entry")" "$(dirname "$icon")"
    cp "$here/tropilka.png" "$icon"
    # Exec names the program by its full path, quoted as a desktop entry quotes.
    program=$(printf '%s' "$here/tropilka" | sed 's/[\\"`$]/\\\\&/g')
    sed "s|^Exec=tropilka|Exec=\"$program\"|" "$here/tropilka.desktop" >"$entry"
    chmod 644 "$entry" "$icon"
    echo "Тропилка добавлена в меню ($entry)."
    ;;
  *)
    echo "usage: $0 [--remove]" >&2
    exit 2
    ;;
esac
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" 2>/dev/null || true
