#!/usr/bin/env bash
# The house rules that a reader should not have to police by hand:
#   rules  - statements are spelled only in text-layer files (*Text.cpp, *Statements.cpp, *Statement.cpp),
#            and no source file grows past 600 lines;
#   format - every C++ file is as clang-format leaves it.
# Usage: house_rules.sh rules|format SOURCE_ROOT
set -uo pipefail

what=$1
root=$2
cd "$root" || exit 1
failed=0

if [ "$what" = rules ]; then
  keywords='SELECT|INSERT|UPDATE|DELETE|SHOW|CREATE|DROP|ALTER|GRANT|REVOKE|FLUSH|CHECK|REPAIR|OPTIMIZE|ANALYZE|LOCK|UNLOCK|USE|KILL|SET|RENAME|TRUNCATE|LOAD|WITH'
  while IFS= read -r file; do
    case "$file" in
      *Text.cpp | *Statements.cpp | *Statement.cpp) continue ;;
    esac
    # A string literal whose first word is a statement keyword, in capitals or in small letters (a
    # capitalised word is a label such as "Delete User"), followed by a blank.
    lower=$(echo "$keywords" | tr 'A-Z' 'a-z')
    # A line may say it holds a name or a label spelt like a statement: "// a name, not a statement".
    if hits=$(grep -nE "\"[[:space:]]*($keywords|$lower)[[:space:]]" "$file" | grep -v '// a name, not a statement'); then
      echo "statement text outside a text layer in $file:"
      echo "$hits" | sed 's/^/  /'
      failed=1
    fi
  done < <(find src -name '*.cpp' | sort)
  while IFS= read -r file; do
    lines=$(wc -l < "$file")
    if [ "$lines" -gt 600 ]; then
      echo "$file has $lines lines (600 at most)"
      failed=1
    fi
  done < <(find src -name '*.cpp' -o -name '*.h' | sort)
elif [ "$what" = format ]; then
  command -v clang-format >/dev/null || { echo "clang-format is missing (scripts/setup installs it)"; exit 1; }
  while IFS= read -r file; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
      echo "differs from clang-format: $file"
      failed=1
    fi
  done < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
  [ $failed = 0 ] || echo "run: clang-format -i <file> (the style is the repository's .clang-format)"
else
  echo "usage: $0 rules|format SOURCE_ROOT"
  exit 2
fi
exit $failed
