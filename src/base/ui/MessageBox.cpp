#include "base/ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <deque>

#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

struct TestState {
  std::deque<MessageBox::Answer> answers;
  std::vector<MessageBox::Shown> shown;
};

TestState& State() {
  static TestState state;
  return state;
}

}  // namespace

MessageBox::MessageBox(QWidget* owner) : owner_(owner) {}

void MessageBox::Information(const std::string& text) {
  Show(Kind::Information, text);
}

bool MessageBox::Confirm(const std::string& text) {
  return Show(Kind::Confirm, text) == Answer::Ok;
}

void MessageBox::Warning(const std::string& text) {
  Show(Kind::Warning, text);
}

void MessageBox::ShowAddress(const std::string& text, const std::string& address) {
  Show(Kind::Address, text, address);
}

namespace {

// Some texts break their lines as LF CR; any pair of CR and LF, in either
// order, is one line break on screen. The recorded text stays as given.
QString DisplayText(const std::string& text) {
  QString shown = FromLocal(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace

MessageBox::Answer MessageBox::Show(Kind kind, const std::string& text,
                                    const std::string& address) {
  const QString title = owner_ ? owner_->windowTitle() : QString();
  auto& state = State();
  state.shown.push_back({kind, text, ToLocal(title), address});
  if (!state.answers.empty()) {
    const Answer answer = state.answers.front();
    state.answers.pop_front();
    return answer;
  }

  // Over the open dialog, if any, so the box never hides behind it.
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = owner_;
  QString shown = DisplayText(text);
  if (kind == Kind::Address) shown += QStringLiteral("\n\n") + FromLocal(address);
  QMessageBox box(kind == Kind::Warning ? QMessageBox::Warning : QMessageBox::Information, title,
                  shown, QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("msgMain"));
  box.setTextFormat(Qt::PlainText);
  if (kind == Kind::Address && !address.empty()) {
    // The user takes the address to a browser by hand: it can be selected,
    // and copied with one click that leaves the box open.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The box keeps its text out of the Tab order; the address must be in it.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
      label->setFocusPolicy(Qt::StrongFocus);
    QPushButton* copy = box.addButton(QStringLiteral("Copy Address"), QMessageBox::ActionRole);
    copy->setObjectName(QStringLiteral("btnCopyAddress"));
    // Its click no longer reaches the box, which would close.
    QObject::disconnect(copy, &QAbstractButton::clicked, nullptr, nullptr);
    const QString copied = FromLocal(address);
    QObject::connect(copy, &QPushButton::clicked, copy, [copy, copied] {
      QGuiApplication::clipboard()->setText(copied);
      copy->setText(QStringLiteral("Copied"));
    });
  }
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  QPushButton* cancel = nullptr;
  if (kind == Kind::Confirm)
    cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel != nullptr ? cancel : ok);
  box.exec();
  return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

void MessageBox::SetNextAnswer(Answer answer) {
  State().answers.push_back(answer);
}

int MessageBox::PendingAnswers() {
  return static_cast<int>(State().answers.size());
}

const std::vector<MessageBox::Shown>& MessageBox::ShownBoxes() {
  return State().shown;
}

void MessageBox::ResetTestState() {
  State().answers.clear();
  State().shown.clear();
}

}  // namespace quorvane
