#!/usr/bin/env bash
# Every parameterised test of the given GoogleTest programs is shown by its
# case's name, never by its index ("/0", "/1", ...), which is what a suite
# instantiated without a name generator gets - and what CTest would turn into
# the case's bytes ("/32-byte object <80-D3 ...>").
#   readable_names_test.sh PROGRAM...
set -u
failures=0
instances=0
for program in "$@"; do
  if ! listing="$("$program" --gtest_list_tests 2>&1)"; then
    echo "FAIL $(basename "$program"): --gtest_list_tests failed: $listing"
    failures=$((failures + 1))
    continue
  fi
  suite=""
  while IFS= read -r line; do
    if [[ $line != " "* ]]; then
      suite="${line%%.*}"
      continue
    fi
    # "  Test/instance  # GetParam() = ..." for a parameterised test.
    [[ $line == *"# GetParam()"* ]] || continue
    instances=$((instances + 1))
    name="${line#"${line%%[! ]*}"}"
    name="${name%% *}"
    if [[ ${name##*/} =~ ^[0-9]+$ ]]; then
      echo "FAIL $(basename "$program"): $suite.$name is named by its index; expected its case's name"
      failures=$((failures + 1))
    fi
  done <<<"$listing"
done
echo "$instances parameterised instances, $failures named by index"
# A listing without any would mean the check looked at nothing.
((instances > 0)) || { echo "FAIL: no parameterised test found"; exit 1; }
((failures == 0))
