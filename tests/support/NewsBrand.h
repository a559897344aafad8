#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "settings/BrandSettings.h"
#include "sim/Scenario.h"
#include "sim/Simulator.h"

namespace quorvane {

// A branded copy and the news service that serves it, for the tests of
// the news commands. The publisher id and product code are named once and
// reach both sides: the copy's brand (in memory, or as the encrypted
// settings file of its program folder) and the simulated news service,
// which refuses requests that carry others. Where a raw server plays the
// service instead, only the brand side is used.
class NewsBrand {
 public:
  // A Gold copy of publisher `publisherId` with product code `productCode`.
  NewsBrand(std::string publisherId, std::string productCode);

  NewsBrand& Type(std::string brandType);
  NewsBrand& Name(std::string applicationName);
  // A Master publisher id besides the Gold one; its news is at the second
  // address given to Settings.
  NewsBrand& Master(std::string publisherId);
  // The last-news marker the settings file holds.
  NewsBrand& Marker(std::string lastNewsId);
  // The product type the service insists on (BM, BP or BG); unset, any.
  NewsBrand& ProductType(std::string productType);
  NewsBrand& Items(std::vector<sim::NewsItem> items);

  // The simulator's scenario: news for this copy and no other.
  sim::Scenario Scenario() const;
  // Gives `sim` that scenario and starts it on a free port.
  void Serve(sim::Simulator& sim) const;

  // The brand as the copy holds it once loaded, its Gold news at
  // `goldNewsBase` (and the Master news at `masterNewsBase`).
  BrandSettings Settings(const std::string& goldNewsBase,
                         const std::string& masterNewsBase = "") const;
  // Writes the copy's settings file, the news at the same addresses, as
  // the encrypted dbsettings.dat of `programFolder`.
  void WriteSettingsFile(const std::filesystem::path& programFolder,
                         const std::string& goldNewsBase,
                         const std::string& masterNewsBase = "") const;

 private:
  std::string publisherId_;
  std::string productCode_;
  std::string type_ = "Gold";
  std::string name_;
  std::string masterPublisherId_;
  std::string marker_;
  sim::NewsScenario service_;
};

}  // namespace quorvane
