#!/usr/bin/env bash
# Fails unless the manual page PAGE documents what PROGRAM's own --help
# lists: every command (a ".SS NAME" subsection of its own) with each of its
# options, every option of the program itself, and renders without a
# warning from man.
#
#   man_page_check.sh PROGRAM PAGE
set -euo pipefail
program=$1 page=$2
status=0
fail() { echo "$(basename "$page"): $*" >&2; status=1; }

# The long options a help text lists, --help aside (documented once).
options_of() {
  awk '/^[A-Za-z].*:$/ { section = $0; next }
       section == "Options:" && /^ +-/ { sub(/^ +/, ""); split($0, f, /  +/); print f[1] }' |
    grep -oE -- '--[a-z][a-z0-9-]*' | grep -vxE -- '--help(-all)?' || true
}
# The commands a help text lists.
commands_of() { awk '/^[A-Za-z].*:$/ { section = $0; next } section == "Subcommands:" && NF { print $1 }'; }
# The text of the page's subsection for one command.
section_of() { awk -v name="$1" '/^\.S[HS] / { inside = ($1 == ".SS" && $2 == name) } inside' "$page"; }
# Whether TEXT names OPTION as troff writes it (\-\-name).
names() { grep -qE -- "${2//-/\\\\-}([^a-z0-9\\\\-]|\\\\-[^a-z0-9]|$)" <<<"$1"; }

help=$("$program" --help)
for option in $(options_of <<<"$help"); do
  names "$(cat "$page")" "$option" || fail "option $option is not documented"
done
commands=$(commands_of <<<"$help")
for command in $commands; do
  text=$(section_of "$command")
  if [ -z "$text" ]; then
    fail "command $command has no .SS $command section"
    continue
  fi
  for option in $(options_of < <("$program" "$command" --help)); do
    names "$text" "$option" || fail "option $option of $command is not documented in its section"
  done
done
# A section ahead of its command (one that is being added) is only noted.
for documented in $(awk '/^\.SH COMMANDS/ { on = 1; next } /^\.SH / { on = 0 } on && /^\.SS / { print $2 }' "$page"); do
  grep -qxF -- "$documented" <<<"$commands" || echo "note: $documented is documented but $program has no such command"
done

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || fail "man warns: $warnings"
exit $status
