#include "platform/qt/qt_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QUrl>

#include <algorithm>

#include "platform/qt/qt_app.h"
#include "platform/qt/qt_canvas.h"

namespace qtui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// ---- controls ----

template <typename Base>
class QtControl : public Base {
 public:
  QtControl(const ui::ControlDesc& d, QWidget* w) : desc_(d), w_(w), caption_(d.caption) {}
  const ui::ControlDesc& Desc() const override { return desc_; }
  ui::Rect Bounds() const override {
    const QRect g = w_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
  }
  void SetBounds(const ui::Rect& r) override { w_->setGeometry(r.left, r.top, r.width, r.height); }
  // The control's own flag, as a control of a hidden window still has it.
  bool Visible() const override { return !w_->isHidden(); }
  void SetVisible(bool v) override { w_->setVisible(v); }
  std::string Text() const override {
    if (auto* l = qobject_cast<QLabel*>(w_)) return S(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w_)) return S(b->text());
    if (auto* e = qobject_cast<QLineEdit*>(w_)) return S(e->text());
    if (auto* g = qobject_cast<QGroupBox*>(w_)) return S(g->title());
    return caption_;
  }
  void SetText(const std::string& t) override {
    if (auto* l = qobject_cast<QLabel*>(w_)) l->setText(Q(t));
    else if (auto* b = qobject_cast<QAbstractButton*>(w_)) b->setText(Q(t));
    else if (auto* e = qobject_cast<QLineEdit*>(w_)) e->setText(Q(t));
    else if (auto* g = qobject_cast<QGroupBox*>(w_)) g->setTitle(Q(t));
    else caption_ = t;
  }
  bool Enabled() const override { return w_->isEnabled(); }
  void SetEnabled(bool e) override { w_->setEnabled(e); }
  void BringToFront() override { w_->raise(); }
  void SetFocus() override { w_->setFocus(Qt::OtherFocusReason); }

 protected:
  const ui::ControlDesc& desc_;
  QWidget* w_;
  std::string caption_;
};

// A label sized to its text whose right edge stays where the layout put it.
class RightAlignedLabel : public QtControl<ui::Control> {
 public:
  RightAlignedLabel(const ui::ControlDesc& d, QLabel* l) : QtControl(d, l), label_(l) {
    right_ = d.bounds.left + d.bounds.width;
    Fit();
  }
  void SetText(const std::string& t) override {
    label_->setText(Q(t));
    Fit();
  }
  void SetBounds(const ui::Rect& r) override {
    right_ = r.left + r.width;
    label_->setGeometry(r.left, r.top, r.width, r.height);
  }

 private:
  void Fit() {
    const int w = label_->fontMetrics().horizontalAdvance(label_->text());
    label_->setGeometry(right_ - w, label_->y(), w, label_->height());
  }
  QLabel* label_;
  int right_;
};

// A label drawn as the designed one: a designed caption wider than its box
// (our gothic's Latin letters are wider than those of the font the layout was
// made for) is narrowed to fit, and text of a tight box is lifted so that the
// accelerator's underline stays inside it. Text set later is cut at the edge.
class FormLabel : public QLabel {
 public:
  FormLabel(const ui::ControlDesc& d, QWidget* parent)
      : QLabel(Q(d.caption), parent), design_(Q(d.caption)), mnemonic_(d.caption.find('&') != std::string::npos) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QString t = text();
    const int flags = int(alignment()) | Qt::TextSingleLine | (mnemonic_ ? Qt::TextShowMnemonic : 0);
    QFont f = font();
    if (t == design_) {
      int natural = QFontMetrics(f).size(flags, t).width();
      for (int stretch = 99; natural > width() && stretch >= 60; --stretch) {
        f.setStretch(stretch);
        natural = QFontMetrics(f).size(flags, t).width();
      }
    }
    p.setFont(f);
    const QFontMetrics fm(f);
    const int lift = std::max(0, fm.ascent() + fm.underlinePos() + fm.lineWidth() - height());
    style()->drawItemText(&p, rect().adjusted(0, -lift, 0, 0), flags, palette(), isEnabled(), t, foregroundRole());
  }

 private:
  QString design_;
  bool mnemonic_;
};

