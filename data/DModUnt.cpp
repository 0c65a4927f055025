#include "data/DModUnt.h"

namespace lugatim::data {

const char* const kDamagedDatabaseMessage =
    "Veri tabanınız bozulmuş olabilir\r"
    "Lütfen Sozluk1.ydb, Sozluk1.ymd, Sozluk1.ypx dosyalarını\r"
    "Sozluk1.db, Sozluk1.md, Sozluk1.px olarak isimlendirerek veri\r"
    "tabanlarının eski sürümünü yükleyin";

TDModuleFrm::TDModuleFrm(IMessageSink& messages) : messages_(messages) {
  for (TTable* table : {&SozlukTB, &SozlukETB}) {
    table->databaseName = kDictionaryAlias;
  }
  SozlukTB.tableName = kEnglishHeadwordsTable;
  SozlukETB.tableName = kTurkishHeadwordsTable;
  // The Turkish interface looks up English headwords, the English one Turkish headwords.
  SozlukTB.language = HeadwordLanguageOf(SozlukTB.tableName);
  SozlukETB.language = HeadwordLanguageOf(SozlukETB.tableName);
  for (TField* f : {&SozlukTBKelime, &SozlukTBKategori, &SozlukTBOnekSonek, &SozlukTBSiraNo,
                    &SozlukTBAnlami, &SozlukTBOrnek}) {
    SozlukTB.AddField(f);
  }
  for (TField* f : {&SozlukETBKelime, &SozlukETBKategori, &SozlukETBOnekSonek, &SozlukETBSiraNo,
                    &SozlukETBAnlami, &SozlukETBOrnek}) {
    SozlukETB.AddField(f);
  }
  AcKapa.onExecute = [this] { AcKapaExecute(); };
  try {
    DataModuleCreate();
  } catch (const base::EAbort&) {
    // The silent abort ends the creation handler and reports nothing more.
  }
}

TDModuleFrm::~TDModuleFrm() {
  DataModuleDestroy();
}

void TDModuleFrm::DataModuleCreate() {
  try {
    SozlukTB.Open();
    SozlukETB.Open();
  } catch (const std::exception&) {
    messages_.ShowMessage(kDamagedDatabaseMessage);
    throw base::EAbort();
  }
}

void TDModuleFrm::DataModuleDestroy() {
  SozlukTB.Close();
  SozlukETB.Close();
}

void TDModuleFrm::AcKapaExecute() {
  SozlukTB.Close();
  SozlukETB.Close();
  SozlukTB.Open();
  SozlukETB.Open();
}

}  // namespace lugatim::data
