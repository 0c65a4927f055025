#pragma once
// A table of numbered headwords, opened through the alias, and a window to
// put controls in.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "data/Table.h"
#include "tests/support/TableFixture.h"

class DictionaryFixture : public TableFolder {
 protected:
  void SetUp() override {
    TableFolder::SetUp();
    std::vector<Row> rows;
    for (int i = 0; i < 60; ++i) {
      char word[16];
      std::snprintf(word, sizeof word, "word%02d", i);
      rows.push_back({word, "meaning " + std::to_string(i), "cat" + std::to_string(i)});
    }
    rows[20].kelime = "Istanbul";
    rows[21].kelime = "ıslak";
    rows[22].kelime = "word05";  // a duplicate of row 5's headword
    MakeTable("Sozluk1.DB", rows, "CREATE INDEX k ON Sozluk1(Kelime)");
    table_.databaseName = "Lugatim";
    table_.tableName = "Sozluk1.DB";
    for (auto* f : {&kelime_, &kategori_, &onek_, &anlami_}) table_.AddField(f);
    table_.Open();
    window_.resize(480, 300);
  }
  void TearDown() override {
    table_.Close();
    TableFolder::TearDown();
  }
  void ShowWindow() {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  lugatim::data::TTable table_{"SozlukTB"};
  lugatim::data::TField kelime_{"k", "Kelime", lugatim::data::TFieldType::String};
  lugatim::data::TField kategori_{"c", "Kategori", lugatim::data::TFieldType::String};
  lugatim::data::TField onek_{"o", "OnekSonek", lugatim::data::TFieldType::String};
  lugatim::data::TField anlami_{"a", "Anlami", lugatim::data::TFieldType::Memo};
  lugatim::data::TDataSource source_{"Dtsrc1", &table_};
  QWidget window_;
};
