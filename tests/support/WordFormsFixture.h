#pragma once
// Word-form data for tests over small tables: a machine in which nouns take
// a plural and a locative, kitap and sürüm in the lexicon, go's irregular
// "went", and headwords for suggestions; written as the importer writes it.

#include <fstream>
#include <string>

#include "morph/MorphData.h"

inline void WriteWordForms(const std::string& dir) {
  lugatim::morph::TMorphSources s;
  s.turkishFsm = R"(<statelist>
<state name="NominalRoot" start="yes" end="no"><to name="Plural">
<with name="A3SG">0</with><with name="A3PL">lAr</with></to></state>
<state name="Plural" start="no" end="yes"><to name="Case"><with name="LOC">DA</with></to></state>
<state name="Case" start="no" end="yes"></state>
</statelist>)";
  s.turkishDictionary = "kitap CL_ISIM IS_SD\nsürüm CL_ISIM\n";
  s.englishExceptions = {{"went", "go"}};
  s.englishWords = {{"dictionary", 9}, {"cat", 5}};
  std::ofstream(dir + lugatim::morph::kMorphFile) << lugatim::morph::CompileMorphData(s);
}
