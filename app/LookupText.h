#pragma once
// The text a word handed from outside becomes before it is looked up: the
// first word or phrase of a selection, and the lower-case forms tried when
// the word as given finds nothing in the case-sensitive search box.

#include <QString>
#include <vector>

namespace lugatim::app {

// The most characters a looked-up selection keeps.
inline constexpr int kMaxSelectionChars = 64;

// The first word or phrase of a selection: its first line that holds
// anything, blanks collapsed, without the quotes and punctuation around it,
// at most kMaxSelectionChars characters (cut at the last blank within them
// when there is one, so no word is cut in two). Empty when nothing is left.
QString FirstPhrase(const QString& selection);

// Lower case by the rules of the headwords' language: for Turkish I → ı and
// İ → i, otherwise the Unicode default (I → i).
QString LowerCased(const QString& word, bool turkish);

// The texts to put into the search box in turn until one finds an entry: the
// word as given, then its lower-case form by the rules of the headwords'
// language, then by the other language's rules; each only once.
std::vector<QString> LookupCandidates(const QString& word, bool turkishHeadwords);

}  // namespace lugatim::app
