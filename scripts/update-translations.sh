#!/usr/bin/env bash
# Brings the catalogues in translations/ up to date with the texts in src/:
# stowage_en.ts holds only the English plural forms ("%n image(s)"), the
# others every text. Translate new entries (Qt Linguist: linguist translations/stowage_de.ts)
# and check that `lrelease translations/stowage_de.ts` reports none untranslated.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -silent -locations none -no-obsolete src -ts translations/stowage_de.ts
"$lupdate" -silent -locations none -no-obsolete -pluralonly src -ts translations/stowage_en.ts
