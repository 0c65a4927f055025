#pragma once
// The data module: the two dictionary tables, a data source on each and the
// action that closes and reopens them.

#include <string>
#include <string_view>
#include <vector>

#include "base/Action.h"
#include "base/TextFold.h"
#include "data/Table.h"

namespace lugatim::data {

// The message shown when the tables cannot be opened at start-up: four lines
// separated by a single carriage return, no break at the end.
extern const char* const kDamagedDatabaseMessage;

// The alias and the table files of the two dictionaries: English headwords
// (the Turkish interface's table) and Turkish headwords (the English one's).
inline constexpr const char* kDictionaryAlias = "Lugatim";
inline constexpr const char* kEnglishHeadwordsTable = "Sozluk1.DB";
inline constexpr const char* kTurkishHeadwordsTable = "SozlukE1.DB";

// The language of a dictionary table's headwords, by its file: Turkish for
// the English interface's table, English for every other.
inline base::TLanguage HeadwordLanguageOf(std::string_view tableFile) {
  return tableFile == kTurkishHeadwordsTable ? base::TLanguage::Turkish : base::TLanguage::English;
}

// Shows a modal message with the application title and a single OK button.
class IMessageSink {
 public:
  virtual ~IMessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

class TDModuleFrm {
 public:
  // Creates the components and runs DataModuleCreate; its silent abort ends
  // only the creation handler, the data module exists afterwards.
  explicit TDModuleFrm(IMessageSink& messages);
  // Runs DataModuleDestroy.
  ~TDModuleFrm();
  TDModuleFrm(const TDModuleFrm&) = delete;
  TDModuleFrm& operator=(const TDModuleFrm&) = delete;

  // Opens SozlukTB, then SozlukETB. On the first failure: shows the damaged
  // database message and ends with EAbort, leaving the rest untried.
  void DataModuleCreate();
  // Closes SozlukTB, then SozlukETB.
  void DataModuleDestroy();
  // Close both, open both, in that order, with no error handling of its own.
  void AcKapaExecute();

  TTable SozlukTB{"SozlukTB"};
  TField SozlukTBKelime{"SozlukTBKelime", "Kelime", TFieldType::String, 255};
  TField SozlukTBKategori{"SozlukTBKategori", "Kategori", TFieldType::String, 255};
  TField SozlukTBOnekSonek{"SozlukTBOnekSonek", "OnekSonek", TFieldType::String, 255};
  TField SozlukTBSiraNo{"SozlukTBSiraNo", "SiraNo", TFieldType::AutoInc};
  TField SozlukTBAnlami{"SozlukTBAnlami", "Anlami", TFieldType::Memo, 200};
  TField SozlukTBOrnek{"SozlukTBOrnek", "Ornek", TFieldType::Memo, 200};
  TDataSource Dtsrc1{"Dtsrc1", &SozlukTB};

  TTable SozlukETB{"SozlukETB"};
  TField SozlukETBKelime{"SozlukETBKelime", "Kelime", TFieldType::String, 255};
  TField SozlukETBKategori{"SozlukETBKategori", "Kategori", TFieldType::String, 255};
  TField SozlukETBOnekSonek{"SozlukETBOnekSonek", "OnekSonek", TFieldType::String, 255};
  TField SozlukETBSiraNo{"SozlukETBSiraNo", "SiraNo", TFieldType::AutoInc};
  TField SozlukETBAnlami{"SozlukETBAnlami", "Anlami", TFieldType::Memo, 200};
  TField SozlukETBOrnek{"SozlukETBOrnek", "Ornek", TFieldType::Memo, 200};
  TDataSource Dtsrc2{"Dtsrc2", &SozlukETB};

  // Ctrl+S: the Ctrl modifier 0x4000 plus the key code of S.
  base::TAction AcKapa{"AcKapa", "AcKapa", 0x4053, {}};
  std::vector<base::TAction*> ActionList1{&AcKapa};

 private:
  IMessageSink& messages_;
};

}  // namespace lugatim::data
