#!/usr/bin/env bash
# Makes the Debian package from a build folder, installs it on this machine with apt and tries
# what it installed: the exporter prints a sample's JSON as the build's exporter does, the MIME
# database knows logs by name and by both magics, the desktop entry is valid, both programs and
# their manual pages are there. Needs root.
#   scripts/package-test.sh [BUILD_FOLDER]     (default build)
# A package that was installed before stays installed, now of this build; one that was not is
# removed again, also when a check fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
package=zelmoraviewer
mime_type=application/x-zelmora-statistics-log

work=$(mktemp -d)
installed_here=
finish() {
    if [ -n "$installed_here" ]; then
        apt-get -o DPkg::Lock::Timeout=600 remove -y "$package" >"$work/remove.log" 2>&1 ||
            cat "$work/remove.log" >&2
    fi
    rm -rf "$work"
}
trap finish EXIT

# Only this build's package: an older one left in the folder must not be taken instead.
rm -f "$build/${package}"_*.deb
if ! (cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=$(ls "$build/${package}"_*.deb)
echo "Debian package $(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    installed_here=yes
# --reinstall: the same version of an earlier build must be replaced too.
if ! DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y \
    --reinstall --allow-downgrades --no-install-recommends "$deb" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    exit 1
fi

failed=0
fail() {
    echo "Installed package: $*" >&2
    failed=1
}

for file in /usr/bin/ZelmoraViewer /usr/bin/zelmora-export \
    /usr/share/applications/zelmoraviewer.desktop /usr/share/mime/packages/zelmora-mpr.xml \
    /usr/share/man/man1/ZelmoraViewer.1.gz /usr/share/man/man1/zelmora-export.1.gz; do
    dpkg -L "$package" | grep -qx "$file" || fail "$file is missing"
done
if [ -f "$here/resources/zelmoraviewer.svg" ]; then
    icon=/usr/share/icons/hicolor/scalable/apps/zelmoraviewer.svg
    dpkg -L "$package" | grep -qx "$icon" || fail "$icon is missing"
fi

sample=$here/samples/whole-log.mpr
if ! /usr/bin/zelmora-export --json "$sample" >"$work/installed.json" 2>"$work/export.err"; then
    fail "zelmora-export --json failed: $(cat "$work/export.err")"
fi
"$build/src/export/zelmora-export" --json "$sample" >"$work/built.json"
[ -s "$work/installed.json" ] && cmp -s "$work/installed.json" "$work/built.json" ||
    fail "zelmora-export --json does not print what the build's exporter prints"
/usr/bin/ZelmoraViewer --version >/dev/null 2>&1 || fail "ZelmoraViewer --version failed"

# By name, and by content under a name that says nothing: the new magic and the old one.
cp "$here/samples/whole-log.mpr" "$work/new-magic"
cp "$here/samples/legacy-v4.mpr" "$work/old-magic"
for log in "$sample" "$work/new-magic" "$work/old-magic"; do
    type=$(xdg-mime query filetype "$log" 2>&1) || true
    [ "$type" = "$mime_type" ] || fail "xdg-mime query filetype $(basename "$log") says \"$type\""
done

desktop-file-validate /usr/share/applications/zelmoraviewer.desktop >"$work/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$work/validate.log")"

[ "$failed" -eq 0 ] || exit 1
echo "Installed package checks passed."
