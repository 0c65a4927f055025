// The pointer on the surface: hot areas, radio groups, track bars, the
// window move, and the notifications.

#include <algorithm>
#include <cstdint>

#include "base/IntText.h"
#include "skin/SkinForm.h"

namespace lugatim::skin {
namespace {

bool Holds(const HotAreaInfoRec& a, int x, int y) {
  return x >= a.X && x < int64_t{a.X} + a.Width && y >= a.Y && y < int64_t{a.Y} + a.Height;
}

bool Holds(int64_t left, int64_t top, int64_t right, int64_t bottom, int x, int y) {
  return x >= left && x < right && y >= top && y < bottom;
}

int HitTest(const THotAreaInfoArray& areas, int x, int y) {
  for (size_t i = 0; i < areas.size(); ++i)
    if (Holds(areas[i], x, y)) return static_cast<int>(i);
  return -1;
}

int32_t Extent(const TrackBarInfoRec& bar) {
  return bar.Horizontal ? bar.ThumbWidth : bar.ThumbHeight;
}
int64_t Range(const TrackBarInfoRec& bar) {
  return int64_t{bar.Length} - Extent(bar);
}

// A pointer offset computed in 64 bits, within int.
int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int TSkinForm::IndexOfHotArea(const std::string& id) const {
  for (size_t i = 0; i < hotAreas_.size(); ++i)
    if (hotAreas_[i].ID == id) return static_cast<int>(i);
  return -1;
}

std::string TSkinForm::HotAreaIDAt(int index) const {
  if (index < 0 || index >= static_cast<int>(hotAreas_.size())) return std::string();
  return hotAreas_[static_cast<size_t>(index)].ID;
}

void TSkinForm::SetHotAreaChecked(const std::string& id, bool value) {
  const int i = IndexOfHotArea(id);
  if (i == -1) return;
  hotAreas_[static_cast<size_t>(i)].Checked = value;
  PaintSkin();
}

void TSkinForm::SelectInGroup(int index) {
  const HotAreaInfoRec& area = hotAreas_.at(static_cast<size_t>(index));
  const QString group = QString::fromStdString(area.Group);
  int g = -1;
  for (int i = 0; i < groups_.Count(); ++i)
    if (QString::fromStdString(groups_.Strings(i)).compare(group, Qt::CaseInsensitive) == 0) {
      g = i;
      break;
    }
  if (g < 0) return;
  const int32_t previous = base::StrToInt(groupSelection_.Strings(g));
  std::vector<std::string> selection = groupSelection_.Lines();
  selection[static_cast<size_t>(g)] = std::to_string(index);
  groupSelection_ = base::TStringList(std::move(selection));
  if (previous != -1) {
    SetHotAreaChecked(HotAreaIDAt(previous), false);
    CopyFrom(mouseUpBitmap_, AreaRect(hotAreas_[static_cast<size_t>(index)]));
  }
}

void TSkinForm::UpdateTrackBar(TrackBarInfoRec& bar) {
  if (bar.Position < bar.MinPosition) bar.Position = bar.MinPosition;
  if (bar.Position > bar.MaxPosition) bar.Position = bar.MaxPosition;
  bar.Position = static_cast<uint8_t>(bar.Position % 101);
  bar.Offset = static_cast<int32_t>(int64_t{bar.Position} * Range(bar) / 100);
}

// Offset from a pointer coordinate, then the position it stands for, then
// the thumb snapped to that whole position.
void TSkinForm::ApplyPointerOffset(TrackBarInfoRec& bar, int offset) {
  const int64_t range = Range(bar);
  if (offset < 0) offset = 0;
  if (offset > range) offset = ToInt(range);
  bar.Offset = offset;
  if (range == 0) throw EDivByZero();
  bar.Position = static_cast<uint8_t>(int64_t{bar.Offset} * 100 / range);
  UpdateTrackBar(bar);
  if (OnTrackBarNotify) OnTrackBarNotify(bar.ID, bar.Position);
  PaintSkin();
}

void TSkinForm::TrackBarPress(int x, int y) {
  for (size_t i = 0; i < trackBars_.size(); ++i) {
    TrackBarInfoRec& bar = trackBars_[i];
    const bool inThumb =
        bar.Horizontal ? Holds(int64_t{bar.X} + bar.Offset, bar.Y,
                               int64_t{bar.X} + bar.Offset + bar.ThumbWidth,
                               int64_t{bar.Y} + bar.ThumbHeight, x, y)
                       : Holds(bar.X, int64_t{bar.Y} + bar.Offset, int64_t{bar.X} + bar.ThumbWidth,
                               int64_t{bar.Y} + bar.Offset + bar.ThumbHeight, x, y);
    if (inThumb) {
      currentID_ = bar.ID;
      trackDragging_ = true;
      activeTrack_ = static_cast<int32_t>(i);
      dragDelta_ =
          ToInt(bar.Horizontal ? int64_t{x} - bar.X - bar.Offset : int64_t{y} - bar.Y - bar.Offset);
      return;
    }
    const bool inTrack = bar.Horizontal
                             ? Holds(bar.X, bar.Y, int64_t{bar.X} + bar.Length,
                                     int64_t{bar.Y} + bar.ThumbHeight, x, y)
                             : Holds(bar.X, bar.Y, int64_t{bar.X} + bar.ThumbWidth,
                                     int64_t{bar.Y} + bar.Length - bar.ThumbHeight, x, y);
    if (inTrack) {
      currentID_ = bar.ID;
      const int64_t along = bar.Horizontal ? int64_t{x} - bar.X : int64_t{y} - bar.Y;
      ApplyPointerOffset(bar, ToInt(along - Extent(bar) / 2));
      return;
    }
  }
}

void TSkinForm::TrackBarMove(int x, int y) {
  if (trackDragging_) {
    if (activeTrack_ < 0 || activeTrack_ >= static_cast<int32_t>(trackBars_.size())) return;
    TrackBarInfoRec& bar = trackBars_[static_cast<size_t>(activeTrack_)];
    const int along = bar.Horizontal ? x : y;
    const int32_t start = bar.Horizontal ? bar.X : bar.Y;
    if (along < start || along > int64_t{start} + bar.Length) return;
    currentID_ = bar.ID;
    ApplyPointerOffset(bar, ToInt(int64_t{along} - start - dragDelta_));
    return;
  }
  for (const TrackBarInfoRec& bar : trackBars_) {
    const bool inHint = bar.Horizontal ? Holds(bar.X, bar.Y, int64_t{bar.X} + bar.Length,
                                               int64_t{bar.Y} + bar.ThumbHeight, x, y)
                                       : Holds(bar.X, bar.Y, int64_t{bar.X} + bar.ThumbWidth,
                                               int64_t{bar.Y} + bar.Length, x, y);
    if (inHint) hint_ = bar.Hint;
  }
}

void TSkinForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  currentID_.clear();
  hotPressed_ = false;
  trackDragging_ = false;
  activeTrack_ = -1;
  if (button == TMouseButton::mbLeft) {
    const int i = HitTest(hotAreas_, x, y);
    if (i >= 0) {
      HotAreaInfoRec& area = hotAreas_[static_cast<size_t>(i)];
      CopyFrom(mouseDownBitmap_, AreaRect(area));
      hotPressed_ = true;
      area.Pressed = true;
      currentID_ = area.ID;
      if (!area.Group.empty()) SelectInGroup(i);
      if (area.Switch) {
        area.Checked = !area.Checked;
        CopyFrom(area.Checked ? mouseDownBitmap_ : mouseUpBitmap_, AreaRect(area));
      }
    }
    TrackBarPress(x, y);
    if (!hotPressed_ && !trackDragging_ && StartWindowMove()) {
      // The window manager moves the window now; the notification follows
      // when the move has ended.
      heldDown_ = HeldDown{currentID_, button, shift, x, y};
      return;
    }
  }
  if (OnMouseDownNotify) OnMouseDownNotify(currentID_, button, shift, x, y);
}

void TSkinForm::MouseMove(TShiftState shift, int x, int y) {
  if (needsRepaint_) PaintSkin();
  hint_.clear();
  hoverBefore_ = hoverNow_;
  currentID_.clear();
  TrackBarMove(x, y);
  for (HotAreaInfoRec& area : hotAreas_) {
    if (Holds(area, x, y)) {
      hoverNow_ = true;
      currentID_ = area.ID;
      if (hoverEnabled_) CopyFrom(mouseOnBitmap_, AreaRect(area));
      hint_ = area.Hint;
      break;
    }
    area.Pressed = false;
    hoverNow_ = false;
  }
  if (hoverBefore_ != hoverNow_) needsRepaint_ = true;
  if (OnMouseMoveNotify) OnMouseMoveNotify(currentID_, shift, x, y);
}

void TSkinForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  currentID_.clear();
  hotPressed_ = false;
  trackDragging_ = false;
  activeTrack_ = -1;
  const int i = HitTest(hotAreas_, x, y);
  if (i >= 0) {
    currentID_ = hotAreas_[static_cast<size_t>(i)].ID;
    hotAreas_[static_cast<size_t>(i)].Pressed = false;
  }
  PaintSkin();
  if (OnMouseUpNotify) OnMouseUpNotify(currentID_, button, shift, x, y);
}

}  // namespace lugatim::skin
