#!/usr/bin/env bash
# Makes the Debian package in a build folder and tries it as a user would: lintian, the AppStream
# and menu entry validators, apt-get install, both installed programs, the man page and the
# completion, apt-get remove, and nothing of the package left under /usr. Needs root or sudo.
#   scripts/package_check.sh BUILD_DIR
set -euo pipefail

build="$(cd "${1:?usage: package_check.sh BUILD_DIR}" && pwd)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Other apt runs on the machine are waited for rather than failed on.
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300)

step() { echo "package: $*"; }
fail() {
    echo "package: FAILED: $*" >&2
    exit 1
}

step "building"
rm -f "$build"/kivoautofill_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || fail "cpack: $(cat "$build/cpack.log")"
debs=("$build"/kivoautofill_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no package"
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
echo "package: $deb"

step "lintian"
# lintian warns that it runs as root, which is how CI runs everything.
lintian --fail-on error,warning "$deb" 2> >(grep -v "running with root privileges" >&2)

step "validating the AppStream metadata and the menu entry"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
# The tree check also finds the launchable menu entry and matches the file name to the id.
appstreamcli validate-tree --no-net "$tree"
desktop-file-validate "$tree/usr/share/applications/kivoautofill.desktop"

# What of the package exists before it is installed, and anything named after it or its notices
# record under /usr: after the removal nothing more may be there.
ours() {
    dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | sed 's|/$||' | while read -r path; do
        if [ -n "$path" ] && [ -e "$path" ]; then echo "$path"; fi
    done
    find /usr \( -iname '*kivoautofill*' -o -name InfoLog.txt \) -print 2>/dev/null || true
}
dpkg_state() { dpkg-query -W -f='${db:Status-Status}' kivoautofill 2>/dev/null || true; }
# An earlier installation goes first, so that "before" is the system without the package.
case "$(dpkg_state)" in "" | not-installed) ;; *) "${apt[@]}" purge kivoautofill >/dev/null ;; esac
before="$(ours | sort -u)"

step "installing"
(cd "$(dirname "$deb")" && "${apt[@]}" install --no-install-recommends "./$(basename "$deb")" >/dev/null)

step "trying the installed programs"
[ "$(/usr/bin/kivoautofill-cli --version)" = "kivoautofill-cli $version" ] || fail "kivoautofill-cli --version"
[ "$(printf 'abc\r\nあいう' | /usr/bin/kivoautofill-cli 0)" = "$(printf 'ういあ\r\ncba')" ] ||
    fail "kivoautofill-cli did not reverse the sample"
[ "$(printf 'a12b3' | /usr/bin/kivoautofill-cli regex-replace --pattern='[0-9]+' --replacement=#)" = "a#b#" ] ||
    fail "kivoautofill-cli did not run a regular expression (ICU is loaded when one runs)"
for program in /usr/bin/kivoautofill /usr/bin/kivoautofill-cli; do
    if ldd "$program" | grep "not found"; then fail "$program misses libraries"; fi
done
# Started as the menu starts it, the window program is still running after 3 s (offscreen, with
# its own runtime folder for the single-instance lock).
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/kivoautofill.desktop | tr -d '"')"
runtime="$(mktemp -d)"
chmod 0700 "$runtime"
status=0
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" timeout 3 $exec_line >"$tree/window.log" 2>&1 || status=$?
rm -rf "$runtime"
[ "$status" -eq 124 ] || fail "the menu entry's command '$exec_line' ended with status $status: $(cat "$tree/window.log")"
for page in kivoautofill kivoautofill-cli; do
    man -M /usr/share/man "$page" >/dev/null || fail "man $page"
done
bash -c 'source /usr/share/bash-completion/completions/kivoautofill-cli && complete -p kivoautofill-cli' \
    >/dev/null || fail "the bash completion"
appstreamcli validate --no-net /usr/share/metainfo/io.github.kivoautofill.kivoautofill.metainfo.xml

step "removing"
"${apt[@]}" remove kivoautofill >/dev/null
case "$(dpkg_state)" in "" | not-installed) ;; *) fail "kivoautofill is still $(dpkg_state)" ;; esac
left="$(comm -13 <(echo "$before") <(ours | sort -u))"
[ -z "$left" ] || fail "left behind: $left"
step "passed"
