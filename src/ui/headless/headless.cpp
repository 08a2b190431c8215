#include "ui/headless/headless.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

namespace ui::headless {
namespace {

template <typename Base>
class Impl : public Base {
 public:
  explicit Impl(const ControlDesc& d)
      : desc_(d), bounds_(d.bounds), text_(d.caption), visible_(!d.Has(Hidden)), enabled_(!d.Has(Disabled)) {}
  const ControlDesc& Desc() const override { return desc_; }
  Rect Bounds() const override { return bounds_; }
  void SetBounds(const Rect& r) override { bounds_ = r; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool v) override { visible_ = v; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& t) override { text_ = t; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool e) override { enabled_ = e; }
  void BringToFront() override {}
  void SetFocus() override {}

 private:
  const ControlDesc& desc_;
  Rect bounds_;
  std::string text_;
  bool visible_, enabled_;
};

class HListBox : public Impl<ListBox> {
 public:
  HListBox(const ControlDesc& d, const int& capacity) : Impl(d), capacity_(capacity) {}
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int i) const override {
    if (i < 0 || i >= Count()) throw Error(kListIndexError);
    return items_[i].first;
  }
  void Append(const std::string& t) override {
    if (Count() >= capacity_) throw Error(kListInsertError);
    items_.push_back({t, false});
    if (index_ < 0) index_ = 0;
  }
  void Delete(int i) override {
    if (i < 0 || i >= Count()) throw Error(kListIndexError);
    items_.erase(items_.begin() + i);
    if (index_ >= Count()) index_ = Count() - 1;
  }
  void Clear() override {
    items_.clear();
    index_ = -1;
  }
  bool Selected(int i) const override {
    if (i < 0 || i >= Count()) throw Error(kListIndexError);
    return items_[i].second;
  }
  void SetSelected(int i, bool s) override {
    if (i < 0 || i >= Count()) throw Error(kListIndexError);
    items_[i].second = s;
  }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int i) override { index_ = (i >= 0 && i < Count()) ? i : -1; }

 private:
  const int& capacity_;
  std::vector<std::pair<std::string, bool>> items_;
  int index_ = -1;
};

class HCheckBox : public Impl<CheckBox> {
 public:
  explicit HCheckBox(const ControlDesc& d) : Impl(d), checked_(d.Has(ui::Checked)) {}
  bool Checked() const override { return checked_; }
  void SetChecked(bool c) override { checked_ = c; }

 private:
  bool checked_;
};

class HComboBox : public Impl<ComboBox> {
 public:
  explicit HComboBox(const ControlDesc& d) : Impl(d) {}
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int i) override {
    index_ = (i >= 0 && i < static_cast<int>(Desc().items.size())) ? i : -1;
  }

 private:
  int index_ = -1;
};

class HExLabel : public Impl<ExLabelControl> {
 public:
  explicit HExLabel(const ControlDesc& d) : Impl(d) {
    label_.caption = d.caption;
    label_.width = d.bounds.width;
    label_.height = d.bounds.height;
  }
  widgets::TExLabel& Label() override { return label_; }

 private:
  widgets::TExLabel label_;
};

class HUrlLabel : public Impl<UrlLabelControl> {
 public:
  explicit HUrlLabel(const ControlDesc& d) : Impl(d) {
    link_.Caption = d.caption;
    link_.URL = d.url;
    link_.Width = d.bounds.width;
    link_.Height = d.bounds.height;
  }
  widgets::TProUrlLabel& Link() override { return link_; }

 private:
  widgets::TProUrlLabel link_;
};

class HUrlImage : public Impl<UrlImageControl> {
 public:
  explicit HUrlImage(const ControlDesc& d) : Impl(d) { image_.URL = d.url; }
  widgets::TProUrlImage& Image() override { return image_; }

 private:
  widgets::TProUrlImage image_;
};

class VectorDrop : public DropSource {
 public:
  VectorDrop(const std::vector<std::string>& n, int& finished) : names_(n), finished_(finished) {}
  int Count() override { return static_cast<int>(names_.size()); }
  std::string Name(int i) override { return names_.at(i); }
  void Finish() override { ++finished_; }

 private:
  const std::vector<std::string>& names_;
  int& finished_;
};

}  // namespace

