// A word from outside: the selection's first phrase, the lower-case retries,
// the command line, the window taking the word, and the running copy's
// socket server against well-formed, malformed and oversized requests.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSignalSpy>
#include <thread>

#include "AppFixture.h"
#include "app/CommandLine.h"
#include "app/HandOverServer.h"
#include "app/LookupText.h"
#include "base/Trace.h"

using namespace lugatim;

TEST(Selection, FirstWordOrPhraseOnOneLineWithoutSurroundingPunctuation) {
  EXPECT_EQ(app::FirstPhrase("  dictionary,  "), "dictionary");
  EXPECT_EQ(app::FirstPhrase("\n\n  “look up”\nsecond line"), "look up");
  EXPECT_EQ(app::FirstPhrase("in\t the   \u00a0 end."), "in the end");
  EXPECT_EQ(app::FirstPhrase("-ness"), "-ness");  // the affix's hyphen stays
  EXPECT_EQ(app::FirstPhrase("(İstanbul)"), "İstanbul");
  EXPECT_EQ(app::FirstPhrase("\r\n...\r\n"), "");
  EXPECT_EQ(app::FirstPhrase(""), "");
}

TEST(Selection, AtMostSixtyFourCharactersCutBetweenWords) {
  const QString words = QString("lorem ").repeated(20);  // 120 characters
  const QString cut = app::FirstPhrase(words);
  EXPECT_LE(cut.size(), app::kMaxSelectionChars);
  EXPECT_EQ(cut, QString("lorem ").repeated(10).trimmed());  // 59 characters, no half word
  // One long word is cut hard; a character outside the BMP counts once and
  // is never split into half a surrogate pair.
  EXPECT_EQ(app::FirstPhrase(QString(100, u'ğ')), QString(64, u'ğ'));
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // U+1F600
  const QString many = emoji.repeated(70);
  const QString keptEmoji = app::FirstPhrase(QString("a") + many);
  EXPECT_EQ(keptEmoji.toUcs4().size(), 64);
  EXPECT_FALSE(keptEmoji.back().isHighSurrogate());
}

TEST(LowerCase, TurkishAndEnglishRulesForTheDottedAndDotlessI) {
  EXPECT_EQ(app::LowerCased("IŞIK", true), "ışık");
  EXPECT_EQ(app::LowerCased("İSTANBUL", true), "istanbul");
  EXPECT_EQ(app::LowerCased(QString("I\u0307S"), true), "is");  // decomposed İ
  EXPECT_EQ(app::LowerCased("ICE", false), "ice");
  EXPECT_EQ(app::LowerCased("ÇAĞ", true), "çağ");
  // The headwords' language first, then the other one's, each form once.
  const std::vector<QString> turkish = app::LookupCandidates("KAPI", true);
  EXPECT_EQ(turkish, (std::vector<QString>{"KAPI", "kapı", "kapi"}));
  const std::vector<QString> english = app::LookupCandidates("Ice", false);
  EXPECT_EQ(english, (std::vector<QString>{"Ice", "ice", "ıce"}));
  EXPECT_EQ(app::LookupCandidates("book", false), std::vector<QString>{"book"});
}

