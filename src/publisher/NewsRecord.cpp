#include "publisher/NewsRecord.h"

#include <vector>

#include "base/TextRoutines.h"

namespace quorvane {

NewsRecord SplitNewsRecord(std::string_view record) {
  std::vector<std::string> fields;
  SplitString('^', record, fields);
  NewsRecord result;
  if (fields.size() > 0) result.id = fields[0];
  if (fields.size() > 1) result.title = fields[1];
  if (fields.size() > 2) result.published = fields[2];
  return result;
}

}  // namespace quorvane
