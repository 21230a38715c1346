#include "aboutbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro::ui {

namespace {

// The picture: a glazed bowl on a kiln-red ground.
QPixmap picture() {
  QPixmap pm(96, 96);
  pm.fill(QColor(128, 0, 0));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 230, 180));
  p.drawEllipse(QRectF(14, 14, 68, 68));
  QPainterPath bowl;
  bowl.moveTo(22, 44);
  bowl.quadTo(48, 96, 74, 44);
  bowl.closeSubpath();
  p.setBrush(QColor(40, 110, 140));
  p.drawPath(bowl);
  p.setBrush(QColor(90, 170, 190));
  p.drawEllipse(QRectF(22, 38, 52, 12));
  return pm;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("关于"));
  // Only a close box in the title bar.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* pic = new QLabel(this);
  pic->setObjectName(QStringLiteral("ProgramIcon"));
  pic->setPixmap(picture());
  top->addWidget(pic);
  auto* texts = new QVBoxLayout;
  auto* product = new QLabel(QStringLiteral("Tessaro"), this);
  product->setObjectName(QStringLiteral("ProductName"));
  QFont big = product->font();
  big.setPointSize(24);
  big.setBold(true);
  product->setFont(big);
  QPalette red = product->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  red.setColor(QPalette::ButtonText, Qt::red);
  product->setPalette(red);
  auto* version = new QLabel(QStringLiteral("V1.0"), this);
  version->setObjectName(QStringLiteral("Version"));
  texts->addWidget(product);
  texts->addWidget(version);
  texts->addStretch();
  top->addLayout(texts);
  layout->addLayout(top);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("Status"));
  status_->setAlignment(Qt::AlignCenter);
  status_->setPalette(red);
  layout->addWidget(status_);

  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  ok->setPalette(red);
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
  layout->addWidget(ok, 0, Qt::AlignCenter);

  setFixedSize(sizeHint().expandedTo(QSize(320, 200)));
}

void TAboutBox::setStatus(const QString& text) { status_->setText(text); }

QString TAboutBox::status() const { return status_->text(); }

}  // namespace tessaro::ui