// Entry height of a list, fixed as on the designed list box. An entry lower
// than the font's line is drawn lifted, so that descenders are not cut off.
class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    return QSize(QStyledItemDelegate::sizeHint(o, i).width(), height_);
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    // Background, selection and focus frame as the style draws them; the text below.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    const QRect r = opt.rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics fm(opt.font);
    const int lift = std::max(0, fm.ascent() + fm.descent() - r.height());
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    p->save();
    p->setClipRect(opt.rect);
    p->setFont(opt.font);
    p->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                            : QPalette::Text));
    p->drawText(r.adjusted(0, -lift, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p->restore();
  }

 private:
  int height_;
};

// A list whose double-click anywhere (an entry or the empty area) runs a handler,
// after the click has made the entry under the pointer current.
class ListWidget : public QListWidget {
 public:
  using QListWidget::QListWidget;
  std::function<void()> onDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QListWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
  }
};

// The entry's bytes are kept beside its shown text, so a name that is not
// valid UTF-8 comes back exactly as it went in.
constexpr int kBytesRole = Qt::UserRole + 1;

class ListControl : public QtControl<ui::ListBox> {
 public:
  ListControl(const ui::ControlDesc& d, ListWidget* l) : QtControl(d, l), list_(l) {}
  int Count() const override { return list_->count(); }
  std::string Item(int i) const override {
    Check(i);
    return list_->item(i)->data(kBytesRole).toByteArray().toStdString();
  }
  void Append(const std::string& t) override {
    if (list_->count() >= kCapacity) throw ui::Error(ui::kListInsertError);
    auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(t)));
    item->setData(kBytesRole, QByteArray::fromStdString(t));
    list_->addItem(item);
    KeepCurrent();
  }
  void Delete(int i) override {
    Check(i);
    delete list_->takeItem(i);
    KeepCurrent();
  }
  void Clear() override { list_->clear(); }
  bool Selected(int i) const override {
    Check(i);
    return list_->item(i)->isSelected();
  }
  void SetSelected(int i, bool s) override {
    Check(i);
    list_->item(i)->setSelected(s);
  }
  int ItemIndex() const override { return list_->currentRow(); }
  void SetItemIndex(int i) override {
    if (i >= 0 && i < list_->count()) list_->setCurrentRow(i, QItemSelectionModel::NoUpdate);
    else list_->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
  }

 private:
  static constexpr int kCapacity = 0x7fffffff;
  void Check(int i) const {
    if (i < 0 || i >= list_->count()) throw ui::Error(ui::kListIndexError);
  }
  // A list with entries always has a current one (the first until the user moves).
  void KeepCurrent() {
    if (list_->count() > 0 && list_->currentRow() < 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
  }
  ListWidget* list_;
};

class CheckControl : public QtControl<ui::CheckBox> {
 public:
  CheckControl(const ui::ControlDesc& d, QCheckBox* c) : QtControl(d, c), box_(c) {}
  bool Checked() const override { return box_->isChecked(); }
  void SetChecked(bool c) override { box_->setChecked(c); }

 private:
  QCheckBox* box_;
};

class ComboControl : public QtControl<ui::ComboBox> {
 public:
  ComboControl(const ui::ControlDesc& d, QComboBox* c) : QtControl(d, c), combo_(c) {}
  std::string Text() const override { return S(combo_->currentText()); }
  void SetText(const std::string&) override {}
  int ItemIndex() const override { return combo_->currentIndex(); }
  void SetItemIndex(int i) override { combo_->setCurrentIndex(i >= 0 && i < combo_->count() ? i : -1); }

 private:
  QComboBox* combo_;
};

// ---- the about box's controls ----

