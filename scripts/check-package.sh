#!/usr/bin/env bash
# Checks a built package without installing it: lintian, the menu entry, and
# the programs run from the package unpacked into a temporary root, against
# the libraries and data files of that root alone.
# Usage: scripts/check-package.sh PACKAGE.deb BUILD_FOLDER
set -euo pipefail
deb=$(realpath "$1")
build=$(realpath "$2")
root=$(realpath "$(mktemp -d)")
trap 'rm -rf "$root"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }

# Errors fail the check; the warnings kept on purpose are overridden, with
# their reasons, in packaging/lintian-overrides.
lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/model.desktop"
update-mime-database "$root/usr/share/mime" 2>/dev/null
for glob in text/x-model:\*.mod text/x-model-timing:\*.tim text/x-model-code-timing:\*.whd; do
  grep -qxF "50:$glob" "$root/usr/share/mime/globs2" || fail "file type ${glob%%:*} not registered"
done
version=$(dpkg-deb -f "$deb" Version)

# The libraries must come from the package, through the programs' RPATH.
for program in model modelrun; do
  for library in libvesk.so.1 libmodelplatform.so.1; do
    where=$(ldd "$root/usr/bin/$program" | awk -v l="$library" '$1 == l { print $3 }')
    [ -z "$where" ] && [ "$program" = modelrun ] && continue # modelrun needs neither
    [ -n "$where" ] && [ "$(realpath -s "$where")" = "$root/usr/lib/$library" ] || fail "$program loads $library from '${where:-nowhere}'"
  done
done

[ "$("$root/usr/bin/modelrun" --version)" = "modelrun (Модель) $version" ] || fail "modelrun --version"
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/model" --version)" = "model (Модель) $version" ] || fail "model --version"

# The packaged example, run by the packaged runner, gives the diagram the
# build's runner gives for the example in the source tree.
examples="$root/usr/share/model/examples"
run=(--timing decoder.tim --code 2 --key '300:!' --changes)
packaged=$(cd "$examples" && "$root/usr/bin/modelrun" decoder.mod "${run[@]}")
built=$(cd "$(dirname "$0")/../examples" && "$build/bin/modelrun" decoder.mod "${run[@]}")
[ -n "$packaged" ] && [ "$packaged" = "$built" ] || fail "modelrun examples/decoder.mod differs from the build's"

# Another program finds the transmitter library with find_package(vesk).
consumer="$root/vesk-consumer"
cmake -S "$(dirname "$0")/../packaging/vesk-consumer" -B "$consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$consumer" >/dev/null
"$consumer/vesk_consumer" || fail "a program built against the packaged vesk does not run"

echo "check-package: $(basename "$deb") is fine"
