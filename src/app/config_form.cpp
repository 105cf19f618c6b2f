#include "app/config_form.h"

#include <utility>

namespace tarq {

TConfigForm::TConfigForm(std::string iniPath) : ini_path_(std::move(iniPath)) {}

void TConfigForm::FormCreate(std::string* error) {
  IniFile ini;
  ini.Load(ini_path_, error);  // on failure the file reads as empty: the defaults
  const GraphicsSettings s = ReadGraphicsSettings(ini);
  win_ = !s.FullScreen;
  b16_ = s.LowBitDepth;
  von_ = s.VSync;
  dbl_ = s.DoubleBuffering;
  show_startup_ = s.ShowOptions;
  result_ = ModalResult::None;
}

void TConfigForm::StartButtonClick() { result_ = ModalResult::Ok; }

void TConfigForm::FormKeyDown(int virtualKey) {
  if (virtualKey == 27) result_ = ModalResult::Cancel;
}

void TConfigForm::CloseClick() {
  if (result_ == ModalResult::None) result_ = ModalResult::Cancel;
}

bool TConfigForm::FormHide(std::string* error) {
  IniFile ini;
  // Never replace a file we could not read: its other sections would be lost.
  if (!ini.Load(ini_path_, error)) return false;
  WriteGraphicsSettings(ini, Settings());
  return ini.Save(ini_path_, error);
}

void TConfigForm::Press(ConfigButton button) {
  switch (button) {
    case ConfigButton::Win: win_ = true; break;
    case ConfigButton::Full: win_ = false; break;
    case ConfigButton::Dbl: dbl_ = true; break;
    case ConfigButton::Trp: dbl_ = false; break;
    case ConfigButton::B16: b16_ = true; break;
    case ConfigButton::B32: b16_ = false; break;
    case ConfigButton::VOn: von_ = true; break;
    case ConfigButton::VOff: von_ = false; break;
  }
}

bool TConfigForm::Down(ConfigButton button) const {
  switch (button) {
    case ConfigButton::Win: return win_;
    case ConfigButton::Full: return !win_;
    case ConfigButton::Dbl: return dbl_;
    case ConfigButton::Trp: return !dbl_;
    case ConfigButton::B16: return b16_;
    case ConfigButton::B32: return !b16_;
    case ConfigButton::VOn: return von_;
    case ConfigButton::VOff: return !von_;
  }
  return false;
}

GraphicsSettings TConfigForm::Settings() const {
  GraphicsSettings s;
  s.FullScreen = Down(ConfigButton::Full);
  s.LowBitDepth = Down(ConfigButton::B16);
  s.VSync = Down(ConfigButton::VOn);
  s.DoubleBuffering = Down(ConfigButton::Dbl);
  s.ShowOptions = show_startup_;
  return s;
}

}  // namespace tarq
