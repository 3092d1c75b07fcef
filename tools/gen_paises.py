#!/usr/bin/env python3
"""Generate data/reference/paises.tsv, the country table of the reference database.

Source: Debian's iso-codes package (ISO 3166-1 list in JSON, Castilian and
Basque names from its gettext catalogues). Standard library only.

Columns: codigo, PAISCAS, PAISEUS, paisint, paisfecing.
- codigo: ISO 3166-1 alpha-2 code (plus the extra code XI, Northern Ireland).
- PAISCAS / PAISEUS: country name in Castilian / Basque, upper case. A name
  with no Basque translation takes the Castilian one.
- paisint: VAT prefix of the states whose VAT numbers the EU check accepts
  (EL for Greece, otherwise the ISO code); empty for every other country.
- paisfecing: first day of EU membership of those states, AAAAMMDD text.

Usage: tools/gen_paises.py [--json FILE] [--locale-dir DIR] [--out FILE]
"""

import argparse
import gettext
import json
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

DEFAULT_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
DEFAULT_LOCALE_DIR = "/usr/share/locale"
DEFAULT_OUT = os.path.join(REPO, "data", "reference", "paises.tsv")

FOUNDERS = "19580101"
ENLARGEMENT_1973 = "19730101"
ENLARGEMENT_1981 = "19810101"
ENLARGEMENT_1986 = "19860101"
ENLARGEMENT_1995 = "19950101"
ENLARGEMENT_2004 = "20040501"
ENLARGEMENT_2007 = "20070101"
ENLARGEMENT_2013 = "20130701"

# ISO code -> (VAT prefix, first day of membership).
VAT_STATES = {
    "BE": ("BE", FOUNDERS),
    "DE": ("DE", FOUNDERS),
    "FR": ("FR", FOUNDERS),
    "IT": ("IT", FOUNDERS),
    "LU": ("LU", FOUNDERS),
    "NL": ("NL", FOUNDERS),
    "DK": ("DK", ENLARGEMENT_1973),
    "IE": ("IE", ENLARGEMENT_1973),
    "GB": ("GB", ENLARGEMENT_1973),
    "GR": ("EL", ENLARGEMENT_1981),
    "ES": ("ES", ENLARGEMENT_1986),
    "PT": ("PT", ENLARGEMENT_1986),
    "AT": ("AT", ENLARGEMENT_1995),
    "FI": ("FI", ENLARGEMENT_1995),
    "SE": ("SE", ENLARGEMENT_1995),
    "CY": ("CY", ENLARGEMENT_2004),
    "CZ": ("CZ", ENLARGEMENT_2004),
    "EE": ("EE", ENLARGEMENT_2004),
    "HU": ("HU", ENLARGEMENT_2004),
    "LT": ("LT", ENLARGEMENT_2004),
    "LV": ("LV", ENLARGEMENT_2004),
    "MT": ("MT", ENLARGEMENT_2004),
    "PL": ("PL", ENLARGEMENT_2004),
    "SI": ("SI", ENLARGEMENT_2004),
    "SK": ("SK", ENLARGEMENT_2004),
    "BG": ("BG", ENLARGEMENT_2007),
    "RO": ("RO", ENLARGEMENT_2007),
    "HR": ("HR", ENLARGEMENT_2013),
}

# Rows that are not ISO 3166-1 codes: Northern Ireland keeps its own VAT
# prefix for trade in goods; it dates from the United Kingdom's entry.
EXTRA_ROWS = [
    ("XI", "IRLANDA DEL NORTE", "IPAR IRLANDA", "XI", ENLARGEMENT_1973),
]

# Corrections to the installed catalogues: wrong or missing entries.
# ISO code -> (Castilian or None, Basque or None); None keeps the catalogue's.
CORRECTIONS = {
    "DZ": ("Argelia", None),               # catalogue leaves the English name
    "CI": ("Costa de Marfil", None),       # stray accent
    "TN": ("Túnez", None),                 # missing accent
    "SR": ("Surinam", None),               # stray accent
    "AX": ("Islas Åland", None),           # wrong letter
    "SX": ("Isla de San Martín (zona holandesa)", None),  # typo
    "TR": ("Turquía", "Turkia"),           # msgid renamed, no translation yet
}


class MissTracker(gettext.NullTranslations):
    """Fallback catalogue that records every message without a translation."""

    def __init__(self):
        super().__init__()
        self.missing = []

    def gettext(self, message):
        self.missing.append(message)
        return message


def load_catalogue(locale_dir, lang):
    path = os.path.join(locale_dir, lang, "LC_MESSAGES", "iso_3166-1.mo")
    with open(path, "rb") as f:
        catalogue = gettext.GNUTranslations(f)
    tracker = MissTracker()
    catalogue.add_fallback(tracker)
    return catalogue, tracker


def clean(text):
    """Upper case, no apostrophes (they would break the lookup statements)."""
    text = text.replace("'", "´").replace("’", "´").upper()
    if "\t" in text or "\n" in text or "\r" in text:
        raise ValueError("control character in name: %r" % text)
    return text


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--json", default=DEFAULT_JSON)
    parser.add_argument("--locale-dir", default=DEFAULT_LOCALE_DIR)
    parser.add_argument("--out", default=DEFAULT_OUT)
    args = parser.parse_args()

    with open(args.json, encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]

    es, es_missing = load_catalogue(args.locale_dir, "es")
    eu, eu_missing = load_catalogue(args.locale_dir, "eu")

    rows = []
    basque_fallbacks = []
    for country in countries:
        code = country["alpha_2"]
        name = country["name"]
        cas = es.gettext(name)
        n_eu_missing = len(eu_missing.missing)
        eus = eu.gettext(name)
        basque_missing = len(eu_missing.missing) > n_eu_missing
        fix_cas, fix_eus = CORRECTIONS.get(code, (None, None))
        if fix_cas is not None:
            cas = fix_cas
        if fix_eus is not None:
            eus = fix_eus
        elif basque_missing:
            eus = cas
            basque_fallbacks.append(code)
        prefix, joined = VAT_STATES.get(code, ("", ""))
        rows.append((code, clean(cas), clean(eus), prefix, joined))

    iso_codes = {row[0] for row in rows}
    missing_states = sorted(set(VAT_STATES) - iso_codes)
    if missing_states:
        raise SystemExit("VAT states missing from the ISO list: %s" % missing_states)
    for extra in EXTRA_ROWS:
        if extra[0] in iso_codes:
            raise SystemExit("extra row %s clashes with an ISO code" % extra[0])
        rows.append(extra)
    rows.sort(key=lambda row: row[0])

    with open(args.out, "w", encoding="utf-8", newline="\n") as out:
        out.write("codigo\tPAISCAS\tPAISEUS\tpaisint\tpaisfecing\n")
        for row in rows:
            out.write("\t".join(row) + "\n")

    print("%s: %d rows (%d ISO codes + %d extra), %d with a VAT prefix"
          % (args.out, len(rows), len(countries), len(EXTRA_ROWS),
             sum(1 for row in rows if row[3])), file=sys.stderr)
    print("names without a Castilian translation in the catalogue: %d %s"
          % (len(es_missing.missing), es_missing.missing), file=sys.stderr)
    print("names without a Basque translation in the catalogue: %d %s"
          % (len(eu_missing.missing), eu_missing.missing), file=sys.stderr)
    print("Basque names that fell back to the Castilian name: %d %s"
          % (len(basque_fallbacks), basque_fallbacks), file=sys.stderr)
    print("names corrected by hand: %d %s"
          % (len(CORRECTIONS), sorted(CORRECTIONS)), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
