#!/usr/bin/env bash
# Builds the Debian package in the build folder with cpack, checks its files, dependencies,
# metainfo and lintian's verdict, unpacks it into a temporary root with dpkg-deb -x and runs
# from there velimor-calc on a small task (its report must match the built program's) and
# the launcher, which must start the program in the user's data folder.
# Usage: test_package.sh CPACK BUILD_FOLDER VERSION BUILT_VELIMOR_CALC
set -u
cpack=$1 build=$2 version=$3 built_calc=$4
work=$(mktemp -d)
program=""
trap '[ -n "$program" ] && kill $program 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

deb="$build/velimor_${version}_amd64.deb"
rm -f "$deb"
(cd "$build" && "$cpack" -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
[ -f "$deb" ] || fail "cpack wrote no $deb"

listed=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in usr/bin/velimor usr/bin/velimor-calc usr/lib/velimor/velimor \
    usr/share/applications/ru.velimor.Velimor.desktop \
    usr/share/metainfo/ru.velimor.Velimor.metainfo.xml \
    usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/ru.velimor.Velimor.png \
    usr/share/man/man1/velimor.1.gz usr/share/man/man1/velimor-calc.1.gz \
    usr/share/doc/velimor/copyright usr/share/doc/velimor/changelog.gz; do
    grep -qx "\./$file" <<<"$listed" || fail "the package lacks /$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6widgets6 libxlsxwriter qt6-translations-l10n libzip4 libexpat1; do
    grep -q "$package" <<<"$depends" || fail "Depends has no $package: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
for size in 48 128 256; do
    dimensions=$(identify -format '%wx%h' \
        "$root/usr/share/icons/hicolor/${size}x${size}/apps/ru.velimor.Velimor.png")
    [ "$dimensions" = "${size}x${size}" ] || fail "the ${size} px icon is $dimensions"
done
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/ru.velimor.Velimor.metainfo.xml" \
        >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "metainfo"; }
fi
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }

cat >"$work/task.txt" <<'TASK'
# three alleles, codominant
allele A
allele B
allele -
25 A
30 A B
20 B
25 -
TASK
"$root/usr/bin/velimor-calc" --seed 7 "$work/task.txt" >"$work/packaged.txt" ||
    fail "the packaged velimor-calc failed"
"$built_calc" --seed 7 "$work/task.txt" >"$work/built.txt" || fail "the built velimor-calc failed"
grep -qx '\[alleles\]' "$work/packaged.txt" || fail "no report from the packaged velimor-calc"
cmp -s "$work/packaged.txt" "$work/built.txt" || fail "the packaged velimor-calc reports otherwise"

# The launcher, started elsewhere, creates the data folder and the program's tables there:
# under XDG_DATA_HOME when it is set, else under ~/.local/share.
mkdir -p "$work/elsewhere" "$work/home"
for xdg in "$work/xdg/data" ""; do
    data="${xdg:-$work/home/.local/share}/velimor"
    (cd "$work/elsewhere" && exec env -u DISPLAY QT_QPA_PLATFORM=offscreen HOME="$work/home" \
        XDG_DATA_HOME="$xdg" "$root/usr/bin/velimor") &
    program=$!
    for _ in $(seq 1 100); do
        [ -f "$data/SPISOK.DBF" ] && [ -f "$data/ALLEL.DBF" ] && [ -f "$data/FENOTIP.DBF" ] && break
        sleep 0.1
    done
    kill -0 $program 2>/dev/null || fail "the launched program ended"
    kill $program
    wait $program 2>/dev/null
    program=""
    [ -f "$data/SPISOK.DBF" ] || fail "the launcher did not start the program in $data"
    [ -z "$(ls -A "$work/elsewhere")" ] || fail "the program wrote into the folder it was started from"
done
echo "1 passed, 0 failed"