// A 3-D text label: a windowless control that TExLabel paints through the canvas.
// Qt shows the parent through whatever the label leaves unpainted.
class ExLabelWidget : public QWidget {
 public:
  ExLabelWidget(const std::string& design, QWidget* parent) : QWidget(parent), design_(design) {
    label.onRepaint = [this](bool) { update(); };
  }
  widgets::TExLabel label;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QtCanvas canvas(p, palette());
    // The designed caption fits its box, as it did in the font of the layout.
    if (label.caption == design_) canvas.SetStretch(FittingStretch(label.font, label.caption, width()));
    label.Paint(canvas);
  }
  void resizeEvent(QResizeEvent*) override {
    label.width = width();
    label.height = height();
  }
  void moveEvent(QMoveEvent*) override {
    label.left = x();
    label.top = y();
  }
  void changeEvent(QEvent* e) override {
    if (e->type() == QEvent::EnabledChange) label.enabled = isEnabled();
    QWidget::changeEvent(e);
  }

 private:
  std::string design_;
};

class ExLabelControl : public QtControl<ui::ExLabelControl> {
 public:
  ExLabelControl(const ui::ControlDesc& d, ExLabelWidget* w) : QtControl(d, w), w_(w) {}
  widgets::TExLabel& Label() override { return w_->label; }
  std::string Text() const override { return w_->label.caption; }
  void SetText(const std::string& t) override {
    w_->label.caption = t;
    w_->update();
  }

 private:
  ExLabelWidget* w_;
};

// The mail link: a label in the link's colour that follows the press, moves and release.
class UrlLabelWidget : public QWidget {
 public:
  UrlLabelWidget(const widgets::TFont& font, unsigned align, QWidget* parent)
      : QWidget(parent), font_(font), align_(align) {}
  widgets::TProUrlLabel link;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QtCanvas canvas(p, palette());
    widgets::TFont f = font_;
    f.color = link.Color();
    canvas.SetStretch(FittingStretch(f, link.Caption, width()));
    canvas.SetFont(f);
    canvas.SetBrushClear();
    widgets::TRect r{0, 0, width(), height()};
    canvas.DrawText(link.Caption, r, widgets::DT_EXPANDTABS | align_);
  }
  void mousePressEvent(QMouseEvent*) override {
    link.MouseDown();
    update();
  }
  // Qt keeps sending moves and the release to the label while a button is held on it.
  void mouseMoveEvent(QMouseEvent* e) override {
    link.MouseMove(e->position().toPoint().x(), e->position().toPoint().y());
    update();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    link.MouseUp(e->position().toPoint().x(), e->position().toPoint().y());
    update();
  }
  void resizeEvent(QResizeEvent*) override {
    link.Width = width();
    link.Height = height();
  }

 private:
  widgets::TFont font_;
  unsigned align_;
};

class UrlLabelControl : public QtControl<ui::UrlLabelControl> {
 public:
  UrlLabelControl(const ui::ControlDesc& d, UrlLabelWidget* w) : QtControl(d, w), w_(w) {}
  widgets::TProUrlLabel& Link() override { return w_->link; }
  std::string Text() const override { return w_->link.Caption; }
  void SetText(const std::string& t) override {
    w_->link.Caption = t;
    w_->update();
  }

 private:
  UrlLabelWidget* w_;
};

// The banner: a picture that opens its URL when clicked (pressed and released on it).
class UrlImageWidget : public QWidget {
 public:
  UrlImageWidget(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}
  widgets::TProUrlImage image;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
  }
  void mousePressEvent(QMouseEvent* e) override { pressed_ = e->button() == Qt::LeftButton; }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click) image.Click();
  }

 private:
  QPixmap picture_;
  bool pressed_ = false;
};

class UrlImageControl : public QtControl<ui::UrlImageControl> {
 public:
  UrlImageControl(const ui::ControlDesc& d, UrlImageWidget* w) : QtControl(d, w), w_(w) {}
  widgets::TProUrlImage& Image() override { return w_->image; }

 private:
  UrlImageWidget* w_;
};

