#pragma once
// A small WordNet database and a small Turkish word list, written the way the
// real ones are, so that the importer's content steps run on words chosen
// for the case at hand.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/Repair.h"

namespace toolstest {

struct Synset {
  char pos;  // n, v, a, r
  std::vector<std::string> words;
  std::string gloss;  // definition; quoted examples
};

// The files of a WordNet database holding the synsets (a word's senses in
// the order given), the cntlist.rev lines, the exception lists and the verb
// example sentences.
inline std::unordered_map<std::string, std::string> MakeWordNet(const std::vector<Synset>& synsets,
                                                                const std::string& cntlist = "",
                                                                const std::string& verbExc = "",
                                                                const std::string& nounExc = "",
                                                                const std::string& adjExc = "",
                                                                const std::string& sentidx = "",
                                                                const std::string& sents = "") {
  const std::map<char, std::string> names = {
      {'n', "noun"}, {'v', "verb"}, {'a', "adj"}, {'r', "adv"}};
  std::unordered_map<std::string, std::string> files;
  std::map<char, std::map<std::string, std::vector<size_t>>> senses;
  for (const auto& [pos, name] : names) {
    std::string data = "  1 This software and database is being provided\n";
    for (const Synset& s : synsets) {
      if (s.pos != pos) continue;
      const size_t offset = data.size();
      char head[32];
      snprintf(head, sizeof head, "%08zu 03 %c %02zx", offset, pos, s.words.size());
      data += head;
      for (const std::string& w : s.words) data += " " + w + " 0";
      data += " 000 | " + s.gloss + "  \n";
      for (const std::string& w : s.words) senses[pos][w].push_back(offset);
    }
    files["data." + name] = data;
    std::string index = "  1 This software and database is being provided\n";
    for (const auto& [word, offsets] : senses[pos]) {
      index += word + " " + pos + " " + std::to_string(offsets.size()) + " 0 " +
               std::to_string(offsets.size()) + " 0";
      for (size_t o : offsets) {
        char buf[16];
        snprintf(buf, sizeof buf, " %08zu", o);
        index += buf;
      }
      index += "  \n";
    }
    files["index." + name] = index;
  }
  files["cntlist.rev"] = cntlist;
  files["verb.exc"] = verbExc;
  files["noun.exc"] = nounExc;
  files["adj.exc"] = adjExc;
  files["sentidx.vrb"] = sentidx;
  files["sents.vrb"] = sents;
  return files;
}

// A word test over a fixed set of words.
inline lugatim::tools::TWordTest WordSet(std::set<std::string, std::less<>> words) {
  return [words = std::move(words)](std::string_view w) { return words.contains(w); };
}

}  // namespace toolstest
