#include "publisher/NewsRequest.h"

#include "web/RequestUrl.h"

namespace quorvane {

std::string NewsScriptUrl(std::string_view baseUrl, std::string_view script) {
  std::string url(baseUrl);
  if (url.empty() || url.back() != '/') url += '/';
  url += script;
  return EncodeUnsendableBytes(url);
}

std::vector<FormField> NewsFormFields(const std::string& publisherId, const std::string& brandCode,
                                      const std::string& productType,
                                      const std::string& selectorName,
                                      const std::string& selectorValue, const std::string& target) {
  return {
      {"memusername", publisherId},  {"prodcode", brandCode}, {"prodtype", productType},
      {selectorName, selectorValue}, {"newstarget", target},  {"something", ""},
  };
}

}  // namespace quorvane
