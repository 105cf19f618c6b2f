#pragma once
// TConfigForm: the start-up display configuration dialog "TARQ Display Configuration".
//
// The dialog's state (which button of each two-button group is down, the check box,
// the modal result) and its handlers live here with no toolkit, so every rule runs
// in tests without a display. ShowModal() shows the state as a real GTK 3 dialog
// (config_form_gtk.cpp); the widgets only forward presses to these handlers.
#include <string>

#include "app/config.h"

namespace tarq {

enum class ModalResult { None, Ok, Cancel };

// The toggle buttons of the four groups.
enum class ConfigButton {
  Win, Full,      // group 1: video mode
  Dbl, Trp,       // group 2: buffers
  B16, B32,       // group 3: bit depth
  VOn, VOff,      // group 4: vertical sync
};

class TConfigForm {
 public:
  explicit TConfigForm(std::string iniPath = kConfigFile);

  // Reads the five graphics keys and sets one button of each group down and the
  // check box. A file that cannot be read gives the defaults; `error` says why.
  void FormCreate(std::string* error = nullptr);
  // The Start button: modal result OK.
  void StartButtonClick();
  // Escape (virtual key 27) closes the dialog with modal result Cancel.
  void FormKeyDown(int virtualKey);
  // Closing the window by its frame counts as Cancel.
  void CloseClick();
  // Runs whenever the shown dialog is hidden (Start, Escape or close): writes all five
  // graphics keys from the buttons. False (with `error`) when the file was not written.
  bool FormHide(std::string* error = nullptr);

  // Pressing a group button puts it down and releases its partner; pressing a button
  // that is already down leaves it down.
  void Press(ConfigButton button);
  bool Down(ConfigButton button) const;
  void SetShowStartup(bool checked) { show_startup_ = checked; }
  bool ShowStartup() const { return show_startup_; }

  // Shows the dialog modally (GTK) and returns its modal result; FormHide runs as it
  // closes. Without a display the dialog cannot be shown: the result is None and
  // `error` says why.
  ModalResult ShowModal(std::string* error = nullptr);
  // Draws the dialog's client area into a PNG (needs a display, e.g. Xvfb).
  bool SaveSnapshot(const std::string& pngPath, std::string* error = nullptr);

  ModalResult Result() const { return result_; }
  // The dialog's choices in the file's terms.
  GraphicsSettings Settings() const;
  const std::string& IniPath() const { return ini_path_; }

  // Caption and client size.
  static constexpr const char* kCaption = "TARQ Display Configuration";
  static constexpr int kClientWidth = 353;
  static constexpr int kClientHeight = 249;

 private:
  std::string ini_path_;
  // Down state of each group's first button (Win, Dbl, B16, VOn); the partner is the
  // opposite. The form design has Win, Trp, B32 and VOn down.
  bool win_ = true;
  bool dbl_ = false;
  bool b16_ = false;
  bool von_ = true;
  bool show_startup_ = false;
  ModalResult result_ = ModalResult::None;
};

}  // namespace tarq
