#include "passworddlg.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

#include "ui/messageboxprompter.h"

namespace tessaro::ui {

namespace {

constexpr int kPanelWidth = 353;
constexpr int kPanelHeight = 169;
constexpr int kStripeWidth = 5;
constexpr int kStripeCount = 256;
constexpr int kWelcomePixelSize = 49;
constexpr int kShadowOffset = 2;

// Shows "*" for each character of a password field.
class StarPasswordStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// The colour of an active window's title bar, which the title strips use.
QColor activeCaptionColour() { return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight); }

QLabel* titleStrip(const QString& text, QWidget* parent, const QString& name) {
  auto* strip = new QLabel(text, parent);
  strip->setObjectName(name);
  strip->setAutoFillBackground(true);
  QPalette p = strip->palette();
  p.setColor(QPalette::Window, activeCaptionColour());
  p.setColor(QPalette::WindowText, Qt::white);
  strip->setPalette(p);
  QFont f = strip->font();
  f.setBold(true);
  strip->setFont(f);
  strip->setGeometry(2, 2, kPanelWidth - 4, 20);
  return strip;
}

QLabel* label(const QString& text, QWidget* parent, const QString& name, const QRect& geometry) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geometry);
  return l;
}

QPushButton* button(const QString& text, QWidget* parent, const QString& name, const QRect& geometry) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(geometry);
  return b;
}

QLineEdit* field(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setGeometry(geometry);
  return e;
}

QFrame* panel(QWidget* parent, const QString& name) {
  auto* p = new QFrame(parent);
  p->setObjectName(name);
  p->setFrameStyle(QFrame::Panel | QFrame::Raised);
  p->setLineWidth(2);
  p->setAutoFillBackground(true);
  return p;
}

}  // namespace

QFont TPasswordDlg::welcomeFont() {
  QFont font;
  const QStringList families = QFontDatabase::families();
  QString family;
  for (const QString& candidate : {QStringLiteral("华文彩云"), QStringLiteral("STCaiyun")}) {
    if (families.contains(candidate, Qt::CaseInsensitive)) {
      family = candidate;
      break;
    }
  }
  if (family.isEmpty()) {
    for (const QString& candidate : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                                     QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                     QStringLiteral("Noto Sans SC")}) {
      if (families.contains(candidate, Qt::CaseInsensitive)) {
        family = candidate;
        break;
      }
    }
  }
  if (!family.isEmpty()) font.setFamily(family);
  font.setPixelSize(kWelcomePixelSize);
  font.setBold(true);
  return font;
}

TPasswordDlg::TPasswordDlg(const QString& dataFolder, app::Prompter* prompter, std::function<int()> logicalDpi,
                           QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(app::kPasswordTitle.trimmed());
  setWindowModality(Qt::ApplicationModal);
  setModal(true);

  if (!prompter) {
    ownPrompter_ = std::make_unique<MessageBoxPrompter>(this);
    prompter = ownPrompter_.get();
  }
  if (!logicalDpi) {
    logicalDpi = [this] {
      // The logical resolution as the desktop sets it: Qt reports the scaled
      // part of it as the device pixel ratio.
      const QScreen* s = screen();
      return s ? qRound(s->logicalDotsPerInchX() * s->devicePixelRatio()) : 96;
    };
  }
  check_ = std::make_unique<app::PasswordCheck>(dataFolder, *prompter, std::move(logicalDpi));

  buildWelcome();
  buildPanels();

  connect(okBtn_, &QPushButton::clicked, this, &TPasswordDlg::OKBtnClick);
  connect(cancelBtn_, &QPushButton::clicked, this, &TPasswordDlg::CancelBtnClick);
  connect(button1_, &QPushButton::clicked, this, &TPasswordDlg::Button1Click);
  connect(button2_, &QPushButton::clicked, this, &TPasswordDlg::Button2Click);
  connect(button3_, &QPushButton::clicked, this, &TPasswordDlg::Button3Click);

  FormCreate();
  password_->setFocus();
}

void TPasswordDlg::buildWelcome() {
  // The shadow first, so that the red text lies over it.
  welcomeShadow_ = new QLabel(app::kWelcomeText, this);
  welcomeShadow_->setObjectName(QStringLiteral("WelcomeShadow"));
  welcome_ = new QLabel(app::kWelcomeText, this);
  welcome_->setObjectName(QStringLiteral("Welcome"));
  const QFont font = welcomeFont();
  for (auto [l, colour] : {std::pair{welcomeShadow_, QColor(Qt::black)}, std::pair{welcome_, QColor(Qt::red)}}) {
    l->setFont(font);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->setAutoFillBackground(false);
    l->adjustSize();
  }
}

