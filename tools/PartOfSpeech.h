#pragma once
// Parts of speech for the Kategori field. English headwords get them in the
// abbreviations of a Turkish dictionary, Turkish headwords in English ones:
//
//   isim i. / n.   fiil f. / v.   sıfat s. / adj.   zarf zf. / adv.
//   zamir zam. / pron.   edat edat / postp.   bağlaç bağlaç / conj.
//   ünlem ünlem / interj.
// (a Turkish word an English preposition translates is a postposition)
//
// An English word's parts of speech come from WordNet, most frequent first
// (its base form for an inflected word), the one the entry's meaning is
// about put first (an infinitive the verb, any other meaning not the verb); words WordNet lacks are
// looked up among the pronouns, prepositions, conjunctions and interjections, then judged by their
// Turkish meaning (an infinitive makes a verb) and their ending ("-ly" an adverb, "-ness" a noun,
// "-ous" an adjective, …). A Turkish headword takes the classes the Turkish
// lexicon gives it (noun, verb, adjective, adverb, pronoun, conjunction,
// postposition, interjection), the one its first three English glosses vote
// for (weights 3, 2, 1) where it has several; an infinitive (-mak/-mek) is a
// verb where the lexicon knows its stem as one ("ekmek" is bread, "ırmak" a
// river), and, without the lexicon, always. Words the lexicon lacks take
// the part of speech their glosses vote for (each its most frequent one
// other than verb), else their own ending decides ("-ca" adverb, "-lı"/"-sız"
// adjective), else they are nouns.

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

// Whether the label is one of the Turkish abbreviations above ("zam.").
bool IsTurkishPartOfSpeechLabel(std::string_view label);

// The English abbreviation of the Turkish headword's part of speech, from
// its English glosses in order and, where the lexicon knows the word, its
// classes there; empty when it has none.
std::string TurkishPartOfSpeech(const std::string& headword,
                                const std::vector<std::string>& englishGlosses,
                                const TWordNet& wordnet, const TWordFlags& lexicon = {});

}  // namespace lugatim::tools
