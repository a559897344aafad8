#pragma once

#include "brand/PictureReader.h"

namespace quorvane {

// The windows' own decoders: Qt's image readers and its animation player,
// called as the program calls them for each use.
class QtPictureReader final : public PictureReader {
 public:
  std::string Trouble(PictureUse use, std::string_view bytes,
                      std::string_view format) const override;
  bool KnowsFormat(std::string_view format) const override;
};

}  // namespace quorvane
