// The alert's window and outlets (the "KL_Alert" interface file).
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/widgets/alert/alert_fonts.h"
#include "ui/widgets/alert/kl_alert.h"

namespace {

class AlertWindow : public QWidget {
 public:
  std::function<void()> onEscape;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && onEscape) {
      onEscape();
      return;
    }
    QWidget::keyPressEvent(event);
  }
};

SYFlatButton* makeButton(QWidget* parent, const QColor& normal, const QColor& highlight) {
  auto* b = new SYFlatButton(parent);
  b->setMomentary(true);
  b->setCornerRadius(5);
  b->setBackgroundNormalColor(normal);
  b->setBackgroundHighlightColor(highlight);
  b->setTitleNormalColor(QColor(0xF2, 0xF2, 0xF2));
  b->setTitleHighlightColor(Qt::white);
  b->setBorderNormalColor(QColor(0, 0, 0, 0));
  b->setBorderHighlightColor(QColor(0, 0, 0, 0));
  b->setFixedSize(96, 28);
  b->awakeFromNib();
  return b;
}

}  // namespace

QWidget* KL_Alert::buildWindow() {
  auto* w = new AlertWindow;
  w->onEscape = [this] { dismissByUser(); };
  w->setWindowTitle(QString());
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
  pal.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
  w->setPalette(pal);
  w->setFixedWidth(460);

  oImageView = new StyleKitImageView(w);
  oImageView->setFixedSize(64, 64);
  oLogoImageView = new QLabel(w);
  oLogoImageView->setFixedSize(24, 24);
  oTitleTextField = new QLabel(w);
  oTitleTextField->setFont(alertTextFont(Font::boldSystemFontOfSize(18)));
  oTitleTextField->setWordWrap(true);
  oInformationTextField = new QLabel(w);
  // The standard size of a message field.
  oInformationTextField->setFont(alertTextFont(Font::systemFontOfSize(13)));
  oInformationTextField->setWordWrap(true);
  oCheckButton = new QCheckBox(w);
  oProgressIndicator = new QProgressBar(w);
  oProgressIndicator->setRange(0, 100);
  oProgressIndicator->setTextVisible(false);

  const QColor grey(0x4A, 0x4A, 0x50), greyLit(0x62, 0x62, 0x6A);
  oOkButton = makeButton(w, QColor(0x1F, 0x6F, 0xD1), QColor(0x3A, 0x8B, 0xF0));
  oCancelButton = makeButton(w, grey, greyLit);
  oThirdButton = makeButton(w, grey, greyLit);
  oHelpButton = makeButton(w, grey, greyLit);
  oHelpButton->setFixedSize(28, 28);
  oHelpButton->setCornerRadius(14);
  oHelpButton->setTitle("?");
  oHelpButton->setFont(Font::boldSystemFontOfSize(15));
  connect(oOkButton, &SYFlatButton::action, this, [this] { okAction(); });
  connect(oCancelButton, &SYFlatButton::action, this, [this] { cancelAction(); });
  connect(oThirdButton, &SYFlatButton::action, this, [this] { thirdAction(); });
  connect(oHelpButton, &SYFlatButton::action, this, [this] { helpAction(); });

  oHelpPopover = new HelpPopover(w);
  oHelpTextField = oHelpPopover->textField();

  auto* text = new QVBoxLayout;
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(oTitleTextField, 1);
  titleRow->addWidget(oLogoImageView, 0, Qt::AlignTop);
  text->addLayout(titleRow);
  text->addWidget(oInformationTextField);
  text->addWidget(oCheckButton);
  text->addWidget(oProgressIndicator);
  text->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addWidget(oImageView, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(oHelpButton);
  buttons->addStretch(1);
  buttons->addWidget(oThirdButton);
  buttons->addWidget(oCancelButton);
  buttons->addWidget(oOkButton);
  auto* root = new QVBoxLayout(w);
  root->setContentsMargins(20, 20, 20, 16);
  root->setSpacing(16);
  root->addLayout(top, 1);
  root->addLayout(buttons);
  return w;
}
