#pragma once
// Parts of speech for the Kategori field. English headwords get them in the
// abbreviations of a Turkish dictionary, Turkish headwords in English ones:
//
//   isim i. / n.   fiil f. / v.   sıfat s. / adj.   zarf zf. / adv.
//   zamir zam. / pron.   edat edat / prep.   bağlaç bağlaç / conj.
//   ünlem ünlem / interj.
//
// An English word's parts of speech come from WordNet, most frequent first
// (its base form for an inflected word), the one the entry's meaning is
// about put first (an infinitive the verb, any other meaning not the verb); words WordNet lacks are
// looked up among the pronouns, prepositions, conjunctions and interjections, then judged by their
// Turkish meaning (an infinitive makes a verb) and their ending ("-ly" an adverb, "-ness" a noun,
// "-ous" an adjective, …). A Turkish headword ending in -mak/-mek is a verb;
// any other takes the part of speech its first three English glosses vote
// for (weights 3, 2, 1; each its most frequent one other than verb), else
// its own ending decides ("-ca" adverb, "-lı"/"-sız" adjective), else it
// is a noun.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lugatim::tools {

class TWordNet;

// The Turkish lexicon's flags of a word (morph::TLemmaFlag bits), 0 for a
// word it does not know; an empty function without the lexicon.
using TWordFlags = std::function<uint32_t(std::string_view)>;

// Turkish abbreviations of the English headword's parts of speech, most
// likely first; turkishMeaning is its first sense. Empty when unknown.
std::vector<std::string> EnglishPartsOfSpeech(const std::string& headword,
                                              const std::string& turkishMeaning,
                                              const TWordNet& wordnet);

// Whether the word (small letters) is an English pronoun, preposition,
// conjunction, interjection or determiner: the words WordNet leaves out.
bool IsEnglishFunctionWord(std::string_view word);

// Whether the Turkish lexicon's flags (morph::TLemmaFlag) make a word
// closed-class: a question word, or a pronoun, conjunction, postposition or
// particle that is no noun, verb or adjective as well ("kim", "ile", "ne";
// not "çok", also an adjective).
bool IsTurkishClosedClass(uint32_t lexiconFlags);

// The English abbreviation of the Turkish headword's part of speech, from
// its English glosses in order; empty when it has none.
std::string TurkishPartOfSpeech(const std::string& headword,
                                const std::vector<std::string>& englishGlosses,
                                const TWordNet& wordnet);

}  // namespace lugatim::tools