HeadlessForm::HeadlessForm(HeadlessApp& app, const FormDesc& desc, FormEvents& sink)
    : app_(app), desc_(desc), sink_(sink), width_(desc.clientWidth), height_(desc.clientHeight) {
  for (const ControlDesc& c : desc.controls) {
    std::unique_ptr<Control> ctl;
    switch (c.kind) {
      case Kind::ListBox: ctl = std::make_unique<HListBox>(c, app.listCapacity); break;
      case Kind::CheckBox: ctl = std::make_unique<HCheckBox>(c); break;
      case Kind::ComboBox: ctl = std::make_unique<HComboBox>(c); break;
      case Kind::ExLabel: ctl = std::make_unique<HExLabel>(c); break;
      case Kind::UrlLabel: ctl = std::make_unique<HUrlLabel>(c); break;
      case Kind::UrlImage: ctl = std::make_unique<HUrlImage>(c); break;
      default: ctl = std::make_unique<Impl<Control>>(c); break;
    }
    controls_[c.name] = std::move(ctl);
  }
  app_.forms_.push_back(this);
}

HeadlessForm::~HeadlessForm() {
  auto& f = app_.forms_;
  f.erase(std::remove(f.begin(), f.end(), this), f.end());
}

Control* HeadlessForm::Find(const std::string& name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

void HeadlessForm::Close() {
  bool canClose = true;
  Dispatch(app_, [&] { canClose = sink_.FormCloseQuery(); });
  if (canClose) {
    closed_ = true;
    visible_ = false;
  }
}

int HeadlessForm::ShowModal() {
  visible_ = true;
  modalResult_ = mrNone;
  int r = onShowModal ? onShowModal(*this) : mrCancel;
  if (modalResult_ != mrNone) r = modalResult_;
  visible_ = false;
  return r;
}

void HeadlessForm::Click(const std::string& name) {
  const ControlDesc* d = desc_.Find(name);
  if (!d) throw std::logic_error("no control " + name);
  if (d->modalResult != 0) {
    EndModal(d->modalResult);
    return;
  }
  if (!d->onClick.empty()) Dispatch(app_, [&] { sink_.Invoke(d->onClick); });
}

void HeadlessForm::Menu(const std::string& item) {
  for (const MenuItemDesc& m : desc_.popup)
    if (m.name == item && !m.onClick.empty()) Dispatch(app_, [&] { sink_.Invoke(m.onClick); });
}

void HeadlessForm::Drop(const std::vector<std::string>& names) {
  VectorDrop drop(names, dropFinishCount);
  Dispatch(app_, [&] { sink_.WMDropFiles(drop); });
}

void HeadlessForm::Show() {
  visible_ = true;
  Dispatch(app_, [&] { sink_.FormShow(); });
}

HeadlessApp::HeadlessApp() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

HeadlessApp::~HeadlessApp() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

std::unique_ptr<Form> HeadlessApp::CreateForm(const FormDesc& desc, FormEvents& sink) {
  return std::make_unique<HeadlessForm>(*this, desc, sink);
}

void HeadlessApp::Run(Form& mainForm) { static_cast<HeadlessForm&>(mainForm).Show(); }

HeadlessForm& HeadlessApp::FormNamed(const std::string& name) {
  for (HeadlessForm* f : forms_)
    if (f->Desc().name == name) return *f;
  throw std::logic_error("no form " + name);
}

void HeadlessApp::Post(std::function<void()> action) {
  posted_.push_back(std::move(action));
  const uint64_t one = 1;
  (void)!write(wakeFd_, &one, sizeof one);
}

void HeadlessApp::ProcessMessages() {
  ++pumps;
  uint64_t v;
  (void)!read(wakeFd_, &v, sizeof v);
  while (!posted_.empty()) {
    auto action = std::move(posted_.front());
    posted_.pop_front();
    action();
  }
  if (onPump) onPump();
}

void HeadlessApp::WaitForProcessOrInput(Process& process, int ms) {
  ++waits;
  pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {static_cast<int>(process.WaitHandle()), POLLIN, 0}};
  const nfds_t n = process.WaitHandle() >= 0 ? 2 : 1;
  if (!posted_.empty()) return;
  poll(fds, n, ms);
}

int HeadlessApp::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  messageBoxes.push_back({text, caption, flags});
  if (messageBoxAnswers.empty()) return IDYES;
  const int a = messageBoxAnswers.front();
  messageBoxAnswers.pop_front();
  return a;
}

void HeadlessApp::ShowMessage(const std::string& text) { messages.push_back(text); }

void HeadlessApp::ShowError(const std::string& message) { errors.push_back(message + "."); }

bool HeadlessApp::OpenFiles(const OpenFileOptions& options, std::vector<std::string>& files) {
  openFileRequests.push_back(options);
  if (openFileAnswers.empty()) return false;
  auto a = std::move(openFileAnswers.front());
  openFileAnswers.pop_front();
  files = std::move(a.second);
  return a.first;
}

void HeadlessApp::OpenWithAssociated(const std::string& path) { opened.push_back(path); }

void HeadlessApp::OpenUrl(const std::string& url) { openedUrls.push_back(url); }

}  // namespace ui::headless
