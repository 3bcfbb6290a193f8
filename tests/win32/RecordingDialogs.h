// Dialogs for Win32 tests: nothing is shown; message texts and error boxes
// ("caption: text") are recorded so a test can check what the program said.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include "platform/Dialogs.h"

class RecordingDialogs : public platform::Dialogs {
 public:
  void message(const std::string& text, const std::string&) override { messages.push_back(text); }
  bool question(const std::string&, const std::string&) override { return false; }
  void error(const std::string& text, const std::string& caption) override { errors.push_back(caption + ": " + text); }
  std::optional<std::string> openFile(platform::WindowId, const platform::FileDialogOptions&) override {
    return std::nullopt;
  }
  std::optional<std::string> saveFile(platform::WindowId, const platform::FileDialogOptions&) override {
    return std::nullopt;
  }
  std::vector<std::string> messages;
  std::vector<std::string> errors;
};
