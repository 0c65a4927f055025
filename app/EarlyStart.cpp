#include "app/EarlyStart.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <system_error>

namespace lugatim::app {

void TEarlyStart::THeldMessages::ShowMessage(const std::string& text) {
  data::IMessageSink* to = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (to_ == nullptr) {
      held_.push_back(text);
      return;
    }
    to = to_;
  }
  to->ShowMessage(text);
}

void TEarlyStart::THeldMessages::Release(data::IMessageSink& to) {
  std::vector<std::string> held;
  {
    std::lock_guard lock(mutex_);
    to_ = &to;
    held.swap(held_);
  }
  for (const std::string& text : held) to.ShowMessage(text);
}

TEarlyStart::TEarlyStart() : fonts_(fontsRead_.get_future()), dataModule_(created_.get_future()) {
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread: nothing is done early.
  }
}

TEarlyStart::~TEarlyStart() {
  if (thread_.joinable()) thread_.join();
}

void TEarlyStart::Run() {
  // fontconfig is thread-safe, and loads its configuration once per process:
  // the toolkit's own call later returns at once.
  FcInit();
  fontsRead_.set_value();
  try {
    created_.set_value(std::make_unique<data::TDModuleFrm>(messages_));
  } catch (...) {
    created_.set_exception(std::current_exception());
  }
}

void TEarlyStart::BeforeApplication() {
  if (!thread_.joinable()) return;
  if (std::getenv("DESKTOP_STARTUP_ID") == nullptr &&
      std::getenv("XDG_ACTIVATION_TOKEN") == nullptr)
    return;
  fonts_.wait();
  dataModule_.wait();
}

void TEarlyStart::WaitForFonts() {
  if (thread_.joinable()) fonts_.wait();
}

std::unique_ptr<data::TDModuleFrm> TEarlyStart::TakeDataModule(data::IMessageSink& messages) {
  if (!thread_.joinable()) {
    messages_.Release(messages);
    return std::make_unique<data::TDModuleFrm>(messages_);
  }
  dataModule_.wait();
  messages_.Release(messages);
  return dataModule_.get();
}

}  // namespace lugatim::app
