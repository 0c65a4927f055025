#pragma once
// The whole window over two small dictionaries, with recorded message boxes.

#include <QApplication>
#include <QTest>
#include <memory>

#include "app/Application.h"
#include "app/frmMainE.h"
#include "tests/support/TableFixture.h"

class RecordingDialogs : public lugatim::app::IDialogs {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> messages;
  std::vector<std::string> errors;
};

class WindowFixture : public TableFolder {
 protected:
  void SetUp() override {
    TableFolder::SetUp();
    previous_ = lugatim::app::SetDialogs(&dialogs_);
  }
  void TearDown() override {
    window_.reset();
    dataModule_.reset();
    lugatim::app::SetDialogs(previous_);
    TableFolder::TearDown();
  }
  // English headwords for the Turkish interface, Turkish ones for the English.
  void MakeDictionaries() {
    MakeTable("Sozluk1.DB",
              {{"apple", "elma", "isim"},
               {"apply", "uygulamak", "fiil"},
               {"book", "kitap", "isim"},
               {"bookcase", "kitaplık"},
               {"cat", "kedi"},
               {"dog", "köpek"},
               {"door", "kapı"},
               {"Istanbul", "İstanbul"}},
              "CREATE INDEX k ON Sozluk1(Kelime)");
    MakeTable("SozlukE1.DB",
              {{"elma", "apple"}, {"kapı", "door"}, {"kitap", "book"}, {"köpek", "dog"}},
              "CREATE INDEX k ON SozlukE1(Kelime)");
  }
  // Start-up as the program does it: window, data module, binding, showing.
  void Start() {
    window_ = std::make_unique<lugatim::app::TfrmLugatim>(state_, dir_, clock_);
    dataModule_ = std::make_unique<lugatim::data::TDModuleFrm>(dialogs_);
    window_->AttachDataModule(dataModule_.get());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
  std::string Shown() const { return window_->DBEdit2->text().toStdString(); }

  RecordingDialogs dialogs_;
  lugatim::app::IDialogs* previous_ = nullptr;
  lugatim::base::ManualClock clock_;
  lugatim::app::TProcessState state_;
  std::unique_ptr<lugatim::data::TDModuleFrm> dataModule_;
  std::unique_ptr<lugatim::app::TfrmLugatim> window_;
};
