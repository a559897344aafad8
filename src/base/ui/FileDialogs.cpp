#include "base/ui/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>
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

namespace {

// The type a dialog offers first: the one asked for when the list has it,
// else the list's first.
QString Offered(const QString& filter, const QString* selectedFilter) {
  const QStringList types = filter.split(QStringLiteral(";;"));
  if (selectedFilter != nullptr && types.contains(*selectedFilter)) return *selectedFilter;
  return types.value(0);
}

// A scripted answer: the name, and the type chosen (the offered one unless
// the script names another).
bool Answered(bool save, const QString& title, const QString& start, const QString& filter,
              QString* selectedFilter, QString& name) {
  const QString offered = Offered(filter, selectedFilter);
  Answer answer;
  if (!Scripted({save, title, start, filter, offered}, answer)) return false;
  if (selectedFilter != nullptr)
    *selectedFilter = answer.filter.isEmpty() ? offered : answer.filter;
  name = answer.name;
  return true;
}

}  // namespace

QString FileDialogs::GetOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter, QString* selectedFilter) {
  QString name;
  if (Answered(false, title, start, filter, selectedFilter, name)) return name;
  QString chosenFilter = Offered(filter, selectedFilter);
  name = QFileDialog::getOpenFileName(parent, title, start, filter, &chosenFilter);
  if (selectedFilter != nullptr) *selectedFilter = chosenFilter;
  return name;
}

QString FileDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter, QString* selectedFilter) {
  QString name;
  if (Answered(true, title, start, filter, selectedFilter, name)) return name;
  QString chosenFilter = Offered(filter, selectedFilter);
  name = QFileDialog::getSaveFileName(parent, title, start, filter, &chosenFilter,
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
