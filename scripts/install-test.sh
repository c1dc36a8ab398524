#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Tests the Debian packages in build/packages/ (scripts/package.sh) as
# installed: unpacks them into a throw-away root and runs what they hold from
# there, with the libraries found in that root (LD_LIBRARY_PATH) and every
# user folder pointed at a scratch folder:
#   - every program answers --version with the packages' version;
#   - q57backup-cli validate accepts a sample address book;
#   - a C program builds against the installed spp.h and libspp.so through
#     pkg-config spp, and runs with the installed libspp.so.1;
#   - the window q57backup starts on Qt's offscreen platform, makes its status
#     log, shows and waits in its event loop, and ends on SIGTERM without a
#     crash or a critical or fatal message.
# Nothing is installed on the machine. Exit status 0 when every check passed.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
packages=build/packages

shopt -s nullglob
debs=("$packages"/q57backup_*.deb "$packages"/libspp1_*.deb "$packages"/libspp-dev_*.deb)
if [ ${#debs[@]} -ne 3 ]; then
  echo "install test: expected the three packages in $packages (run scripts/package.sh)" >&2
  exit 1
fi

work=$(mktemp -d)
window_pid=
cleanup() {
  [ -z "$window_pid" ] || kill -KILL "$window_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root=$work/root
for deb in "${debs[@]}"; do
  dpkg-deb -x "$deb" "$root"
done
version=$(dpkg-deb -f "$packages"/q57backup_*.deb Version)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
export LD_LIBRARY_PATH=$root/usr/lib/$multiarch

# A user of our own: settings, documents, ports folder and temporary folder
# in the scratch folder, so the machine's (and root's) stay untouched.
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_CONFIG_DIRS=$work/etc-xdg XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp
mkdir -p "$HOME" "$XDG_CONFIG_DIRS" "$TMPDIR" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
cd "$work"

failures=0
pass() { echo "PASS: $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check NAME COMMAND...: runs COMMAND, passes on exit status 0, else shows its output.
check() {
  local name=$1 output
  shift
  if output=$("$@" 2>&1); then
    pass "$name"
  else
    fail "$name (exit status $?)"
    printf '%s\n' "$output" | sed 's/^/    /'
  fi
}

# Every program is the one from the packages and knows the packages' version.
for program in q57backup-cli q57backup q57adredit q57sim; do
  if [ ! -x "$root/usr/bin/$program" ]; then
    fail "$program is not in the packages"
    continue
  fi
  # A program that does not know --version may start its window instead:
  # the time-out ends it (exit status 124), failing the check.
  output=$(QT_QPA_PLATFORM=offscreen timeout 30 "$root/usr/bin/$program" --version 2>&1) && status=0 || status=$?
  if [ "$status" -eq 0 ] && [[ "$output" == *"$version"* ]]; then
    pass "$program --version: $output"
  else
    fail "$program --version: exit status $status, expected $version in: $(head -n 3 <<<"$output")"
  fi
done

# The packaged programs find the packaged library, not one of the build tree.
# (ldd's output is taken whole first: grep -q stops reading at its match, and
# under pipefail the SIGPIPE that ldd may then get would fail the check.)
libraries=$(ldd "$root/usr/bin/q57backup-cli")
if grep -q "libspp.so.1 => $root/" <<<"$libraries"; then
  pass "q57backup-cli uses the packaged libspp.so.1"
else
  fail "q57backup-cli does not use the packaged libspp.so.1:"
  sed 's/^/    /' <<<"$libraries"
fi

# validate works on a real address book; a damaged one is refused (so the
# first pass means something).
sample=$source/jobs/tests/fixtures/backup/addressBook.adr
check "q57backup-cli validate addressBook (fixture)" "$root/usr/bin/q57backup-cli" validate addressBook "$sample"
printf 'not an address book\r\n' >"$work/broken.adr"
if "$root/usr/bin/q57backup-cli" validate addressBook "$work/broken.adr" >/dev/null 2>&1; then
  fail "q57backup-cli validate accepted a file that is no address book"
else
  pass "q57backup-cli validate refuses a file that is no address book"
fi

# A program of the library's users, built only from what libspp-dev installs.
export PKG_CONFIG_SYSROOT_DIR=$root
export PKG_CONFIG_LIBDIR=$root/usr/lib/$multiarch/pkgconfig:$root/usr/share/pkgconfig
cat >"$work/spp_user.c" <<'C'
#include <spp.h>
#include <stdio.h>
#include <string.h>

/* No ports folder entry: COM3 is /dev/ttyS2. A record too small is refused. */
int main(void)
{
    SppPortInfo info;
    if (!sppDescribePort("COM3:", &info) || strcmp(info.devicePath, "/dev/ttyS2") != 0 || info.fromPortsFolder) {
        fprintf(stderr, "sppDescribePort(COM3:) gave '%s'\n", info.devicePath);
        return 1;
    }
    SppHandle handle;
    if (sppInit(&handle, SPP_HANDLE_SIZE - 1, "COM1:", 2) || !sppInit(&handle, sizeof handle, "COM1:", 2)) {
        fprintf(stderr, "sppInit did not check the record's size\n");
        return 1;
    }
    if (handle.magic != SPP_MAGIC || handle.transport != SPP_TRANSPORT_SERIAL) {
        fprintf(stderr, "sppInit did not set the handle up\n");
        return 1;
    }
    puts("libspp works");
    return 0;
}
C
if flags=$(pkg-config --cflags --libs spp 2>&1); then
  pass "pkg-config --cflags --libs spp: $flags"
  # shellcheck disable=SC2086 # the flags are words
  check "cc against the installed spp.h and libspp.so" cc -std=c11 -Wall -Werror -o "$work/spp_user" "$work/spp_user.c" $flags
  if [ -x "$work/spp_user" ]; then
    check "the C program runs with the installed libspp.so.1" "$work/spp_user"
  fi
else
  fail "pkg-config --cflags --libs spp: $flags"
fi

# The window, on Qt's offscreen platform. main() shows the window, then runs
# the event loop, which waits in poll()/ppoll(): the window counts as shown
# once the program has made its status log (start-up got past its checks and
# their messages) and its main thread waits in one of those calls
# (/proc/PID/syscall, proc(5)) at two checks in a row. No fixed wait decides
# anything; the deadline only stops a program that never gets there.
case $(dpkg --print-architecture) in
  amd64) poll_calls=" 7 271 " ;; # poll, ppoll
  arm64) poll_calls=" 73 " ;;    # ppoll
  *) poll_calls= ;;
esac
in_event_loop() { # PID
  local call
  read -r call _ <"/proc/$1/syscall" 2>/dev/null || return 1
  [[ "$poll_calls" == *" $call "* ]]
}
status_log=$TMPDIR/q57backup-$(id -u)/statusLog.txt
window_log=$work/window.log
QT_QPA_PLATFORM=offscreen QT_MESSAGE_PATTERN="%{type} %{category}: %{message}" \
  "$root/usr/bin/q57backup" >"$window_log" 2>&1 &
window_pid=$!
deadline=$((SECONDS + 60))
shown=false
waiting=0
if [ -z "$poll_calls" ]; then
  fail "q57backup: no poll system call numbers known for $(dpkg --print-architecture)"
fi
while [ -n "$poll_calls" ] && [ $SECONDS -lt $deadline ] && kill -0 "$window_pid" 2>/dev/null; do
  if [ -e "$status_log" ] && in_event_loop "$window_pid"; then
    waiting=$((waiting + 1))
  else
    waiting=0
  fi
  if [ "$waiting" -ge 2 ]; then
    shown=true
    break
  fi
  sleep 0.2
done
if $shown; then
  pass "q57backup shows its window and waits in its event loop"
else
  fail "q57backup did not reach its event loop (within 60 s, or it ended)"
fi
# Ask it to end, as a session's logout would; wait for it.
kill -TERM "$window_pid" 2>/dev/null || true
status=0
wait "$window_pid" || status=$?
window_pid=
# Qt leaves SIGTERM to its default action: ended by it (128 + 15), or 0 when
# the program handles it itself. A crash or an abort is neither.
if [ "$status" -eq 0 ] || [ "$status" -eq 143 ]; then
  pass "q57backup ended on SIGTERM (exit status $status)"
else
  fail "q57backup ended with exit status $status on SIGTERM"
fi
if grep -E '^(critical|fatal) ' "$window_log"; then
  fail "q57backup printed critical or fatal messages (above)"
else
  pass "q57backup printed no critical or fatal message"
fi
grep -v '^debug ' "$window_log" | sed 's/^/    q57backup: /' || true

if [ "$failures" -gt 0 ]; then
  echo "install test: $failures check(s) failed"
  exit 1
fi
echo "install test: all checks passed"
