#include "base/ui/FileDialogs.h"

#include <QFileDialog>
#include <deque>

namespace quorvane {

namespace {

struct TestState {
  std::deque<QString> names;
  std::vector<FileDialogs::Request> requests;
};

TestState& State() {
  static TestState state;
  return state;
}

// Records the request; true with `name` set when a test scripted the answer.
bool Scripted(const FileDialogs::Request& request, QString& name) {
  auto& state = State();
  state.requests.push_back(request);
  if (state.names.empty()) return false;
  name = state.names.front();
  state.names.pop_front();
  return true;
}

}  // namespace

QString FileDialogs::GetOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter) {
  QString name;
  if (Scripted({false, title, start, filter}, name)) return name;
  return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QString FileDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter) {
  QString name;
  if (Scripted({true, title, start, filter}, name)) return name;
  return QFileDialog::getSaveFileName(parent, title, start, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

void FileDialogs::SetNextFileName(const QString& name) {
  State().names.push_back(name);
}

const std::vector<FileDialogs::Request>& FileDialogs::Requests() {
  return State().requests;
}

void FileDialogs::ResetTestState() {
  State().names.clear();
  State().requests.clear();
}

}  // namespace quorvane
