#include "support/NewsBrand.h"

#include <utility>

#include "support/SettingsText.h"

namespace quorvane {

NewsBrand::NewsBrand(std::string publisherId, std::string productCode)
    : publisherId_(std::move(publisherId)), productCode_(std::move(productCode)) {
  service_.publisherId = publisherId_;
  service_.productCode = productCode_;
}

NewsBrand& NewsBrand::Type(std::string brandType) {
  type_ = std::move(brandType);
  return *this;
}

NewsBrand& NewsBrand::Name(std::string applicationName) {
  name_ = std::move(applicationName);
  return *this;
}

NewsBrand& NewsBrand::Master(std::string publisherId) {
  masterPublisherId_ = std::move(publisherId);
  return *this;
}

NewsBrand& NewsBrand::Marker(std::string lastNewsId) {
  marker_ = std::move(lastNewsId);
  return *this;
}

NewsBrand& NewsBrand::ProductType(std::string productType) {
  service_.productType = std::move(productType);
  return *this;
}

NewsBrand& NewsBrand::Items(std::vector<sim::NewsItem> items) {
  service_.items = std::move(items);
  return *this;
}

sim::Scenario NewsBrand::Scenario() const {
  sim::Scenario scenario;
  scenario.news = service_;
  return scenario;
}

void NewsBrand::Serve(sim::Simulator& sim) const {
  sim.SetScenario(Scenario());
  sim.Start();
}

BrandSettings NewsBrand::Settings(const std::string& goldNewsBase,
                                  const std::string& masterNewsBase) const {
  BrandSettings brand;
  brand.ApplicationName = name_;
  brand.BranderType = type_;
  brand.BranderCode = productCode_;
  brand.GoldPublID = publisherId_;
  brand.GoldNewsBaseURL = goldNewsBase;
  if (!masterPublisherId_.empty()) {
    brand.MasterPublID = masterPublisherId_;
    brand.MasterNewsBaseURL = masterNewsBase;
  }
  return brand;
}

void NewsBrand::WriteSettingsFile(const std::filesystem::path& programFolder,
                                  const std::string& goldNewsBase,
                                  const std::string& masterNewsBase) const {
  std::string text;
  if (!name_.empty()) text += Tag("ApplicationName", name_);
  text += Tag("BranderCode", productCode_) + Tag("BranderType", type_) +
          Tag("GoldNewsBaseURL", goldNewsBase) + Tag("GoldPublID", publisherId_);
  if (!masterPublisherId_.empty())
    text += Tag("MasterNewsBaseURL", masterNewsBase) + Tag("MasterPublID", masterPublisherId_);
  if (!marker_.empty()) text += Tag("LastNewsId", marker_);
  quorvane::WriteSettingsFile(programFolder, text);
}

}  // namespace quorvane