void TPasswordDlg::buildPanels() {
  panel1_ = panel(this, QStringLiteral("Panel1"));
  panel1_->resize(kPanelWidth, kPanelHeight);
  titleStrip(app::kPasswordTitle, panel1_, QStringLiteral("PanelTitle1"));
  label(app::kPasswordPrompt, panel1_, QStringLiteral("Label1"), QRect(20, 34, 100, 22));
  emptyLabel_ = label(app::kEmptyPasswordLabel, panel1_, QStringLiteral("Label2"), QRect(100, 34, 235, 22));
  {
    QPalette p = emptyLabel_->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    emptyLabel_->setPalette(p);
  }
  emptyLabel_->setVisible(false);
  password_ = field(panel1_, QStringLiteral("Password"), QRect(20, 62, 313, 24));
  password_->setEchoMode(QLineEdit::Password);
  auto* star = new StarPasswordStyle;
  star->setParent(this);
  password_->setStyle(star);
  okBtn_ = button(app::kEnterCaption, panel1_, QStringLiteral("OKBtn"), QRect(20, 124, 95, 28));
  button1_ = button(app::kChangeCaption, panel1_, QStringLiteral("Button1"), QRect(129, 124, 95, 28));
  cancelBtn_ = button(app::kQuitCaption, panel1_, QStringLiteral("CancelBtn"), QRect(238, 124, 95, 28));
  okBtn_->setDefault(true);

  // The change panel lies over the password field and the three buttons.
  panel2_ = panel(panel1_, QStringLiteral("Panel2"));
  panel2_->setGeometry(0, 56, kPanelWidth, kPanelHeight - 56);
  titleStrip(app::kChangeTitle, panel2_, QStringLiteral("PanelTitle2"));
  label(app::kNewPasswordPrompt, panel2_, QStringLiteral("Label3"), QRect(20, 28, 120, 22));
  newPassword_ = field(panel2_, QStringLiteral("Edit1"), QRect(140, 28, 193, 22));
  label(app::kRepeatPasswordPrompt, panel2_, QStringLiteral("Label4"), QRect(20, 56, 120, 22));
  repeatPassword_ = field(panel2_, QStringLiteral("Edit2"), QRect(140, 56, 193, 22));
  button2_ = button(app::kConfirmChangeCaption, panel2_, QStringLiteral("Button2"), QRect(70, 84, 90, 24));
  button3_ = button(app::kCancelChangeCaption, panel2_, QStringLiteral("Button3"), QRect(193, 84, 90, 24));
  panel2_->setVisible(false);
}

TPasswordDlg::~TPasswordDlg() = default;

void TPasswordDlg::layOut() {
  const QScreen* s = screen();
  const QRect area = s ? s->geometry() : QRect(0, 0, 1024, 768);
  setGeometry(area);
  const int w = area.width();
  const int h = area.height();
  const int panelTop = (h - kPanelHeight) / 2;
  panel1_->move((w - kPanelWidth) / 2, panelTop);

  welcome_->adjustSize();
  welcomeShadow_->adjustSize();
  const int textHeight = welcome_->height();
  const int left = (w - welcome_->width()) / 2;
  welcome_->move(left, panelTop - 2 * textHeight);
  welcomeShadow_->move(left - kShadowOffset, panelTop - 2 * textHeight - kShadowOffset);
}

void TPasswordDlg::FormCreate() {
  layOut();
  // Visible from its creation: it covers the screen before anything behind it
  // shows, and the boxes of the creation routine stand over it.
  show();
  raise();
  activateWindow();
  check_->start();
  fieldsOut();
  update();
}

void TPasswordDlg::fieldsIn() {
  check_->password = password_->text();
  check_->newPassword = newPassword_->text();
  check_->repeatPassword = repeatPassword_->text();
}

// Shows the state of the check. While the change panel is open the controls
// under it take neither focus nor keys, and Enter confirms the change instead
// of pressing the hidden "进入".
void TPasswordDlg::fieldsOut() {
  const bool changing = check_->changePanelVisible();
  const bool panelWasVisible = panel2_->isVisibleTo(this);
  if (password_->text() != check_->password) password_->setText(check_->password);
  if (newPassword_->text() != check_->newPassword) newPassword_->setText(check_->newPassword);
  if (repeatPassword_->text() != check_->repeatPassword) repeatPassword_->setText(check_->repeatPassword);
  emptyLabel_->setVisible(check_->emptyLabelVisible());
  panel2_->setVisible(changing);
  for (QWidget* w : {static_cast<QWidget*>(password_), static_cast<QWidget*>(okBtn_),
                     static_cast<QWidget*>(button1_), static_cast<QWidget*>(cancelBtn_)}) {
    w->setEnabled(!changing);
  }
  okBtn_->setDefault(!changing);
  button2_->setDefault(changing);
  if (changing && !panelWasVisible) newPassword_->setFocus();
  if (!changing && panelWasVisible) password_->setFocus();
}

void TPasswordDlg::finish() {
  switch (check_->state()) {
    case app::PasswordCheck::State::Closed: accept(); break;
    case app::PasswordCheck::State::Ended: done(QDialog::Rejected); break;
    default: break;
  }
}

void TPasswordDlg::OKBtnClick() {
  fieldsIn();
  check_->enter();
  fieldsOut();
  finish();
}

void TPasswordDlg::CancelBtnClick() {
  check_->quit();
  finish();
}

void TPasswordDlg::Button1Click() {
  fieldsIn();
  check_->beginChange();
  fieldsOut();
}

void TPasswordDlg::Button2Click() {
  fieldsIn();
  const bool wasChanging = check_->changePanelVisible();
  check_->confirmChange();
  // A change ran the creation routine again: lay the window out anew.
  if (wasChanging && !check_->changePanelVisible()) layOut();
  fieldsOut();
  update();
}

void TPasswordDlg::Button3Click() {
  fieldsIn();
  check_->cancelChange();
  fieldsOut();
}

void TPasswordDlg::reject() { CancelBtnClick(); }

void TPasswordDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int i = 0; i < kStripeCount; ++i) {
    painter.fillRect(i * kStripeWidth, 0, kStripeWidth, height(), QColor(i, i, 255));
  }
  // A screen wider than the stripes continues in their last colour, white.
  const int right = kStripeCount * kStripeWidth;
  if (width() > right) painter.fillRect(right, 0, width() - right, height(), Qt::white);
}

}  // namespace tessaro::ui
