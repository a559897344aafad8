#pragma once

#include <string>

#include "app/ui/ClickLabel.h"

namespace quorvane {

// A label of the link bar: underlined 12-pixel text (larger with a larger
// user font) with the hand pointer, drawn blue while the pointer is over it
// (the palette's link colour on a dark desktop), carrying a web address
// (8-bit).
class LinkLabel : public ClickLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(QWidget* parent = nullptr);

  const std::string& Address() const { return address_; }
  void SetAddress(std::string address) { address_ = std::move(address); }
  bool Hovered() const { return hovered_; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void SetHovered(bool hovered);

  std::string address_;
  bool hovered_ = false;
};

}  // namespace quorvane
