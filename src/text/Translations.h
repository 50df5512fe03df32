#pragma once
// The catalogues of the application's texts, compiled into the program.
// Plural texts are written "%n image(s)" in the code; the English catalogue
// gives them their English forms ("1 image", "2 images"), so it is always
// installed, under any other language's catalogue.

#include <QLocale>

namespace stowage::Translations {

// The English plural forms only: for the headless commands (whose output stays
// English) and for the tests.
void installEnglish();

// The English plural forms, then Stowage's and Qt's own catalogues for the
// first of the locale's languages that has them (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
void installFor(const QLocale& locale);

}  // namespace stowage::Translations
