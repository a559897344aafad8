#include "base/ui/CrashHandler.h"

#include <cstdio>
#include <exception>

#include "base/ui/MessageBox.h"

namespace quorvane {

namespace {

Messages*& Target() {
  static Messages* target = nullptr;
  return target;
}

std::string Describe(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

void CrashHandler::SetMessages(Messages* messages) {
  Target() = messages;
}

Messages* CrashHandler::CurrentMessages() {
  return Target();
}

std::string CrashHandler::ReportText(const std::string& what) {
  return "An unexpected error occurred:\n" + what + "\n\nThe program will continue.";
}

void CrashHandler::ReportCurrentException() noexcept {
  try {
    const std::string text = ReportText(Describe(std::current_exception()));
    if (Messages* messages = Target()) {
      messages->Warning(text);
    } else {
      MessageBox(nullptr).Warning(text);
    }
  } catch (...) {
    // Reporting itself failed (out of memory, say): the last resort is the
    // terminal, and the program still runs on.
    std::fputs("Quorvane: an unexpected error could not be reported\n", stderr);
  }
}

}  // namespace quorvane
