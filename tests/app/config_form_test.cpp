#include "app/config_form.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>

#include "test_util.h"

namespace tarq {
namespace {

using testing_util::ReadFile;
using testing_util::TempDir;
using testing_util::WriteFile;

TEST(ConfigForm, WithoutAFileTheDefaultsAreDown) {
  TempDir dir;
  TConfigForm form(dir / "system/tarq.ini");
  // The form design has Windowed, High, Triple and VSync On down; the file wins.
  EXPECT_TRUE(form.Down(ConfigButton::Win));
  EXPECT_TRUE(form.Down(ConfigButton::B32));
  form.FormCreate();
  EXPECT_TRUE(form.Down(ConfigButton::Full));
  EXPECT_FALSE(form.Down(ConfigButton::Win));
  EXPECT_TRUE(form.Down(ConfigButton::B16));
  EXPECT_TRUE(form.Down(ConfigButton::VOn));
  EXPECT_TRUE(form.Down(ConfigButton::Dbl));
  EXPECT_TRUE(form.ShowStartup());
}

TEST(ConfigForm, GroupsKeepExactlyOneButtonDown) {
  TConfigForm form("unused.ini");
  const std::pair<ConfigButton, ConfigButton> groups[] = {{ConfigButton::Win, ConfigButton::Full},
                                                          {ConfigButton::Dbl, ConfigButton::Trp},
                                                          {ConfigButton::B16, ConfigButton::B32},
                                                          {ConfigButton::VOn, ConfigButton::VOff}};
  for (const auto& [a, b] : groups) {
    for (ConfigButton press : {a, b, b, a, a}) {
      form.Press(press);
      EXPECT_TRUE(form.Down(press));
      EXPECT_NE(form.Down(a), form.Down(b));
    }
  }
  // Pressing in one group leaves the others alone.
  form.Press(ConfigButton::Full);
  form.Press(ConfigButton::Trp);
  form.Press(ConfigButton::VOff);
  form.Press(ConfigButton::B16);
  EXPECT_TRUE(form.Down(ConfigButton::Full));
  EXPECT_TRUE(form.Down(ConfigButton::Trp));
  EXPECT_TRUE(form.Down(ConfigButton::VOff));
}

TEST(ConfigForm, OddValuesReadTheirWayAndAreWrittenBackCleanly) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  WriteFile(path, "[graphics]\nfullscreen=False\nbitdepth=16\nvsync=TRUE\nbuffercount=4\nshowoptions=no\n");
  TConfigForm form(path);
  form.FormCreate();
  EXPECT_TRUE(form.Down(ConfigButton::Win));
  EXPECT_TRUE(form.Down(ConfigButton::B32));  // 16 is not "low"
  EXPECT_TRUE(form.Down(ConfigButton::VOn));
  EXPECT_TRUE(form.Down(ConfigButton::Trp));  // anything but "2" is triple buffering
  EXPECT_FALSE(form.ShowStartup());
  form.StartButtonClick();
  EXPECT_EQ(form.Result(), ModalResult::Ok);
  ASSERT_TRUE(form.FormHide());
  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("fullscreen=false"), std::string::npos) << text;
  EXPECT_NE(text.find("bitdepth=high"), std::string::npos) << text;
  EXPECT_NE(text.find("vsync=true"), std::string::npos) << text;
  EXPECT_NE(text.find("buffercount=3"), std::string::npos) << text;
  EXPECT_NE(text.find("showoptions=false"), std::string::npos) << text;
}

TEST(ConfigForm, EscapeCancelsButStillWritesTheFiveKeys) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  WriteFile(path, "[sound]\nmusicvolume=33\n");
  TConfigForm form(path);
  form.FormCreate();
  form.Press(ConfigButton::Win);
  form.FormKeyDown('A');
  EXPECT_EQ(form.Result(), ModalResult::None);
  form.FormKeyDown(27);
  EXPECT_EQ(form.Result(), ModalResult::Cancel);
  ASSERT_TRUE(form.FormHide());
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  for (const char* key : {"fullscreen", "bitdepth", "vsync", "buffercount", "showoptions"}) {
    EXPECT_NE(ini.ReadString("graphics", key, "missing"), "missing") << key;
  }
  EXPECT_EQ(ini.ReadString("graphics", "fullscreen", ""), "false");
  EXPECT_EQ(ini.ReadString("sound", "musicvolume", ""), "33");
}

TEST(ConfigForm, ClosingByTheFrameIsCancelUnlessStartWasPressed) {
  TConfigForm form("unused.ini");
  form.CloseClick();
  EXPECT_EQ(form.Result(), ModalResult::Cancel);
  TConfigForm started("unused.ini");
  started.StartButtonClick();
  started.CloseClick();
  EXPECT_EQ(started.Result(), ModalResult::Ok);
}

