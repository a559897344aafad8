#include "app/CompleteFileName.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

TEST(CompleteFileNameTest, AppendsTheExtensionUnlessTheNameHasItInAnyCase) {
  const struct {
    const char* chosen;
    const char* extension;
    const char* written;
  } cases[] = {
      {"/tmp/results", ".csv", "/tmp/results.csv"},
      {"/tmp/results.csv", ".csv", "/tmp/results.csv"},
      {"/tmp/results.CSV", ".csv", "/tmp/results.CSV"},
      {"/tmp/results.Csv", ".csv", "/tmp/results.Csv"},
      {"/tmp/results.txt", ".csv", "/tmp/results.txt.csv"},
      {"/tmp/results.", ".csv", "/tmp/results..csv"},
      {"/tmp/results.csv.bak", ".csv", "/tmp/results.csv.bak.csv"},
      {"/tmp/v1.2/results", ".csv", "/tmp/v1.2/results.csv"},
      {"/tmp/.csv", ".csv", "/tmp/.csv"},
      {"/d/results", ".xlsx", "/d/results.xlsx"},
      {"/d/results.xlsx", ".xlsx", "/d/results.xlsx"},
      {"/d/results.XLSX", ".xlsx", "/d/results.XLSX"},
      {"/d/results.csv", ".xlsx", "/d/results.csv.xlsx"},
      {"/d.xlsx/results", ".xlsx", "/d.xlsx/results.xlsx"},
      {"/d/.xlsx", ".xlsx", "/d/.xlsx"},
      {"/d/results.xls", ".xlsx", "/d/results.xls.xlsx"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompleteFileName(c.chosen, c.extension), c.written)
        << c.chosen << " as " << c.extension;
}

TEST(CompleteFileNameTest, ATypedExtensionChoosesTheFormWhateverTypeTheDialogOffered) {
  using T = ResultsFileType;
  const struct {
    const char* typed;
    T offered;
    const char* written;
    T form;
  } cases[] = {
      {"/d/r", T::kCsv, "/d/r.csv", T::kCsv},
      {"/d/r", T::kWorkbook, "/d/r.xlsx", T::kWorkbook},
      {"/d/r.xlsx", T::kCsv, "/d/r.xlsx", T::kWorkbook},
      {"/d/r.XLSX", T::kCsv, "/d/r.XLSX", T::kWorkbook},
      {"/d/r.csv", T::kWorkbook, "/d/r.csv", T::kCsv},
      {"/d/r.Csv", T::kCsv, "/d/r.Csv", T::kCsv},
      {"/d/r.txt", T::kCsv, "/d/r.txt.csv", T::kCsv},
      {"/d/r.txt", T::kWorkbook, "/d/r.txt.xlsx", T::kWorkbook},
      {"/d/r.xls", T::kWorkbook, "/d/r.xls.xlsx", T::kWorkbook},
      {"/d.xlsx/r", T::kCsv, "/d.xlsx/r.csv", T::kCsv},
  };
  for (const auto& c : cases) {
    const SaveTarget target = ChooseSaveTarget(c.typed, c.offered);
    EXPECT_EQ(target.path, c.written) << c.typed;
    EXPECT_EQ(target.type, c.form) << c.typed;
  }
}

}  // namespace
