#!/usr/bin/env bash
# The interactive agent: a person's answers typed at the prompt, an ignored input reported and asked
# again, a mistyped line explained, and the run ending when the program ends; a mistyped command named.
set -euo pipefail
bin=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bin/win95sim" new "$dir/m" >/dev/null
printf 'WIN95SIM PROGRAM simtest\r\n' > "$dir/m/C/S.EXE"
out=$(printf 'click 110\ntype 101 "Olga"\nbogus\nexpect-text 101 "Olga"\nkey enter\n' |
      WIN95SIM_PROGRAMS="$bin" "$bin/win95sim" run "$dir/m" --agent interactive -- 'C:\S.EXE /small')
for want in 'dialog "Every control"' '101 EDIT' 'Windows ignores this input: control 110 is disabled' \
            "unknown verb 'bogus'" 'Every program has ended (3 answers).'; do
    grep -qF "$want" <<<"$out" || { echo "missing: $want"; echo "$out"; exit 1; }
done
grep -q '^name=Olga' "$dir/m/C/SIMTEST.INI" || { echo "the answers did not reach the program"; exit 1; }
# A mistyped command is named before the usage.
out=$("$bin/win95sim" bogus 2>&1 || true)
grep -qF "unknown command 'bogus'" <<<"$out" || { echo "unknown command not named: $out"; exit 1; }
echo "interactive agent: ok"
