#pragma once
// A data link that calls back on every event of its data source, for
// controls that are composed rather than derived from a link.

#include <functional>

#include "data/Table.h"

namespace lugatim::widgets {

class TFieldDataLink : public data::TDataLink {
 public:
  explicit TFieldDataLink(std::function<void(data::TDataEvent)> onEvent)
      : onEvent_(std::move(onEvent)) {}

 protected:
  void DataEvent(data::TDataEvent event) override {
    if (onEvent_) onEvent_(event);
  }

 private:
  std::function<void(data::TDataEvent)> onEvent_;
};

}  // namespace lugatim::widgets
