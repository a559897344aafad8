#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// How the program shows a picture of the brand folder.
enum class PictureUse {
  Still,      // a banner: decoded in the format its name's extension names
  Animation,  // a banner whose name holds ".gif": played as an animation
  Icon,       // main.ico: every picture of the file becomes the window icon
  Page,       // a picture a welcome page names: its format found from its bytes
};

// Decodes pictures the way the program's windows do. The check runs on the
// logic side; the decoders are the windowing toolkit's, behind this.
class PictureReader {
 public:
  virtual ~PictureReader() = default;

  // Empty when `bytes` show as `use` wants them (`format`: the lower-case
  // extension for Still, may be empty to detect); otherwise why not.
  virtual std::string Trouble(PictureUse use, std::string_view bytes,
                              std::string_view format) const = 0;

  // True when the program can show still pictures of this lower-case
  // format name ("png", "jpg", ...).
  virtual bool KnowsFormat(std::string_view format) const = 0;
};

}  // namespace quorvane
