#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures hello and pause against the least they could cost: instructions (callgrind), wall time
# of the whole run (hyperfine) and peak memory, printed as a Markdown table.
# Needs, beyond the README's prerequisites: valgrind hyperfine time.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# What is compared: the installed programs; the floor a shared C++ runtime sets (the same two
# calls and nothing else); and C twins of both programs, built alike.
cmake -S "$src" -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build >/dev/null
cmake --install build --prefix installed >/dev/null
mkdir -p c/bin && ln -s ../installed/share c/share # the C pause finds the same catalogs
cat > floor.cpp <<'CODE'
#include <cstdlib>
#include <iostream>
int main() { std::cout << "Hello world!" << std::endl; [[maybe_unused]] int s = std::system("pause"); return 0; }
CODE
cat > hello.c <<'CODE'
#include <stdio.h>
#include <stdlib.h>
int main(void) { puts("Hello world!"); fflush(stdout); int s = system("pause"); (void)s; return 0; }
CODE
cat > pause.c <<'CODE'
#include <libintl.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>
int main(void)
{
    struct termios saved, keys;
    char exe[4096] = "", dir[4200];
    setlocale(LC_CTYPE, "");
    setlocale(LC_MESSAGES, "");
    if (readlink("/proc/self/exe", exe, sizeof exe - 1) > 0 && strrchr(exe, '/')) {
        *strrchr(exe, '/') = '\0';
        snprintf(dir, sizeof dir, "%s/../share/locale", exe);
        bindtextdomain("hello-greeter", dir);
    }
    textdomain("hello-greeter");
    int tty = tcgetattr(0, &saved) == 0;
    if (tty) {
        keys = saved;
        keys.c_lflag &= ~(tcflag_t)(ICANON | ECHO);
        tcsetattr(0, TCSANOW, &keys);
    }
    fputs(gettext("Press any key to continue . . . "), stdout);
    fflush(stdout);
    getchar();
    if (tty)
        tcsetattr(0, TCSANOW, &saved);
    putchar('\n');
    return 0;
}
CODE
# Hardened as the programs are (cmake/hardening.cmake), so that like is compared with like.
harden=(-O2 -fPIE -pie -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3 -fstack-protector-strong
    -fstack-clash-protection -fcf-protection=full -Wl,-z,relro,-z,now,-z,noexecstack,--as-needed)
g++ "${harden[@]}" -D_GLIBCXX_ASSERTIONS floor.cpp -o floor
gcc "${harden[@]}" hello.c -o c/bin/hello
gcc "${harden[@]}" pause.c -o c/bin/pause

export PATH="$work/installed/bin:$PATH" # hello and the C programs all run the installed pause
instructions() { # of the first process alone, input at its end
    valgrind --tool=callgrind --callgrind-out-file=cg.out "$@" </dev/null >/dev/null 2>&1
    awk '/^totals:/ { print $2 }' cg.out
}
peak_kib() { # the largest resident set of the process and of what it started
    /usr/bin/time -f %M "$@" </dev/null 2>&1 >/dev/null | tail -n 1
}
read_cmd=(bash -c 'read -rsn1 -p "Press any key to continue . . . "; echo')
row() { # name, reference name, reference count, command...
    local name=$1 ref=$2 base=$3 n
    shift 3
    n=$(instructions "$@")
    printf '| %s | %s | %s | %s |\n' "$name" "$n" \
        "$([ -n "$ref" ] && awk -v a="$n" -v b="$base" -v r="$ref" 'BEGIN { printf "%+.2f %% vs %s", (a / b - 1) * 100, r }')" \
        "$(peak_kib "$@")"
}

floor_n=$(instructions ./floor)
cpause_n=$(instructions c/bin/pause)
echo "| program | instructions | against | peak KiB |"
echo "|---|---:|---|---:|"
row "hello" "floor" "$floor_n" installed/bin/hello
row "floor: C++ stream + system" "" "" ./floor
row "C twin: puts + system" "" "" c/bin/hello
row "pause" "C pause" "$cpause_n" installed/bin/pause
row "C stdio pause" "" "" c/bin/pause
row "bash read -rsn1" "C pause" "$cpause_n" "${read_cmd[@]}"

# Wall time of the whole run, each with the pause of its kind first on PATH, input at its end.
# hyperfine runs one command's runs in a row, so rounds alternate which goes first.
mkdir cpath && ln -s "$work/c/bin/pause" cpath/pause && ln -s "$work/c/bin/hello" cpath/hello-c
ours="env PATH=$work/installed/bin:/usr/bin:/bin hello"
twin="env PATH=$work/cpath:/usr/bin:/bin hello-c"
for round in 1 2 3 4 5 6; do
    if ((round % 2)); then set -- "$ours" "$twin"; else set -- "$twin" "$ours"; fi
    hyperfine -N --warmup 10 --runs 60 --export-json "round$round.json" "$@" >/dev/null
done
python3 - "$ours" round*.json <<'CODE'
import json, statistics, sys
ours, times = sys.argv[1], {}
for path in sys.argv[2:]:
    for r in json.load(open(path))["results"]:
        times.setdefault(r["command"] == ours, []).extend(r["times"])
a, b = statistics.median(times[True]) * 1e3, statistics.median(times[False]) * 1e3
print(f"\nWhole run, median of {len(times[True])} each: hello {a:.3f} ms, C twin {b:.3f} ms, ratio {a / b:.3f}")
CODE
