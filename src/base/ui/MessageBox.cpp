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
  // Confirm's answers are kept as the choices of the same meaning.
  std::deque<Messages::Choice> answers;
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

bool MessageBox::Scripted(const Shown& box, Choice& choice) {
  auto& state = State();
  state.shown.push_back(box);
  if (state.answers.empty()) return false;
  choice = state.answers.front();
  state.answers.pop_front();
  return true;
}

void MessageBox::ShowAddress(const std::string& text, const std::string& address) {
  Show(Kind::Address, text, address);
}

MessageBox::Answer MessageBox::Show(Kind kind, const std::string& text,
                                    const std::string& address) {
  const QString title = owner_ ? owner_->windowTitle() : QString();
  Choice scripted{};
  if (Scripted({kind, text, ToLocal(title), address}, scripted))
    return scripted == Choice::Go ? Answer::Ok : Answer::Cancel;

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

Messages::Choice MessageBox::Ask(const std::string& text, const std::string& go,
                                 const std::string& discard, const std::string& cancel) {
  const QString title = owner_ ? owner_->windowTitle() : QString();
  Shown box{Kind::Question, text, ToLocal(title), {}, {go, discard}};
  if (!cancel.empty()) box.buttons.push_back(cancel);
  Choice scripted{};
  if (Scripted(box, scripted)) {
    if (scripted == Choice::Cancel && cancel.empty()) return Choice::Discard;
    return scripted;
  }

  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = owner_;
  QMessageBox question(QMessageBox::Question, title, DisplayText(text), QMessageBox::NoButton,
                       parent);
  question.setObjectName(QStringLiteral("msgMain"));
  question.setTextFormat(Qt::PlainText);
  // The roles place the buttons as the desktop places them (on some the
  // one that goes ahead stands rightmost); without a reject button the box
  // cannot be closed by Esc or its title bar.
  QPushButton* goButton = question.addButton(FromLocal(go), QMessageBox::AcceptRole);
  QPushButton* discardButton = question.addButton(FromLocal(discard), QMessageBox::DestructiveRole);
  QPushButton* cancelButton = nullptr;
  if (!cancel.empty()) {
    cancelButton = question.addButton(FromLocal(cancel), QMessageBox::RejectRole);
    question.setEscapeButton(cancelButton);
  }
  question.setDefaultButton(goButton);
  question.exec();
  if (question.clickedButton() == goButton) return Choice::Go;
  if (question.clickedButton() == discardButton) return Choice::Discard;
  return Choice::Cancel;
}

void MessageBox::SetNextAnswer(Answer answer) {
  State().answers.push_back(answer == Answer::Ok ? Choice::Go : Choice::Cancel);
}

void MessageBox::SetNextChoice(Choice choice) {
  State().answers.push_back(choice);
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