TEST(CommandLine, WordsSelectionHelpVersionAndWrongUsage) {
  using Mode = app::TCommandLine::Mode;
  EXPECT_EQ(app::ParseCommandLine({}).mode, Mode::Start);
  const auto words = app::ParseCommandLine({"look", "up"});
  EXPECT_EQ(words.mode, Mode::Word);
  EXPECT_EQ(words.word, "look up");
  const auto dashed = app::ParseCommandLine({"--", "-ness"});
  EXPECT_EQ(dashed.mode, Mode::Word);
  EXPECT_EQ(dashed.word, "-ness");
  EXPECT_EQ(app::ParseCommandLine({"--selection"}).mode, Mode::Selection);
  EXPECT_EQ(app::ParseCommandLine({"--help"}).mode, Mode::Help);
  const auto unknown = app::ParseCommandLine({"--frobnicate"});
  EXPECT_EQ(unknown.mode, Mode::Wrong);
  EXPECT_NE(unknown.error.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(app::ParseCommandLine({"--selection", "dog"}).mode, Mode::Wrong);
  EXPECT_EQ(app::ParseCommandLine({"", ""}).mode, Mode::Wrong);
  EXPECT_EQ(app::ParseCommandLine({"--version"}).mode, Mode::Version);
  EXPECT_EQ(app::ParseCommandLine({"-V"}).mode, Mode::Version);
  EXPECT_EQ(app::ParseCommandLine({"-h"}).mode, Mode::Help);
  EXPECT_EQ(app::ParseCommandLine({"dog", "--help"}).mode, Mode::Help);
  // An unknown short option is named as given; a switch takes no value.
  const auto shortUnknown = app::ParseCommandLine({"-x", "dog"});
  EXPECT_EQ(shortUnknown.mode, Mode::Wrong);
  EXPECT_EQ(shortUnknown.error, "unknown option -x");
  EXPECT_EQ(app::ParseCommandLine({"--selection=yes"}).mode, Mode::Wrong);
  // After "--" even --version is a word.
  const auto late = app::ParseCommandLine({"--", "--version"});
  EXPECT_EQ(late.mode, Mode::Word);
  EXPECT_EQ(late.word, "--version");
}

class LookUpWord : public WindowFixture {};

TEST_F(LookUpWord, TheWordGoesIntoTheSearchBoxAndLowerCaseIsTriedWhenItFindsNothing) {
  MakeDictionaries();
  Start();
  ASSERT_EQ(state_.currentLanguage, "Tur");  // English headwords
  window_->LookUpWord("book");
  EXPECT_EQ(window_->Edit1->text(), "book");
  EXPECT_EQ(Shown(), "book");
  window_->LookUpWord("DOOR");
  EXPECT_EQ(window_->Edit1->text(), "door");
  EXPECT_EQ(Shown(), "door");
  // A capital that is in the table is found as given.
  window_->LookUpWord("Istanbul");
  EXPECT_EQ(window_->Edit1->text(), "Istanbul");
  EXPECT_EQ(Shown(), "Istanbul");
  // Nothing found in any case: the word stays as given, the entry shown stays.
  window_->LookUpWord("Zebra");
  EXPECT_EQ(window_->Edit1->text(), "Zebra");
  EXPECT_EQ(Shown(), "Istanbul");
  // The same word again searches again, though the box already holds it.
  window_->DBGrid1->setFocus();
  dataModule_->SozlukTB.First();
  ASSERT_EQ(Shown(), "apple");
  window_->LookUpWord("Zebra");
  window_->LookUpWord("cat");
  window_->LookUpWord("cat");
  EXPECT_EQ(Shown(), "cat");
  dataModule_->SozlukTB.First();
  window_->LookUpWord("cat");
  EXPECT_EQ(Shown(), "cat");
  EXPECT_TRUE(window_->Edit1->hasFocus());
}

TEST_F(LookUpWord, TurkishHeadwordsAreLowerCasedTheTurkishWay) {
  MakeDictionaries();
  Start();
  window_->DilDegis->trigger();
  ASSERT_EQ(state_.currentLanguage, "Eng");  // Turkish headwords
  window_->LookUpWord("KAPI");
  EXPECT_EQ(window_->Edit1->text(), "kapı");
  EXPECT_EQ(Shown(), "kapı");
  window_->LookUpWord("KİTAP");
  EXPECT_EQ(Shown(), "kitap");
}

TEST_F(LookUpWord, AMinimisedWindowIsRestored) {
  MakeDictionaries();
  Start();
  window_->showMinimized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_->isMinimized(); }));
  window_->LookUpWord("dog");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->isMinimized(); }));
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Shown(), "dog");
}

// The running copy's server on a real socket, driven by the event loop.
class HandOverServer : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/lugatim-server-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/";
    path_ = dir_ + "Lugatim_Kelime";
    auto listener = std::make_unique<platform::THandOverListener>(path_);
    ASSERT_TRUE(listener->Listen());
    server_ = std::make_unique<app::THandOverServer>(
        std::move(listener),
        [this](const platform::THandOverRequest& request) { words_.push_back(request.word); });
  }
  void TearDown() override {
    server_.reset();
    std::filesystem::remove_all(dir_);
  }
  // Sends bytes from a thread while the event loop runs; the sender's outcome.
  platform::THandOverResult Send(const std::string& bytes) {
    std::atomic<bool> done = false;
    platform::THandOverResult result{};
    std::thread sender([&] {
      result = platform::SendHandOver(path_, bytes, 10000);
      done = true;
    });
    // The sender gives up by itself after its own time-out at the latest.
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 15000));
    sender.join();
    return result;
  }
  std::string dir_;
  std::string path_;
  std::vector<std::string> words_;
  std::unique_ptr<app::THandOverServer> server_;
};

TEST_F(HandOverServer, WellFormedRequestsAreAnsweredAndEverythingElseIsDropped) {
  EXPECT_EQ(Send("LOOKUP kitap\n"), platform::THandOverResult::Delivered);
  EXPECT_EQ(Send("LOOKUP dog\nrm -rf /\n"), platform::THandOverResult::Refused);
  EXPECT_EQ(Send("\x01\x02\x03 garbage"), platform::THandOverResult::Refused);
  // Oversized: dropped as soon as it passes the bound, never read to its end.
  EXPECT_EQ(Send("LOOKUP " + std::string(100000, 'a') + "\n"), platform::THandOverResult::Refused);
  EXPECT_EQ(Send("LOOKUP İstanbul\nTOKEN abc\n"), platform::THandOverResult::Delivered);
  EXPECT_EQ(words_, (std::vector<std::string>{"kitap", "İstanbul"}));
}

TEST_F(HandOverServer, ASilentConnectionIsClosedAfterItsTimeAndOthersAreServedMeanwhile) {
  // A client that connects and sends nothing does not hold the others up.
  const int idle = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path_.c_str());
  ASSERT_EQ(::connect(idle, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(Send("LOOKUP dog\n"), platform::THandOverResult::Delivered);
  EXPECT_EQ(words_, std::vector<std::string>{"dog"});
  // The server closes the silent one: its read sees the end.
  std::atomic<bool> closed = false;
  std::thread reader([&] {
    char c;
    closed = recv(idle, &c, 1, 0) == 0;
  });
  // EXPECT, not ASSERT: the reader must still be joined.
  EXPECT_TRUE(QTest::qWaitFor([&] { return closed.load(); },
                              app::THandOverServer::kRequestTimeoutMs + 10000));
  reader.join();
  close(idle);
}