// The files of one drop, as the core reads them.
class NameListDrop : public ui::DropSource {
 public:
  explicit NameListDrop(const std::vector<std::string>& names) : names_(names) {}
  int Count() override { return static_cast<int>(names_.size()); }
  std::string Name(int i) override { return names_.at(static_cast<size_t>(i)); }
  void Finish() override {}

 private:
  const std::vector<std::string>& names_;
};

// Local file and folder names of a drop, in the drop's order.
std::vector<std::string> LocalNames(const QMimeData* mime) {
  std::vector<std::string> names;
  if (!mime || !mime->hasUrls()) return names;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    QString path = url.toLocalFile();
    // A folder may arrive as "dir/"; the entry is the folder's path as for a file.
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    names.push_back(QFile::encodeName(path).toStdString());
  }
  return names;
}

bool TakesFocus(ui::Kind k) {
  return k == ui::Kind::Edit || k == ui::Kind::Button || k == ui::Kind::ListBox || k == ui::Kind::CheckBox ||
         k == ui::Kind::ComboBox;
}

Qt::WindowFlags FlagsFor(const ui::FormDesc& d) {
  Qt::WindowFlags f = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowCloseButtonHint;
  if (d.border == ui::FormDesc::Border::Dialog) return f | Qt::Dialog;
  f |= Qt::Window;
  if (d.minimizeBox) f |= Qt::WindowMinimizeButtonHint;
  if (d.maximizeBox) f |= Qt::WindowMaximizeButtonHint;
  return f;
}

}  // namespace

QFont WindowFont(const ui::FormDesc& desc) {
  const QStringList families = QFontDatabase::families();
  QString family;
  const QString wanted = Q(desc.fontFace.empty() ? ui::kFontFace : desc.fontFace);
  for (const QString& f : {wanted, QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")})
    if (families.contains(f)) {
      family = f;
      break;
    }
  if (family.isEmpty()) {
    // Any proportional Japanese sans: prefer a name that says gothic or sans.
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& f : japanese)
      if (!QFontDatabase::isFixedPitch(f) &&
          (f.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive) ||
           f.contains(QStringLiteral("Sans"), Qt::CaseInsensitive))) {
        family = f;
        break;
      }
    if (family.isEmpty() && !japanese.isEmpty()) family = japanese.first();
  }
  QFont font(family.isEmpty() ? wanted : family);
  font.setPixelSize(desc.fontHeight > 0 ? desc.fontHeight : 12);
  return font;
}

// ---- the window ----

FormWindow::FormWindow(QtForm& form, QWidget* parent) : QDialog(parent), form_(form) {}

void FormWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  form_.FirstShow();
}

void FormWindow::closeEvent(QCloseEvent* e) {
  if (!form_.CloseQuery()) {
    e->ignore();
    return;
  }
  e->accept();
  if (form_.inModal_) {
    // The close box ends a modal showing as Cancel; the form stays for the next showing.
    done(ui::mrCancel);
    return;
  }
  form_.closed_ = true;
  if (form_.onClosed) form_.onClosed();
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
  const auto held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (e->key() == Qt::Key_Escape && !held) {
    // Esc presses the cancel button; a form without one ignores it (QDialog would hide itself).
    for (const ui::ControlDesc& d : form_.desc_.controls)
      if (d.Has(ui::CancelButton))
        if (auto* b = qobject_cast<QPushButton*>(form_.Widget(d.name)); b && b->isVisible() && b->isEnabled()) {
          b->click();
          e->accept();
          return;
        }
    e->ignore();
    return;
  }
  QDialog::keyPressEvent(e);
}

void FormWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (!LocalNames(e->mimeData()).empty()) e->acceptProposedAction();
  else e->ignore();
}

void FormWindow::dragMoveEvent(QDragMoveEvent* e) {
  if (!LocalNames(e->mimeData()).empty()) e->acceptProposedAction();
  else e->ignore();
}

void FormWindow::dropEvent(QDropEvent* e) {
  const std::vector<std::string> names = LocalNames(e->mimeData());
  if (names.empty()) {
    e->ignore();
    return;
  }
  e->acceptProposedAction();
  form_.Dropped(names);
}

