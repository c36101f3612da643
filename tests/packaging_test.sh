#!/usr/bin/env bash
# The manual pages and the bash completion against torvane-cli itself: both
# pages pass `man --warnings`, every subcommand and every flag that
# torvane-cli and its subcommands list in --help is in torvane-cli.1 and is
# offered by the completion, the completion offers exactly the --format values
# the help lists, and file names by their extensions.
# Usage: packaging_test.sh TORVANE_CLI SOURCE_DIR. Exit 77 (skipped) without
# man or bash-completion.
set -euo pipefail
cli=$1
source_dir=$2
man_dir=$source_dir/packaging/man
completion=$source_dir/packaging/completion/torvane-cli
if ! command -v man >/dev/null || [[ ! -r /usr/share/bash-completion/bash_completion ]]; then
  echo "skipped: needs man (man-db) and bash-completion" >&2
  exit 77
fi

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for page in torvane.1 torvane-cli.1; do
  warnings=$(MANWIDTH=80 man --warnings -l "$man_dir/$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "man --warnings $page: $warnings"
done

# What a user types into the shell, completed: the words, the last one being
# completed, answered one per line.
complete_words() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    _torvane_cli
    printf "%s\n" "${COMPREPLY[@]}" | sort' completion "$completion" "$cli" "${@:2}"
}

page_text=$(sed 's/\\-/-/g' "$man_dir/torvane-cli.1")
subcommands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | grep -oE '^  [a-z-]+' | tr -d ' ')
[[ -n $subcommands ]] || fail "no subcommands found in torvane-cli --help"
offered=$(complete_words torvane-cli "")
for subcommand in $subcommands; do
  grep -qE "^\.SS \"?$subcommand" <<<"$page_text" || fail "torvane-cli.1 has no section on $subcommand"
  grep -qx -- "$subcommand" <<<"$offered" || fail "completion does not offer $subcommand"
done

for subcommand in "" $subcommands; do
  flags=$("$cli" $subcommand --help | grep -oE '^  (-[a-z],)?--[a-z-]+' | grep -oE -- '--[a-z-]+')
  offered=$(complete_words torvane-cli $subcommand --)
  for flag in $flags; do
    grep -qF -- "$flag" <<<"$page_text" || fail "torvane-cli.1 does not describe $flag"
    grep -qx -- "$flag" <<<"$offered" || fail "completion of '$subcommand' does not offer $flag"
  done
done

formats=$("$cli" convert --help | grep -oE 'surfer7, [a-z0-9, -]+' | head -n 1 | tr -d ',' |
  tr ' ' '\n' | sed '/^$/d' | sort)
[[ -n $formats && $(complete_words torvane-cli convert --format "") == "$formats" ]] ||
  fail "--format completion differs from convert --help's formats: $formats"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
touch cba.grd cba.TIF survey.dat stations.csv map.png session.cfg notes.txt
cases=(
  "--grid ''|cba.TIF cba.grd"
  "--input ''|notes.txt stations.csv survey.dat"
  "--config ''|session.cfg"
  "convert ''|cba.TIF cba.grd"
  "map cba.grd ''|map.png"
  "--map-residual ''|map.png"
)
for case in "${cases[@]}"; do
  eval "words=(${case%%|*})"
  got=$(complete_words torvane-cli "${words[@]}" | grep -v '/$' | tr '\n' ' ' | sed 's/ $//')
  [[ $got == "${case#*|}" ]] || fail "completing 'torvane-cli ${case%%|*}': '$got', not '${case#*|}'"
done

((failures == 0))
