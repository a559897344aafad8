#pragma once

#include <QByteArray>

#include "app/ui/ClickLabel.h"

class QPixmap;

namespace quorvane {

// A banner control: a clickable label that takes the size of what it
// shows, either a still picture or an animated GIF that runs at once.
class BannerLabel : public ClickLabel {
  Q_OBJECT

 public:
  explicit BannerLabel(QWidget* parent = nullptr);

  void ShowPicture(const QPixmap& picture);
  // The GIF's bytes are kept in memory, so its file may go away afterwards.
  // False when the data is not an animation Qt can play.
  bool ShowAnimation(const QByteArray& gif);

  // A banner whose click opens an address: the hand pointer, a place in
  // the Tab order (Enter or Space opens it) and the role of a link.
  void SetLeadsSomewhere();
};

}  // namespace quorvane