// ---- the form ----

QtForm::QtForm(QtApp& app, const ui::FormDesc& desc, ui::FormEvents& sink)
    : app_(app), desc_(desc), sink_(sink) {
  window_ = new FormWindow(*this, nullptr);
  window_->setObjectName(Q(desc.name));
  window_->setWindowTitle(Q(desc.caption));
  window_->setWindowFlags(FlagsFor(desc));
  window_->setFont(WindowFont(desc));
  window_->setFixedSize(desc.clientWidth, desc.clientHeight);
  if (!desc.centered) window_->move(desc.left, desc.top);
  Build();
  BuildTabOrder();
  app_.forms_.push_back(this);
}

widgets::TFont QtForm::FormFont() const {
  widgets::TFont f;
  f.name = desc_.fontFace.empty() ? ui::kFontFace : desc_.fontFace;
  f.height = -(desc_.fontHeight > 0 ? desc_.fontHeight : 12);
  f.color = widgets::clWindowText;
  return f;
}

QtForm::~QtForm() {
  auto& f = app_.forms_;
  f.erase(std::remove(f.begin(), f.end(), this), f.end());
  controls_.clear();
  delete window_;
}

void QtForm::Build() {
  for (const ui::ControlDesc& d : desc_.controls) {
    QWidget* parent = d.parent.empty() ? static_cast<QWidget*>(window_) : widgets_.at(d.parent);
    QWidget* w = nullptr;
    std::unique_ptr<ui::Control> control;
    switch (d.kind) {
      case ui::Kind::Edit: {
        auto* e = new QLineEdit(Q(d.caption), parent);
        // Drops go to the form, never into the text.
        e->setAcceptDrops(false);
        w = e;
        control = std::make_unique<QtControl<ui::Control>>(d, w);
        break;
      }
      case ui::Kind::Button: {
        auto* b = new QPushButton(Q(d.caption), parent);
        if (d.Has(ui::DefaultButton)) b->setDefault(true);
        QObject::connect(b, &QPushButton::clicked, b, [this, &d] { Click(d); });
        w = b;
        control = std::make_unique<QtControl<ui::Control>>(d, w);
        break;
      }
      case ui::Kind::ListBox: {
        auto* l = new ListWidget(parent);
        l->setSelectionMode(d.Has(ui::MultiSelect) ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
        l->setUniformItemSizes(true);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (d.itemHeight > 0) l->setItemDelegate(new FixedHeightDelegate(d.itemHeight, l));
        l->setAcceptDrops(false);
        if (!d.onClick.empty()) l->onDoubleClick = [this, &d] { Click(d); };
        w = l;
        control = std::make_unique<ListControl>(d, l);
        break;
      }
      case ui::Kind::CheckBox: {
        auto* c = new QCheckBox(Q(d.caption), parent);
        c->setChecked(d.Has(ui::Checked));
        if (!d.onClick.empty()) QObject::connect(c, &QCheckBox::clicked, c, [this, &d] { Click(d); });
        w = c;
        control = std::make_unique<CheckControl>(d, c);
        break;
      }
      case ui::Kind::ComboBox: {
        auto* c = new QComboBox(parent);
        c->setEditable(false);
        for (const std::string& item : d.items) c->addItem(Q(item));
        if (d.itemHeight > 0) c->setItemDelegate(new FixedHeightDelegate(d.itemHeight, c));
        // A new drop-down list has no entry selected.
        c->setCurrentIndex(-1);
        c->setAcceptDrops(false);
        w = c;
        control = std::make_unique<ComboControl>(d, c);
        break;
      }
      case ui::Kind::GroupBox: {
        if (d.Has(ui::Rule)) {
          auto* f = new QFrame(parent);
          f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
          w = f;
        } else {
          w = new QGroupBox(Q(d.caption), parent);
        }
        control = std::make_unique<QtControl<ui::Control>>(d, w);
        break;
      }
      case ui::Kind::Panel: {
        auto* f = new QFrame(parent);
        if (d.Has(ui::NoBorder)) f->setFrameStyle(QFrame::NoFrame);
        else if (d.Has(ui::BevelLowered)) f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        else f->setFrameStyle(QFrame::Panel | QFrame::Raised);
        f->setLineWidth(1);
        // A panel covers what lies beneath it (the Progress view lies over the main window's controls).
        f->setAutoFillBackground(true);
        w = f;
        control = std::make_unique<QtControl<ui::Control>>(d, w);
        break;
      }
      case ui::Kind::ExLabel: {
        auto* l = new ExLabelWidget(d.caption, parent);
        widgets::TExLabel& x = l->label;
        x.caption = d.caption;
        x.alignment = d.Has(ui::AlignCenter) ? widgets::taCenter
                      : d.Has(ui::AlignRight) ? widgets::taRightJustify
                                              : widgets::taLeftJustify;
        x.font = FormFont();
        x.enabled = !d.Has(ui::Disabled);
        w = l;
        control = std::make_unique<ExLabelControl>(d, l);
        break;
      }
      case ui::Kind::UrlLabel: {
        // A font of its own: the window's face and height, blue, no underline.
        widgets::TFont font = FormFont();
        font.color = widgets::clBlue;
        const unsigned align = d.Has(ui::AlignCenter)  ? widgets::DT_CENTER
                               : d.Has(ui::AlignRight) ? widgets::DT_RIGHT
                                                       : widgets::DT_LEFT;
        auto* l = new UrlLabelWidget(font, align, parent);
        l->link.Caption = d.caption;
        l->link.URL = d.url;
        l->setCursor(Qt::PointingHandCursor);
        if (!d.hint.empty()) l->setToolTip(Q(d.hint));
        w = l;
        control = std::make_unique<UrlLabelControl>(d, l);
        break;
      }
      case ui::Kind::UrlImage: {
        QPixmap picture;
        if (!d.picture.empty()) picture.load(QStringLiteral(":/brimvale/") + Q(d.picture) + QStringLiteral(".bmp"));
        auto* l = new UrlImageWidget(picture, parent);
        l->image.URL = d.url;
        l->setCursor(Qt::PointingHandCursor);
        if (!d.hint.empty()) l->setToolTip(Q(d.hint));
        // AutoSize: the control takes the size of its picture.
        if (!picture.isNull()) l->setFixedSize(picture.size());
        w = l;
        control = std::make_unique<UrlImageControl>(d, l);
        break;
      }
      case ui::Kind::Label: {
        auto* l = new FormLabel(d, parent);
        l->setTextFormat(Qt::PlainText);
        l->setMargin(0);
        l->setIndent(0);
        Qt::Alignment a = Qt::AlignTop | Qt::AlignLeft;
        if (d.Has(ui::AlignCenter)) a = Qt::AlignTop | Qt::AlignHCenter;
        if (d.Has(ui::AlignRight)) a = Qt::AlignTop | Qt::AlignRight;
        l->setAlignment(a);
        l->setGeometry(d.bounds.left, d.bounds.top, d.bounds.width, d.bounds.height);
        w = l;
        if (d.Has(ui::AlignRight)) control = std::make_unique<RightAlignedLabel>(d, l);
        else control = std::make_unique<QtControl<ui::Control>>(d, w);
        break;
      }
    }
    w->setObjectName(Q(d.name));
    if (!(d.kind == ui::Kind::Label && d.Has(ui::AlignRight)))
      w->setGeometry(d.bounds.left, d.bounds.top, d.bounds.width, d.bounds.height);
    if (d.Has(ui::Disabled)) w->setEnabled(false);
    w->setVisible(!d.Has(ui::Hidden));
    widgets_[d.name] = w;
    controls_[d.name] = std::move(control);
  }
  // Labels with a focus control move the focus there with their accelerator.
  for (const ui::ControlDesc& d : desc_.controls)
    if (!d.focusControl.empty())
      if (auto* l = qobject_cast<QLabel*>(widgets_.at(d.name)))
        if (QWidget* target = Widget(d.focusControl)) l->setBuddy(target);

  if (!desc_.popup.empty()) {
    popup_ = new QMenu(window_);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    for (const ui::MenuItemDesc& m : desc_.popup) {
      QAction* a = m.caption == "-" ? popup_->addSeparator() : popup_->addAction(Q(m.caption));
      a->setObjectName(Q(m.name));
      if (!m.onClick.empty())
        QObject::connect(a, &QAction::triggered, popup_,
                         [this, &m] { ui::Dispatch(app_, [&] { sink_.Invoke(m.onClick); }); });
    }
  }
}

void QtForm::BuildTabOrder() {
  // Tab order is kept per parent; a container's controls follow the container.
  std::vector<QWidget*> chain;
  std::function<void(const std::string&)> walk = [&](const std::string& parent) {
    std::vector<const ui::ControlDesc*> level;
    for (const ui::ControlDesc& d : desc_.controls)
      if (d.parent == parent && d.tabOrder >= 0) level.push_back(&d);
    std::stable_sort(level.begin(), level.end(),
                     [](const ui::ControlDesc* a, const ui::ControlDesc* b) { return a->tabOrder < b->tabOrder; });
    for (const ui::ControlDesc* d : level) {
      if (TakesFocus(d->kind)) chain.push_back(widgets_.at(d->name));
      walk(d->name);
    }
  };
  walk("");
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
  // The first control in tab order has the focus when the window opens.
  if (!chain.empty()) chain.front()->setFocus(Qt::OtherFocusReason);
}

ui::Control* QtForm::Find(const std::string& name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

QWidget* QtForm::Widget(const std::string& name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second;
}

int QtForm::ClientWidth() const { return window_->width(); }
int QtForm::ClientHeight() const { return window_->height(); }

void QtForm::SetClientSize(int width, int height) { window_->setFixedSize(width, height); }

void QtForm::SetWindowState(ui::WindowState state) {
  // Minimising around a layout change only keeps it from being painted half done;
  // suspending repaints does that without the window leaving the screen.
  if (state == ui::WindowState::Minimized) {
    if (suspended_++ == 0) window_->setUpdatesEnabled(false);
  } else if (suspended_ > 0 && --suspended_ == 0) {
    window_->setUpdatesEnabled(true);
  }
}

bool QtForm::Visible() const { return window_->isVisible(); }

void QtForm::Close() { window_->close(); }

void QtForm::Show() {
  if (desc_.centered) window_->move(window_->screen()->availableGeometry().center() - window_->rect().center());
  window_->show();
  window_->activateWindow();
}

int QtForm::ShowModal() {
  if (desc_.centered) window_->move(window_->screen()->availableGeometry().center() - window_->rect().center());
  inModal_ = true;
  window_->setResult(ui::mrNone);
  const int r = window_->exec();
  inModal_ = false;
  return r;
}

void QtForm::EndModal(int result) {
  if (inModal_) window_->done(result);
}

void QtForm::OpenPopup(const QPoint& globalPos) {
  if (popup_) popup_->popup(globalPos);
}

void QtForm::Click(const ui::ControlDesc& d) {
  if (d.modalResult != 0) {
    EndModal(d.modalResult);
    return;
  }
  if (!d.onClick.empty()) ui::Dispatch(app_, [&] { sink_.Invoke(d.onClick); });
}

void QtForm::FirstShow() {
  if (shown_) return;
  shown_ = true;
  if (desc_.acceptsDrops) window_->setAcceptDrops(true);
  ui::Dispatch(app_, [&] { sink_.FormShow(); });
}

bool QtForm::CloseQuery() {
  bool canClose = true;
  ui::Dispatch(app_, [&] { canClose = sink_.FormCloseQuery(); });
  return canClose;
}

void QtForm::Dropped(const std::vector<std::string>& names) {
  NameListDrop drop(names);
  ui::Dispatch(app_, [&] { sink_.WMDropFiles(drop); });
}

}  // namespace qtui