TEST(ConfigForm, ShowOptionsMakesTheRoundTripThroughTheGame) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  // The player unticks the box: the dialog writes showoptions=false.
  TConfigForm first(path);
  first.FormCreate();
  first.SetShowStartup(false);
  first.StartButtonClick();
  ASSERT_TRUE(first.FormHide());
  // The main window reads it, the game-options screen turns it back on, the close
  // writes it.
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  GameSettings s = ReadGameSettings(ini);
  EXPECT_FALSE(s.ShowOptionsAtStart);
  s.ShowOptionsAtStart = true;
  WriteGameSettings(ini, s);
  ASSERT_TRUE(ini.Save(path));
  // The next start shows the dialog again.
  TConfigForm next(path);
  next.FormCreate();
  EXPECT_TRUE(next.ShowStartup());
}

TEST(ConfigForm, AnUnreadableFileIsNotOverwritten) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  std::filesystem::create_directories(path);  // a folder stands where the file should
  TConfigForm form(path);
  std::string error;
  form.FormCreate(&error);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(form.Down(ConfigButton::Full));  // defaults
  EXPECT_FALSE(form.FormHide(&error));
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Draws the real GTK dialog off-screen. Needs a display (e.g. Xvfb); skipped without.
// Set TARQ_DIALOG_SNAPSHOT to a path to keep the picture.
TEST(ConfigForm, GtkDialogDrawsItsClientArea) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "no display";
  TempDir dir;
  TConfigForm form(dir / "system/tarq.ini");
  form.FormCreate();
  const char* keep = std::getenv("TARQ_DIALOG_SNAPSHOT");
  const std::string png = keep ? keep : dir / "dialog.png";
  std::string error;
  if (!form.SaveSnapshot(png, &error)) GTEST_SKIP() << error;
  const std::string bytes = ReadFile(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto be32 = [&](size_t at) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
  };
  EXPECT_EQ(be32(16), static_cast<uint32_t>(TConfigForm::kClientWidth));
  EXPECT_EQ(be32(20), static_cast<uint32_t>(TConfigForm::kClientHeight));
}

}  // namespace
}  // namespace tarq

// ---- The real modal dialog, driven from inside its own loop (needs a display) ---------

namespace tarq {
namespace {

GtkWidget* FindByName(GtkWidget* widget, const char* name) {
  if (g_strcmp0(gtk_widget_get_name(widget), name) == 0) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* c = children; c && !found; c = c->next) found = FindByName(GTK_WIDGET(c->data), name);
  g_list_free(children);
  return found;
}

GtkWidget* DialogWindow() {
  GList* tops = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* t = tops; t; t = t->next) {
    const char* title = gtk_window_get_title(GTK_WINDOW(t->data));
    if (title && std::string(title) == TConfigForm::kCaption && gtk_widget_get_visible(GTK_WIDGET(t->data))) {
      found = GTK_WIDGET(t->data);
    }
  }
  g_list_free(tops);
  return found;
}

// What the scripted "player" does once the dialog is up.
enum class DialogAction { PressFullAndStart, Escape };

gboolean ActOnDialog(gpointer data) {
  GtkWidget* window = DialogWindow();
  if (!window) return G_SOURCE_CONTINUE;  // not shown yet
  if (*static_cast<DialogAction*>(data) == DialogAction::Escape) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->key.keyval = GDK_KEY_Escape;
    gboolean handled = FALSE;
    g_signal_emit_by_name(window, "key-press-event", event, &handled);
    gdk_event_free(event);
  } else {
    gtk_button_clicked(GTK_BUTTON(FindByName(window, "VOnButton")));  // already down: stays down
    gtk_button_clicked(GTK_BUTTON(FindByName(window, "WinButton")));
    gtk_button_clicked(GTK_BUTTON(FindByName(window, "B32Button")));
    gtk_button_clicked(GTK_BUTTON(FindByName(window, "ShowStartup")));
    gtk_button_clicked(GTK_BUTTON(FindByName(window, "StartButton")));
  }
  return G_SOURCE_REMOVE;
}

bool HaveDisplay() {
  return (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) && gtk_init_check(nullptr, nullptr);
}

TEST(ConfigFormDialog, StartKeepsTheButtonsPressedInTheDialog) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  TConfigForm form(path);
  form.FormCreate();
  DialogAction action = DialogAction::PressFullAndStart;
  const guint source = g_timeout_add(50, ActOnDialog, &action);
  EXPECT_EQ(form.ShowModal(), ModalResult::Ok);
  g_source_remove(source);
  EXPECT_EQ(DialogWindow(), nullptr);  // hidden and destroyed
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  EXPECT_EQ(ini.ReadString("graphics", "fullscreen", ""), "false");
  EXPECT_EQ(ini.ReadString("graphics", "bitdepth", ""), "high");
  EXPECT_EQ(ini.ReadString("graphics", "showoptions", ""), "false");
  EXPECT_EQ(ini.ReadString("graphics", "vsync", ""), "true");
  EXPECT_EQ(ini.ReadString("graphics", "buffercount", ""), "2");
}

TEST(ConfigFormDialog, EscapeCancelsAndStillWrites) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  TConfigForm form(path);
  form.FormCreate();
  DialogAction action = DialogAction::Escape;
  g_timeout_add(50, ActOnDialog, &action);
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  EXPECT_EQ(ini.ReadString("graphics", "fullscreen", ""), "true");
  EXPECT_EQ(ini.ReadString("graphics", "showoptions", ""), "true");
}

}  // namespace
}  // namespace tarq
