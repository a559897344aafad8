#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// One record of the news list: id, title and published date joined by "^".
// Fields after the third are ignored; missing ones are empty.
struct NewsRecord {
  std::string id;
  std::string title;
  std::string published;
};

NewsRecord SplitNewsRecord(std::string_view record);

}  // namespace quorvane
