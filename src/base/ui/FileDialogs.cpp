#include "base/ui/FileDialogs.h"

#include <QFileDialog>
#include <deque>

namespace quorvane {

namespace {

struct Answer {
  QString name;
  QString filter;
};

struct TestState {
  std::deque<Answer> answers;
  std::vector<FileDialogs::Request> requests;
};

TestState& State() {
  static TestState state;
  return state;
}

// Records the request; true with `answer` set when a test scripted it.
bool Scripted(const FileDialogs::Request& request, Answer& answer) {
  auto& state = State();
  state.requests.push_back(request);
  if (state.answers.empty()) return false;
  answer = state.answers.front();
  state.answers.pop_front();
  return true;
}

}  // namespace

QString FileDialogs::GetOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter) {
  Answer answer;
  if (Scripted({false, title, start, filter}, answer)) return answer.name;
  return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QString FileDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter, QString* selectedFilter) {
  Answer answer;
  if (Scripted({true, title, start, filter}, answer)) {
    // A dialog left on its first type reports that one.
    if (selectedFilter != nullptr)
      *selectedFilter =
          answer.filter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : answer.filter;
    return answer.name;
  }
  QString chosenFilter;
  const QString name = QFileDialog::getSaveFileName(parent, title, start, filter, &chosenFilter,
                                                    QFileDialog::DontConfirmOverwrite);
  if (selectedFilter != nullptr) *selectedFilter = chosenFilter;
  return name;
}

void FileDialogs::SetNextFileName(const QString& name, const QString& filter) {
  State().answers.push_back({name, filter});
}

const std::vector<FileDialogs::Request>& FileDialogs::Requests() {
  return State().requests;
}

void FileDialogs::ResetTestState() {
  State().answers.clear();
  State().requests.clear();
}

}  // namespace quorvane
