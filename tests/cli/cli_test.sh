#!/bin/bash
# End-to-end checks of the kolvar program: it runs as a user would run it.
#   cli_test.sh SCENARIO KOLVAR SOURCE_DIR [file|server]
# With "server" every --data folder's user database is a schema of its own on
# the test server (KOLVAR_TEST_PG), given with --user-db; without a server the
# run is skipped (status 77), or fails when KOLVAR_REQUIRE_PG=1.
set -u
scenario=$1
kolvar=$2
source_dir=$3
engine=${4:-file}
work=$(mktemp -d)
cd "$work"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
have_server() {
  [ -n "${KOLVAR_TEST_PG:-}" ] && return 0
  [ "${KOLVAR_REQUIRE_PG:-}" = 1 ] && fail "KOLVAR_REQUIRE_PG=1 but KOLVAR_TEST_PG is not set"
  echo "no PostgreSQL server (KOLVAR_TEST_PG): the server's half is skipped" >&2
  return 1
}
if [ "$engine" = server ] && ! have_server; then
  rm -rf "$work"
  [ "$failures" = 0 ] && exit 77
  exit 1
fi
# The server schema of a folder's user database, and its connection string
# (the schema is made on first use and dropped at the end).
schema_prefix=cli_$$_
schema_of() {
  echo "$schema_prefix$(printf %s "$1" | tr -c 'a-zA-Z0-9' '_' | tr 'A-Z' 'a-z')"
}
server_db() {
  local schema
  schema=$(schema_of "$1")
  if [ ! -e "$work/.schema-$schema" ]; then
    psql -X -q "$KOLVAR_TEST_PG" -c "CREATE SCHEMA $schema" >/dev/null || fail "cannot make schema $schema"
    touch "$work/.schema-$schema"
  fi
  echo "$KOLVAR_TEST_PG&options=-csearch_path%3D$schema%2Cpublic"
}
drop_server_schemas() {
  if [ -n "${KOLVAR_TEST_PG:-}" ] && ls "$work"/.schema-* >/dev/null 2>&1; then
    echo "SELECT format('DROP SCHEMA %I CASCADE', nspname) FROM pg_namespace
          WHERE nspname LIKE '${schema_prefix}%' \\gexec" | psql -X -q "$KOLVAR_TEST_PG" >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap drop_server_schemas EXIT
# The program; on the server, with the user database of every --data folder named.
k() {
  local args=()
  while [ $# -gt 0 ]; do
    args+=("$1")
    if [ "$1" = --data ] && [ $# -gt 1 ] && [ "$engine" = server ]; then
      args+=("$2" --user-db "$(server_db "$2")")
      shift
    fi
    shift
  done
  "$kolvar" "${args[@]}"
}
# expect_status WANT COMMAND...: runs the program, keeps stdout/stderr in out/err.
expect_status() {
  local want=$1
  shift
  k "$@" >out 2>err
  local got=$?
  [ "$got" = "$want" ] || fail "kolvar $* exited $got, expected $want; stderr: $(head -c 300 err)"
}
# The JSON number of "name" in file out (first occurrence).
json_number() {
  sed -n "s/^ *\"$1\": \(-\?[0-9.e+-]*\),\? *$/\1/p" out | head -n1
}
# Keeps in out only the summary group named $1.
summary_group() {
  tr -d '\n' < out | grep -o "{[^{}]*\"group\": \"$1\"[^{}]*}" | tr ',{}' '\n\n\n' > group.json
  mv group.json out
}
# The sum in euros over a form-340 file of the amount at (start) with its
# sign position.
file_sum() {
  awk -v s="$2" 'substr($0,1,1)=="2" { v = substr($0, s + 1, 13) + 0; if (substr($0, s, 1) == "N") v = -v; t += v }
                 END { printf "%.2f", t / 100 }' "$1"
}
same_number() {
  awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(a != "" && d < 0.005) }'
}
# A fingerprint of a folder's user database: the file, or on the server every
# row of every table of its schema (counters apart: the server does not give
# back the keys a refused unit of work drew).
db_hash() {
  local folder=${1:-data}
  if [ "$engine" = file ]; then
    sha256sum "$folder/kolvar-usuario.db" | cut -d' ' -f1
    return
  fi
  local uri
  uri=$(server_db "$folder")
  psql -X -q -At "$uri" -v schema="$(schema_of "$folder")" >hash.sql <<'SQL'
SELECT format('SELECT %L, count(*), md5(coalesce(string_agg(t::text, chr(10) ORDER BY t::text), '''')) FROM %I t;',
              tablename, tablename)
  FROM pg_tables WHERE schemaname = :'schema' ORDER BY tablename
SQL
  [ -s hash.sql ] || fail "the server database of $folder has no tables"
  psql -X -q -At "$uri" -f hash.sql | sha256sum | cut -d' ' -f1
}
# A user database of its own on the test server, printed; nothing and status 1
# without a server, which fails the test when KOLVAR_REQUIRE_PG=1.
server_user_db() {
  have_server || return 1
  server_db "$1"
}

case $scenario in

init_and_unwritable)
  expect_status 0 --data data init
  [ -s data/kolvar-referencia.db ] || fail "init made no reference database"
  if [ "$engine" = file ]; then
    [ -s data/kolvar-usuario.db ] || fail "init made no user database"
    kept=kolvar-usuario.db
  else
    [ ! -e data/kolvar-usuario.db ] || fail "init made a user database file beside the server's"
    kept=$(schema_of data)
  fi
  before=$(db_hash)
  expect_status 2 --data data init
  grep -q "$kept" err || fail "a second init does not name the database it keeps: $(cat err)"
  [ "$(db_hash)" = "$before" ] || fail "a second init changed the user database"
  # A place nobody can write, root included: below a regular file.
  touch plain-file
  expect_status 2 --data plain-file/data init
  [ "$(wc -l < err)" = 1 ] || fail "init below a file: not one line: $(cat err)"
  grep -q "plain-file/data" err || fail "init below a file does not name the place: $(cat err)"
  [ ! -e plain-file/data ] || fail "something was made below a file"
  ;;

import_export_round_trip)
  expect_status 0 --data data init
  expect_status 0 generate --records 200 --year 2014 --seed 7 -o sample.txt
  expect_status 0 generate --records 200 --year 2014 --seed 7 -o again.txt
  cmp -s sample.txt again.txt || fail "the same seed gave another file"
  expect_status 0 generate --records 200 --year 2014 --seed 8 -o other.txt
  cmp -s sample.txt other.txt && fail "another seed gave the same file"
  [ "$(tr -d '\r' < sample.txt | awk 'length($0) != 500' | wc -l)" = 0 ] \
    || fail "lines are not 500 characters"
  [ "$(grep -c $'\r$' sample.txt)" = 201 ] || fail "lines do not end in CR LF"
  for book in E F R S I J U; do
    cut -c99 sample.txt | grep -q "$book" || fail "the generator wrote no record of book $book"
  done
  grep -q '^2.\{120\}N' sample.txt || fail "the generator wrote no negative base"
  # The layout, read independently of the program: record type, form, year
  # and declarant in every line; the header's declaration number, period,
  # count and totals; sign positions N only before non-zero digits.
  [ "$(cut -c1-8 sample.txt | sort | uniq -c | awk '{ printf "%s:%s ", $1, $2 }')" = "1:13402014 200:23402014 " ] \
    || fail "record type, form or year misplaced"
  header=$(head -n1 sample.txt)
  [ "${header:107:13}" = "3402014120001" ] || fail "declaration number: '${header:107:13}'"
  [ "${header:135:11}" = "12000000200" ] || fail "period and record count: '${header:135:11}'"
  [ "${header:146:18}" = "$(file_sum sample.txt 122 | awk '{ v = $1 * 100; printf "%s%017.0f", (v < 0 ? "N" : " "), (v < 0 ? -v : v) }')" ] \
    || fail "the header's total of bases: '${header:146:18}'"
  for start in 122 136 150 164; do
    [ "$(awk -v s=$start 'NR > 1 && (substr($0, s, 1) !~ /^[ N]$/ || (substr($0, s, 1) == "N" && substr($0, s + 1, 13) + 0 == 0))' sample.txt | wc -l)" = 0 ] \
      || fail "amounts at $start: a sign position other than N before digits or blank"
  done
  [ "$(cut -c9-17 sample.txt | sort -u)" = A58818501 ] || fail "the declarant's NIF is not in every line"
  cut -c100 sample.txt | grep -q Z || fail "the generator wrote no cash-basis record"

  expect_status 0 --data data import sample.txt
  grep -q "200" out || fail "import does not report 200 records: $(cat out)"
  expect_status 0 --data data --json summary 1
  summary_group all
  same_number "$(json_number records)" 200 || fail "summary counts $(json_number records) records"
  same_number "$(json_number base)" "$(file_sum sample.txt 122)" \
    || fail "summary base $(json_number base) differs from the file's sum"
  same_number "$(json_number tax)" "$(file_sum sample.txt 136)" \
    || fail "summary tax $(json_number tax) differs from the file's sum"
  same_number "$(json_number total)" "$(file_sum sample.txt 150)" \
    || fail "summary total $(json_number total) differs from the file's sum"
  expect_status 0 --data data --json totals 1
  same_number "$(json_number E)" "$(cut -c99 sample.txt | grep -c E)" || fail "totals: book E count"
  expect_status 0 --data data --json summary 1
  summary_group issued
  same_number "$(json_number records)" "$(cut -c99 sample.txt | grep -c '[EF]')" \
    || fail "summary counts $(json_number records) issued invoices"
  same_number "$(json_number base)" \
    "$(grep '^2.\{97\}[EF]' sample.txt > issued.txt; file_sum issued.txt 122)" \
    || fail "summary base of the issued invoices differs from the file's sum"

  expect_status 0 --data data export 1 -o exported.txt
  cmp sample.txt exported.txt || fail "the export differs from the generated file"
  expect_status 0 --data data export 1 -o exported-utf8.txt --encoding utf8
  # A file read as UTF-8 imports to the same records, which export to the same bytes.
  expect_status 0 --data data2 init
  expect_status 0 --data data2 import exported-utf8.txt
  expect_status 0 --data data2 export 1 -o second.txt
  cmp sample.txt second.txt || fail "export, import and export again changed the file"

  # The years before 2012 and before 2014 carry fewer detail fields.
  for year in 2011 2013; do
    expect_status 0 generate --records 40 --year $year --seed 3 -o y$year.txt
    expect_status 0 --data data import y$year.txt
    key=$(k --data data --json declaration list | sed -n 's/^ *"key": \([0-9]*\),$/\1/p' | tail -n1)
    expect_status 0 --data data export "$key" -o y$year-out.txt
    cmp y$year.txt y$year-out.txt || fail "the export of $year differs from the generated file"
  done

  expect_status 0 --data data listing 1 --book U --size 5 --csv
  [ "$(wc -l < out)" = 6 ] || fail "a listing page of 5 U records has $(wc -l < out) lines"
  ;;

bad_line_nothing_stored)
  expect_status 0 --data data init
  expect_status 0 generate --records 40 --year 2014 --seed 5 -o sample.txt
  # Line 5: a sign position that is neither N nor blank in the taxable base.
  sed '5s/^\(.\{121\}\)./\1X/' sample.txt > bad.txt
  before=$(db_hash)
  for lang in es eu; do
    column=$([ $lang = es ] && echo 2 || echo 3)
    message=$(awk -F'\t' -v c="$column" '$1 == "90" { print $c }' "$source_dir/cli/catalog/findings_import.tsv")
    [ -n "$message" ] || fail "the catalog has no text for finding 90 in $lang"
    expect_status 1 --data data --lang $lang import bad.txt
    grep -q "^ *5  BIMP  *122-135  *90 .*$message" out || fail "$lang: finding not printed as expected: $(cat out)"
  done
  [ "$(db_hash)" = "$before" ] || fail "an import with findings changed the user database"
  expect_status 0 --data data --json declarant list
  [ "$(tr -d ' \n' < out)" = "[]" ] || fail "an import with findings left a declarant"
  expect_status 1 --data data --json import bad.txt --check
  grep -q '"code": 90' out || fail "the JSON findings lack code 90"
  # --partial stores the clean lines only.
  expect_status 1 --data data import bad.txt --partial
  expect_status 0 --data data --json declaration list
  grep -q '"records": 39' out || fail "--partial did not store the 39 clean records: $(cat out)"
  ;;

existing_declaration_refused)
  expect_status 0 --data data init
  expect_status 0 generate --records 30 --year 2014 --seed 9 -o sample.txt
  expect_status 0 --data data import sample.txt
  before=$(db_hash)
  expect_status 2 --data data import sample.txt
  [ "$(wc -l < err)" = 1 ] || fail "the refusal is not one line: $(cat err)"
  grep -q -- "--replace" err || fail "the refusal does not offer --replace: $(cat err)"
  [ "$(db_hash)" = "$before" ] || fail "a refused import changed the user database"
  expect_status 0 --data data import sample.txt --replace
  expect_status 0 --data data --json declaration list
  [ "$(grep -c '"key"' out)" = 1 ] || fail "--replace left $(grep -c '"key"' out) declarations"
  grep -q '"records": 30' out || fail "--replace did not store the 30 records"
  # Into a declaration that already has records: refused too.
  key=$(sed -n 's/^ *"key": \([0-9]*\),$/\1/p' out)
  expect_status 2 --data data import sample.txt --declaration "$key"
  ;;

bad_input_exit_2)
  expect_status 0 --data data init
  expect_status 0 generate --records 10 --year 2014 -o sample.txt
  expect_status 0 --data data import sample.txt
  expect_status 0 --data data declarant add --tax-id 12345678Z --name "OTRA SL"
  before=$(db_hash)
  head -c 3000 /dev/urandom > binary.bin
  printf '\0\0\0' >> binary.bin
  mkdir folder
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    eval "set -- $line"
    expect_status 2 --data data "$@"
    [ "$(wc -l < err)" = 1 ] || fail "kolvar $line: stderr is not one line: $(cat err)"
    grep -qi "terminate\|abort\|exception" err && fail "kolvar $line: $(cat err)"
  done <<'CASES'
nonsense
import
import missing-file.txt
import binary.bin
import folder
import sample.txt --declaration abc
import sample.txt --declaration 99
export
export 1
export 99 -o x.txt
export 1 -o x.txt --encoding ebcdic
export 1 -o folder
summary
summary 99
summary 1.5
totals -3
listing 99
listing 1 --page 0
listing 1 --size abc
listing 1 --book X
declarant
declarant add --name "SIN NIF"
declarant add --tax-id 12345678A --name MAL
declarant add --tax-id 12345678Z --name REPETIDO
declarant show 99
declarant show x
declarant edit 99 --name X
declarant edit 2 --postal-code 2800A
declarant delete 99
declarant delete 1
declaration add --declarant 99 --year 2014 --period 01
declaration add --declarant 1 --year 20x4 --period 01
declaration add --declarant 1 --year 2014 --period 13
declaration add --declarant 1 --year 2014 --period 12 --sequence 1
declaration add --declarant 1 --year 2014 --period 01 --complementary
declaration show 99
declaration delete 99
declaration duplicate 99
record
record add 99 --book E
record add 1 --book E --issued 2014-02-30
record add 1 --book E --base 12,345
record add 1 --book E --base diez
record add 1 --book E --detail NOPE=1
record add 1 --book E --detail NOFAC
record list 99
record show 99
record edit 99 --base 1
record edit 1 --issued 20141301
record delete 99
record duplicate abc
check-id
lookup country
lookup planet ES
lang
lang fr
generate --records 10
generate --records ten -o x.txt
generate --year 14 -o x.txt
demo --records 0
--lang fr summary 1
--data missing-folder summary 1
CASES
  [ "$(db_hash)" = "$before" ] || fail "bad input changed the user database"
  ;;

record_commands)
  expect_status 0 --data data init
  expect_status 0 --data data declarant add --tax-id A58818501 --name "EMPRESA SA" --phone 943000000
  expect_status 0 --data data declaration add --declarant 1 --year 2014 --period 03
  expect_status 0 --data data --json record add 1 --book E --nif 12345678Z --name "CLIENTE SL" \
    --issued 2014-03-10 --operated 2014-03-10 --rate 21 --base 1000.50 --tax 210.11 --total 1210.61 \
    --detail NOFAC=1
  grep -q '"key": 1' out || fail "record add did not report key 1: $(cat out)"
  expect_status 0 --data data --json record show 1
  grep -q '"base": 1000.5' out || fail "the stored base is not 1000.50: $(cat out)"
  grep -q '"issued": "2014-03-10"' out || fail "the stored date is wrong"
  # A finding of the rules: nothing stored, exit 1.
  before=$(db_hash)
  expect_status 1 --data data record add 1 --book E --nif 12345678A --name X --issued 2014-03-10
  grep -q "23" out || fail "an invalid NIF gives no finding 23: $(cat out)"
  [ "$(db_hash)" = "$before" ] || fail "a record with findings was stored"
  expect_status 0 --data data record edit 1 --base 2000
  expect_status 0 --data data --json record show 1
  grep -q '"base": 2000' out || fail "record edit did not change the base"
  expect_status 0 --data data record duplicate 1
  expect_status 0 --data data --json record list 1
  [ "$(grep -c '"key"' out)" = 2 ] || fail "duplicate did not add a record"
  expect_status 0 --data data record delete 1
  expect_status 0 --data data declaration duplicate 1 --period 04
  expect_status 0 --data data --json declaration list
  [ "$(grep -c '"records": 1' out)" = 2 ] || fail "the duplicated declaration lacks its record: $(cat out)"
  expect_status 0 check-id 12345678Z
  expect_status 1 check-id 12345678A
  expect_status 0 check-id --country FR 40303265045
  expect_status 1 check-id --country FR 40303265046
  expect_status 0 --data data lookup country fr
  grep -q FRANCIA out || fail "lookup country FR: $(cat out)"
  expect_status 0 --data data lang eu
  expect_status 0 --data data lookup country fr
  grep -q FRANTZIA out || fail "the stored language does not choose Basque: $(cat out)"
  expect_status 0 --data data upgrade
  ;;

copy_between_engines)
  # Three books and a deleted declaration, whose key must never come back.
  expect_status 0 --data src init
  expect_status 0 generate --records 300 --year 2014 --seed 11 -o a.txt
  expect_status 0 generate --records 200 --year 2013 --seed 12 --period 6 -o b.txt
  expect_status 0 generate --records 150 --year 2011 --seed 13 -o c.txt
  expect_status 0 generate --records 20 --year 2012 --seed 14 -o d.txt
  for f in a b c d; do expect_status 0 --data src import $f.txt; done
  expect_status 0 --data src declaration delete 4
  # The middle stop: the server, else another folder.
  if mid=$(server_user_db copy); then
    mid_args=(--data middle --user-db "$mid")
  else
    mid=middle
    mid_args=(--data middle)
  fi
  expect_status 0 "${mid_args[@]}" init
  expect_status 0 --json copy --from src --to "$mid"
  tr -d ' \n' < out | grep -q '"counter":4,"rows":3,"sums":{[^}]*},"table":"TDeclaraciones"' \
    || fail "the copy does not report 3 declarations with their counter at 4: $(head -c 600 out)"
  expect_status 0 --data back init
  expect_status 0 --lang eu copy --from "$mid" --to back
  grep -q "errenkada kopiatu" out || fail "the copy does not speak Basque: $(cat out)"
  for key in 1 2 3; do
    for place in src mid back; do
      case $place in
        src) args=(--data src) ;;
        mid) args=("${mid_args[@]}") ;;
        back) args=(--data back) ;;
      esac
      expect_status 0 "${args[@]}" --json summary $key
      mv out summary-$place-$key.json
      expect_status 0 "${args[@]}" export $key -o export-$place-$key.txt
    done
    cmp -s summary-src-$key.json summary-mid-$key.json || fail "summary $key differs after the copy to $mid"
    cmp -s summary-src-$key.json summary-back-$key.json || fail "summary $key differs after the copy back"
    cmp export-src-$key.txt export-mid-$key.txt || fail "export $key differs after the copy to $mid"
    cmp export-src-$key.txt export-back-$key.txt || fail "export $key differs after the copy back"
  done
  cmp -s a.txt export-back-1.txt || fail "the first book does not come back as generated"
  expect_status 0 --data back --json declaration add --declarant 1 --year 2015 --period 01
  grep -q '"key": 5' out || fail "a new declaration reuses a key after the copies: $(cat out)"

  # Targets that hold data are refused and left as they were.
  before=$(db_hash back)
  expect_status 2 copy --from src --to back
  grep -q "3204" err || fail "a copy onto data is not refused with 3204: $(cat err)"
  [ "$(db_hash back)" = "$before" ] || fail "a refused copy changed the target"
  expect_status 0 "${mid_args[@]}" --json declaration list
  mv out mid-before.json
  expect_status 2 copy --from back --to "$mid"
  expect_status 0 "${mid_args[@]}" --json declaration list
  cmp -s out mid-before.json || fail "a refused copy changed $mid"

  # A copy killed while it writes leaves nothing behind: the target reads as
  # empty, and the next copy into it succeeds.
  expect_status 0 generate --records 30000 --year 2016 --seed 15 -o big.txt
  expect_status 0 --data src import big.txt
  expect_status 0 --data killed init
  "$kolvar" copy --from src --to killed >copy.out 2>&1 &
  copier=$!
  for _ in $(seq 1 400); do
    [ -e killed/kolvar-usuario.db-journal ] && break
    sleep 0.02
  done
  if [ -e killed/kolvar-usuario.db-journal ]; then
    kill -9 $copier
    wait $copier 2>/dev/null
    expect_status 0 --data killed --json declaration list
    [ "$(tr -d ' \n' < out)" = "[]" ] || fail "a killed copy left declarations: $(head -c 300 out)"
    expect_status 0 copy --from src --to killed
  else
    wait $copier
    fail "the copy was never seen writing: $(cat copy.out)"
  fi
  ;;

*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac

[ "$failures" = 0 ]
