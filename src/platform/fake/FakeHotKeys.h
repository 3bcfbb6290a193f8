// Hot keys for native tests: one system-wide table of registrations, each
// held by a fake window; a taken combination is refused, atoms are counted by
// name so a test can see each one released, and press() delivers a
// combination to the window that holds it, as the system does.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "platform/HotKeys.h"

namespace fake {

class FakeHotKeyWindow;

class FakeHotKeys : public platform::HotKeys {
 public:
  struct Registration {
    const FakeHotKeyWindow* window;
    std::uint32_t id;
    unsigned modifiers;
    unsigned vk;
  };

  FakeHotKeys();
  ~FakeHotKeys() override;

  std::uint16_t addAtom(const std::string& name) override;
  void deleteAtom(std::uint16_t atom) override;
  std::unique_ptr<platform::HotKeyWindow> createWindow(PressHandler onPress) override;
  std::string keyName(unsigned vk) override;

  // Delivers a press to the window holding the combination; false when no
  // registration has it.
  bool press(unsigned modifiers, unsigned vk);

  // Atoms still added, by name, with how many deletes each still needs.
  const std::map<std::string, int>& atoms() const { return atomCounts_; }
  // The atom's name, empty when there is no such atom.
  std::string atomName(std::uint16_t atom) const;
  const std::vector<Registration>& registrations() const { return registrations_; }
  int liveWindows() const { return liveWindows_; }

  bool refuseAtoms = false;  // the atom table is full
  bool refuseWindows = false;
  // Names of the keys without a fixed name, as a US layout gives them.
  std::map<unsigned, std::string> keyNames;

 private:
  friend class FakeHotKeyWindow;
  struct Atom {
    std::string name;
    int count;
  };
  std::map<std::uint16_t, Atom> atomTable_;
  std::map<std::string, int> atomCounts_;
  std::uint16_t nextAtom_ = 0xC000;
  std::vector<Registration> registrations_;
  int liveWindows_ = 0;
};

class FakeHotKeyWindow : public platform::HotKeyWindow {
 public:
  FakeHotKeyWindow(FakeHotKeys& keys, platform::HotKeys::PressHandler onPress);
  ~FakeHotKeyWindow() override;
  bool registerKey(std::uint32_t id, unsigned modifiers, unsigned vk) override;
  bool unregisterKey(std::uint32_t id) override;

 private:
  friend class FakeHotKeys;
  FakeHotKeys& keys_;
  platform::HotKeys::PressHandler onPress_;
};

}  // namespace fake
