#include "settings/profile.h"

#include "text/text.h"

namespace settings {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

}  // namespace

void Profile::Parse(std::string_view content) {
  sections_.clear();
  sectionIndex_.clear();
  sections_.push_back(Section{});  // lines before the first header
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view raw = content.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
      // A header without its closing bracket names everything after "[".
      std::string_view name = t.substr(1);
      const size_t close = name.find(']');
      if (close != std::string_view::npos) name = name.substr(0, close);
      name = Trim(name);
      Section s;
      s.header = std::string(raw);
      sections_.push_back(std::move(s));
      sectionIndex_.emplace(Lower(name), sections_.size() - 1);
      continue;
    }
    Section& s = sections_.back();
    Line line{std::string(raw)};
    const size_t eq = raw.find('=');
    if (eq != std::string_view::npos && sections_.size() > 1) {
      const std::string key = Lower(Trim(raw.substr(0, eq)));
      line.valueAt = eq + 1;
      s.keys.emplace(key, s.lines.size());
      s.lastKey = s.lines.size();
    }
    s.lines.push_back(std::move(line));
  }
}

const Profile::Section* Profile::FindSection(std::string_view section) const {
  auto it = sectionIndex_.find(Lower(Trim(section)));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

Profile::Section* Profile::FindSection(std::string_view section) {
  auto it = sectionIndex_.find(Lower(Trim(section)));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const Profile::Line* Profile::FindKey(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto it = s->keys.find(Lower(Trim(key)));
  return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const Line* line = FindKey(section, key);
  std::string_view v = line ? std::string_view(line->text).substr(line->valueAt) : def;
  v = Trim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  if (v.size() > kMaxValue) v = v.substr(0, kMaxValue);
  return std::string(v);
}

int32_t Profile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::string v = ReadString(section, key, "");
  return text::ParseProfileInt(v).value_or(def);
}

void Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) {
    Section fresh;
    fresh.header = "[" + std::string(section) + "]";
    sections_.push_back(std::move(fresh));
    sectionIndex_.emplace(Lower(Trim(section)), sections_.size() - 1);
    s = &sections_.back();
  }
  const std::string lowerKey = Lower(Trim(key));
  auto it = s->keys.find(lowerKey);
  if (it != s->keys.end()) {
    Line& line = s->lines[it->second];
    line.text.resize(line.valueAt);
    line.text += value;
    return;
  }
  Line line{std::string(key) + "=" + std::string(value), key.size() + 1};
  // A new key goes right after the last key of its section, before trailing blank lines.
  const size_t at = s->lastKey == std::string::npos ? 0 : s->lastKey + 1;
  if (at == s->lines.size()) {
    s->lines.push_back(std::move(line));
  } else {
    // Only non-key lines follow the last key, so no key index moves.
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  }
  s->keys.emplace(lowerKey, at);
  s->lastKey = at;
}

void Profile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, text::Decimal(value));
}

std::string Profile::Serialize(std::string_view newline) const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.header.empty()) {
      out += s.header;
      out += newline;
    }
    for (const Line& l : s.lines) {
      out += l.text;
      out += newline;
    }
  }
  return out;
}

}  // namespace settings
