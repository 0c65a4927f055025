#include "app/CommandLine.h"

#include <chrono>
#include <thread>

#include <QCommandLineParser>
#include <QStringList>

#include "platform/HandOver.h"
#include "platform/SingleInstance.h"

namespace lugatim::app {

const char* const kUsage =
    "Usage: lugatim [WORD...]\n"
    "       lugatim --selection\n"
    "Without arguments: start Lugatim (a copy already running is left alone).\n"
    "WORD...      look the words up, joined by blanks, in the window already open\n"
    "             (brought to the front), else in a new one\n"
    "--selection  look up the text selected on the desktop (else the clipboard):\n"
    "             its first word or phrase, at most 64 characters\n"
    "--help       this text\n"
    "--version    the version\n"
    "--           what follows is words, even when it starts with '-'\n";

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  QCommandLineParser parser;
  // "-selection" is the long option, not -s -e -l ...: one way to spell each.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "this text");
  const QCommandLineOption version({"V", "version"}, "the version");
  const QCommandLineOption selection("selection", "the desktop's selected text");
  parser.addOptions({help, version, selection});
  QStringList argv{"lugatim"};
  for (const std::string& arg : args) argv << QString::fromStdString(arg);
  if (!parser.parse(argv)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      // Named as it was given: --frobnicate, -x.
      for (const std::string& arg : args) {
        if (arg == "--") break;
        const size_t dashes = arg.starts_with("--") ? 2 : 1;
        const std::string name = arg.substr(dashes, arg.find('=') - dashes);
        if (arg.starts_with('-') && unknown.contains(QString::fromStdString(name)))
          return {TCommandLine::Mode::Wrong, {}, "unknown option " + arg.substr(0, arg.find('='))};
      }
    }
    return {TCommandLine::Mode::Wrong, {}, parser.errorText().toStdString()};
  }
  if (parser.isSet(help)) return {TCommandLine::Mode::Help, {}, {}};
  if (parser.isSet(version)) return {TCommandLine::Mode::Version, {}, {}};
  const QStringList words = parser.positionalArguments();
  if (parser.isSet(selection)) {
    if (!words.isEmpty()) return {TCommandLine::Mode::Wrong, {}, "--selection takes no words"};
    return {TCommandLine::Mode::Selection, {}, {}};
  }
  std::string joined;
  for (const QString& w : words) {
    if (w.isEmpty()) continue;
    if (!joined.empty()) joined += ' ';
    joined += w.toStdString();
  }
  if (!words.isEmpty() && joined.empty()) {
    return {TCommandLine::Mode::Wrong, {}, "the word is empty"};
  }
  if (joined.empty()) return {};
  return {TCommandLine::Mode::Word, joined, {}};
}

TStartDecision TakeLockOrHandOver(const std::string& requestBytes, int timeoutMs) {
  const std::string socketPath = platform::HandOverSocketPath();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (platform::AcquireSingleInstance()) return TStartDecision::RunHere;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    // Not taken: nobody listens yet (a copy still starting), or the copy is
    // ending or busy with other senders; either clears up, or the lock frees.
    if (platform::SendHandOver(socketPath, requestBytes,
                               static_cast<int>(std::max<long long>(left.count(), 1))) ==
        platform::THandOverResult::Delivered) {
      return TStartDecision::HandedOver;
    }
    if (std::chrono::steady_clock::now() >= deadline) return TStartDecision::NotTaken;
    // The lock's holder binds its socket right after taking the lock.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace lugatim::app
