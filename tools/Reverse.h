#pragma once
// The Turkish-headword side built from an English–Turkish dictionary: every
// Turkish equivalent in a meaning becomes a headword whose meaning lists the
// English headwords it translates.
//
// Which parts of a meaning count as equivalents: the meaning (examples
// already cut off) is split at ", ", "; ", ": " and ". " outside
// parentheses. Senses that are abbreviations "(kıs.)" or cross references
// "(bak.)" give none. Of each part, leading labels and a trailing
// parenthesised qualifier ("coşmak (fikir)") and trailing punctuation are
// removed; the part is dropped when it is then empty, still holds a
// parenthesis (unbalanced or in the middle), digits, quotes or symbols,
// starts with "-" (case endings like "-(den.)"), has more than three words
// or 40 characters (descriptions, not equivalents), follows a cross
// reference or an abbreviation label, follows a "(bot.)", "(zool.)" or
// "(biyol.)" label in the middle of a sense (a Latin name), or uses the
// English headword itself (an example the source did not set apart). Parts
// that differ only in case are one headword, spelled as most often written
// (all small letters on a tie, then byte order). Its English words are
// distinct and in English alphabetical order; its category holds the labels
// that every sense it came from carries.
//
// With a lexicon, the English words are ranked (see Rank.h) and the Turkish
// side is checked against the Turkish word list: a run of capitalised
// Turkish words ("Merhaba Günaydın") gives one equivalent each; a capital that
// only starts the sentence is made small ("Merhaba" → merhaba, but
// "Afrika" stays); a part is dropped when one of its words is English only
// ("vomitive kusturucu"), when it starts with a case ending ("ın
// başkenti") or is one ("dan"), or when none of its words is Turkish and it holds letters
// Turkish does not use. English headwords of one letter other than "a" and
// "I" are letter names and give no equivalents.
//
// Labels are never read as words: one written without parentheses before
// the meaning ("(biyol.), kim. globulin") is left out like a parenthesised
// one. A label right after a part-of-speech label that the Turkish lexicon
// knows as a closed-class word is that word, not a subject ("who (zam.)
// (kim.)": no pronoun is chemistry), and qualifies nothing. A closed-class
// Turkish word ranks its English words by how directly they translate it
// (Rank.h).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/DictdEntry.h"
#include "tools/ImportTypes.h"
#include "tools/Repair.h"

namespace lugatim::tools {

struct TReverseEntry {
  std::string headword;
  std::vector<std::string> english;  // distinct, best first
  std::vector<std::string> labels;   // labels common to every contributing sense
};

// What the reverse consults; without it, glosses rank by their place in the
// English entries alone and the Turkish side is not checked.
struct TReverseLexicon {
  std::function<uint32_t(std::string_view)> frequency;  // English corpus counts
  TWordTest turkish;                                    // a Turkish word
  TWordTest english;                                    // an English word
  TWordTest closedClass;  // a Turkish pronoun, conjunction, postposition, question word, particle
};

// The cleaned Turkish equivalents of one sense of an English entry, in order,
// without duplicates. With a lexicon, a part that runs capitalised Turkish
// words together ("Merhaba Günaydın Hoş geldiniz") is cut before each.
std::vector<std::string> TurkishEquivalents(const TSense& sense, const TParsedEntry& entry,
                                            const TReverseLexicon* lexicon = nullptr);

// The reverse of an English–Turkish dictionary, in Turkish alphabetical order.
std::vector<TReverseEntry> BuildReverse(const std::vector<TParsedEntry>& englishTurkish,
                                        const TReverseLexicon& lexicon = {});

// The rows of the Turkish-headword table: every Turkish–English entry (its
// headword keeps its own spelling; the reverse's English words that it does
// not yet list are added, to its one unnumbered sense or as a new numbered
// sense, and only to the first of duplicate headwords), and a row for each
// reverse headword the Turkish–English dictionary lacks. Not yet sorted.
std::vector<TRow> MergeTurkishTable(std::vector<TParsedEntry> turkishEnglish,
                                    const std::vector<TReverseEntry>& reverse);

}  // namespace lugatim::tools
