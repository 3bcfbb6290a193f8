#include "platform/fake/FakeHotKeys.h"
#include <algorithm>
#include <cctype>

namespace fake {

namespace {

constexpr unsigned ModMask = platform::ModAlt | platform::ModControl | platform::ModShift | platform::ModWin;

// Atom names ignore letter case, as the system's do.
std::string folded(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace

FakeHotKeys::FakeHotKeys()
    : keyNames{{16, "Shift"},   {17, "Ctrl"},      {18, "Alt"},       {19, "Pause"},        {20, "Caps Lock"},
               {44, "Prnt Scrn"}, {91, "Left Windows"}, {93, "Application"}, {106, "Num *"}, {107, "Num +"},
               {109, "Num -"},  {110, "Num Del"},   {111, "Num /"},     {144, "Num Lock"},    {145, "Scroll Lock"},
               {186, ";"},      {187, "="},         {188, ","},         {189, "-"},           {190, "."},
               {191, "/"},      {192, "`"},         {219, "["},         {220, "\\"},          {221, "]"},
               {222, "'"}} {}

FakeHotKeys::~FakeHotKeys() = default;

std::uint16_t FakeHotKeys::addAtom(const std::string& name) {
  if (refuseAtoms || name.empty()) return 0;
  const std::string key = folded(name);
  for (auto& [atom, entry] : atomTable_) {
    if (folded(entry.name) == key) {
      ++entry.count;
      ++atomCounts_[entry.name];
      return atom;
    }
  }
  const std::uint16_t atom = nextAtom_++;
  atomTable_[atom] = {name, 1};
  atomCounts_[name] = 1;
  return atom;
}

void FakeHotKeys::deleteAtom(std::uint16_t atom) {
  auto it = atomTable_.find(atom);
  if (it == atomTable_.end()) return;
  if (--it->second.count == 0) {
    atomCounts_.erase(it->second.name);
    atomTable_.erase(it);
  } else {
    --atomCounts_[it->second.name];
  }
}

std::string FakeHotKeys::atomName(std::uint16_t atom) const {
  auto it = atomTable_.find(atom);
  return it == atomTable_.end() ? std::string() : it->second.name;
}

std::unique_ptr<platform::HotKeyWindow> FakeHotKeys::createWindow(PressHandler onPress) {
  if (refuseWindows) return nullptr;
  return std::make_unique<FakeHotKeyWindow>(*this, std::move(onPress));
}

std::string FakeHotKeys::keyName(unsigned vk) {
  auto it = keyNames.find(vk);
  return it == keyNames.end() ? std::string() : it->second;
}

bool FakeHotKeys::press(unsigned modifiers, unsigned vk) {
  for (const Registration& r : registrations_) {
    if (r.vk == vk && r.modifiers == (modifiers & ModMask)) {
      auto handler = r.window->onPress_;  // the handler may unregister the key or destroy its window
      platform::HotKeyPress p;
      p.id = r.id;
      p.modifiers = modifiers & ModMask;
      p.vk = vk;
      if (handler) handler(p);
      return true;
    }
  }
  return false;
}

FakeHotKeyWindow::FakeHotKeyWindow(FakeHotKeys& keys, platform::HotKeys::PressHandler onPress)
    : keys_(keys), onPress_(std::move(onPress)) {
  ++keys_.liveWindows_;
}

FakeHotKeyWindow::~FakeHotKeyWindow() {
  auto& regs = keys_.registrations_;
  regs.erase(std::remove_if(regs.begin(), regs.end(), [this](const auto& r) { return r.window == this; }),
             regs.end());
  --keys_.liveWindows_;
}

bool FakeHotKeyWindow::registerKey(std::uint32_t id, unsigned modifiers, unsigned vk) {
  modifiers &= ModMask;
  FakeHotKeys::Registration* same = nullptr;
  for (auto& r : keys_.registrations_) {
    if (r.vk == vk && r.modifiers == modifiers) return false;  // the combination is taken
    if (r.window == this && r.id == id) same = &r;
  }
  if (same) {  // a second registration under one id replaces the first
    same->modifiers = modifiers;
    same->vk = vk;
  } else {
    keys_.registrations_.push_back({this, id, modifiers, vk});
  }
  return true;
}

bool FakeHotKeyWindow::unregisterKey(std::uint32_t id) {
  auto& regs = keys_.registrations_;
  auto it = std::find_if(regs.begin(), regs.end(), [&](const auto& r) { return r.window == this && r.id == id; });
  if (it == regs.end()) return false;
  regs.erase(it);
  return true;
}

}  // namespace fake
