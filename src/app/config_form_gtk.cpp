// The GTK 3 face of TConfigForm: a fixed 353 x 249 client area with the controls at
// their design positions. Widgets forward presses to the form's handlers and are
// then redrawn from the form's state, so the group rules live in one place.
#include <gtk/gtk.h>

#include <array>
#include <cstdio>

#include "app/config_form.h"

namespace tarq {

namespace {

// Labels: bold 12-pixel Arial; buttons: bold Tahoma; the note: the dialog's default
// face. Fallbacks are metric-compatible faces found on Debian.
constexpr const char* kDialogCss = R"css(
.tarq-config { background-color: #d4d0c8; }
.tarq-config label.tarq-heading { font-family: Arial, "Liberation Sans", FreeSans, sans-serif;
  font-weight: bold; font-size: 12px; color: #000000; }
.tarq-config label.tarq-note { font-family: Tahoma, "Liberation Sans", FreeSans, sans-serif;
  font-size: 11px; color: #000000; }
.tarq-config button { font-family: Tahoma, "DejaVu Sans", sans-serif; font-stretch: condensed; font-weight: bold;
  font-size: 11px; padding: 0px 2px; min-height: 0px; min-width: 0px; border-radius: 0px;
  background-image: none; background-color: #ece9e2; color: #000000;
  border: 1px solid #808080; box-shadow: inset -1px -1px #a0a0a0, inset 1px 1px #ffffff; }
.tarq-config button:checked { background-color: #bdb9b0;
  box-shadow: inset 1px 1px #606060, inset -1px -1px #ffffff; }
.tarq-config checkbutton label { font-family: Tahoma, "DejaVu Sans", sans-serif; font-stretch: condensed;
  font-size: 11px; color: #000000; }
)css";

struct ButtonSpec {
  ConfigButton Button;
  const char* Name;
  const char* Caption;
  int Left, Top;
};

// Toggle buttons in the order of the form; each is 153 x 23.
constexpr std::array<ButtonSpec, 8> kButtons{{
    {ConfigButton::Win, "WinButton", "Windowed Mode", 16, 26},
    {ConfigButton::Full, "FullButton", "Full-screen Mode", 16, 50},
    {ConfigButton::B16, "B16Button", "Low Bitdepth (16-bit)", 16, 98},
    {ConfigButton::B32, "B32Button", "High Bitdepth (24/32-bit)", 16, 122},
    {ConfigButton::Dbl, "DblButton", "Double buffering", 184, 26},
    {ConfigButton::Trp, "TrpButton", "Triple buffering", 184, 50},
    {ConfigButton::VOn, "VOnButton", "VSync On", 184, 98},
    {ConfigButton::VOff, "VOffButton", "VSync Off", 184, 122},
}};

struct LabelSpec {
  const char* Name;
  const char* Caption;
  int Left, Top;
  bool Heading;
};

constexpr std::array<LabelSpec, 5> kLabels{{
    {"Label1", "Video mode:", 16, 8, true},
    {"Label3", "Bit-depth:", 16, 80, true},
    {"Label2", "Buffers:", 184, 8, true},
    {"Label4", "VSync:", 184, 80, true},
    {"Label5", "(You can re-enable it in the configuration options on the main menu)", 24, 176, false},
}};

// The widgets of one shown dialog and the form they stand for.
struct DialogWidgets {
  TConfigForm* Form = nullptr;
  GtkWidget* Window = nullptr;
  std::array<GtkWidget*, 8> Buttons{};
  GtkWidget* ShowStartup = nullptr;
  GtkWidget* StartButton = nullptr;
  bool Syncing = false;  // set while widgets are updated from the form
  bool Running = false;  // the modal loop runs
};

void SyncFromForm(DialogWidgets& d) {
  d.Syncing = true;
  for (size_t i = 0; i < kButtons.size(); ++i) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Buttons[i]), d.Form->Down(kButtons[i].Button));
  }
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.ShowStartup), d.Form->ShowStartup());
  d.Syncing = false;
}

void EndModal(DialogWidgets& d) {
  if (d.Running) {
    d.Running = false;
    gtk_main_quit();
  }
}

void OnGroupButton(GtkToggleButton* button, gpointer data) {
  auto& d = *static_cast<DialogWidgets*>(data);
  if (d.Syncing) return;
  for (size_t i = 0; i < kButtons.size(); ++i) {
    if (GTK_WIDGET(button) == d.Buttons[i]) d.Form->Press(kButtons[i].Button);
  }
  SyncFromForm(d);
}

void OnShowStartup(GtkToggleButton* button, gpointer data) {
  auto& d = *static_cast<DialogWidgets*>(data);
  if (d.Syncing) return;
  d.Form->SetShowStartup(gtk_toggle_button_get_active(button));
}

void OnStart(GtkButton*, gpointer data) {
  auto& d = *static_cast<DialogWidgets*>(data);
  d.Form->StartButtonClick();
  EndModal(d);
}

// Key preview: the window sees every key before the focused control.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& d = *static_cast<DialogWidgets*>(data);
  if (event->keyval == GDK_KEY_Escape) {
    d.Form->FormKeyDown(27);
    EndModal(d);
    return TRUE;
  }
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto& d = *static_cast<DialogWidgets*>(data);
  d.Form->CloseClick();
  EndModal(d);
  return TRUE;  // the window is destroyed by ShowModal, not by the frame
}

void InstallCss() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  GtkCssProvider* css = gtk_css_provider_new();
  GError* error = nullptr;
  if (!gtk_css_provider_load_from_data(css, kDialogCss, -1, &error)) {
    std::fprintf(stderr, "TARQ: dialog style: %s\n", error ? error->message : "unknown error");
  }
  if (error) g_error_free(error);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

GtkWidget* Fixed(GtkWidget* fixed, GtkWidget* child, int left, int top, int width, int height) {
  if (width > 0) gtk_widget_set_size_request(child, width, height);
  gtk_fixed_put(GTK_FIXED(fixed), child, left, top);
  return child;
}

// Builds the client area into `window` (a top-level or an off-screen window).
void BuildClientArea(DialogWidgets& d, GtkWidget* window) {
  InstallCss();
  gtk_style_context_add_class(gtk_widget_get_style_context(window), "tarq-config");
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, TConfigForm::kClientWidth, TConfigForm::kClientHeight);
  gtk_container_add(GTK_CONTAINER(window), fixed);

  // The Start button is first in the tab order.
  d.StartButton = Fixed(fixed, gtk_button_new_with_label("Start TARQ"), 100, 210, 153, 23);
  gtk_widget_set_name(d.StartButton, "StartButton");
  g_signal_connect(d.StartButton, "clicked", G_CALLBACK(OnStart), &d);

  for (const LabelSpec& l : kLabels) {
    GtkWidget* label = gtk_label_new(l.Caption);
    gtk_widget_set_name(label, l.Name);
    gtk_style_context_add_class(gtk_widget_get_style_context(label), l.Heading ? "tarq-heading" : "tarq-note");
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    if (!l.Heading) {
      // Never wider than the client area, whatever face the system substitutes.
      gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
      gtk_widget_set_size_request(label, TConfigForm::kClientWidth - l.Left, -1);
    }
    Fixed(fixed, label, l.Left, l.Top, 0, 0);
  }
  for (size_t i = 0; i < kButtons.size(); ++i) {
    GtkWidget* b = gtk_toggle_button_new_with_label(kButtons[i].Caption);
    gtk_widget_set_name(b, kButtons[i].Name);
    gtk_widget_set_can_focus(b, FALSE);  // speed-button style: never takes the focus
    d.Buttons[i] = Fixed(fixed, b, kButtons[i].Left, kButtons[i].Top, 153, 23);
    g_signal_connect(b, "toggled", G_CALLBACK(OnGroupButton), &d);
  }
  d.ShowStartup = Fixed(fixed, gtk_check_button_new_with_label("Show this options screen at startup"), 16,
                        160, 321, 17);
  gtk_widget_set_name(d.ShowStartup, "ShowStartup");
  g_signal_connect(d.ShowStartup, "toggled", G_CALLBACK(OnShowStartup), &d);

  SyncFromForm(d);
}

bool InitGtk(std::string* error) {
  g_set_application_name("TARQ Beta 1");
  if (!gtk_init_check(nullptr, nullptr)) {
    if (error) *error = "no display for the configuration dialog";
    return false;
  }
  return true;
}

void DrainEvents() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace

ModalResult TConfigForm::ShowModal(std::string* error) {
  if (!InitGtk(error)) return ModalResult::None;
  result_ = ModalResult::None;
  DialogWidgets d;
  d.Form = this;
  d.Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(d.Window), kCaption);
  gtk_window_set_resizable(GTK_WINDOW(d.Window), FALSE);
  gtk_window_set_position(GTK_WINDOW(d.Window), GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(GTK_WINDOW(d.Window), GDK_WINDOW_TYPE_HINT_DIALOG);
  BuildClientArea(d, d.Window);
  g_signal_connect(d.Window, "key-press-event", G_CALLBACK(OnKeyPress), &d);
  g_signal_connect(d.Window, "delete-event", G_CALLBACK(OnDelete), &d);
  gtk_widget_set_can_default(d.StartButton, TRUE);
  gtk_window_set_default(GTK_WINDOW(d.Window), d.StartButton);
  gtk_widget_show_all(d.Window);
  gtk_widget_grab_focus(d.StartButton);

  d.Running = true;
  gtk_main();

  // Hidden by Start, Escape or the frame: the five keys are written in every case.
  gtk_widget_hide(d.Window);
  std::string writeError;
  if (!FormHide(&writeError) && error) *error = writeError;
  gtk_widget_destroy(d.Window);
  DrainEvents();
  if (result_ == ModalResult::None) result_ = ModalResult::Cancel;
  return result_;
}

bool TConfigForm::SaveSnapshot(const std::string& pngPath, std::string* error) {
  if (!InitGtk(error)) return false;
  DialogWidgets d;
  d.Form = this;
  d.Window = gtk_offscreen_window_new();
  BuildClientArea(d, d.Window);
  gtk_widget_show_all(d.Window);
  DrainEvents();
  // Let the off-screen window lay out and paint.
  for (int i = 0; i < 20; ++i) {
    DrainEvents();
    g_usleep(5000);
  }
  GdkPixbuf* pixbuf = gtk_offscreen_window_get_pixbuf(GTK_OFFSCREEN_WINDOW(d.Window));
  bool ok = false;
  if (pixbuf) {
    GError* gerror = nullptr;
    ok = gdk_pixbuf_save(pixbuf, pngPath.c_str(), "png", &gerror, nullptr);
    if (!ok && error) *error = gerror ? gerror->message : "cannot save the snapshot";
    if (gerror) g_error_free(gerror);
    g_object_unref(pixbuf);
  } else if (error) {
    *error = "the dialog could not be drawn";
  }
  gtk_widget_destroy(d.Window);
  DrainEvents();
  return ok;
}

}  // namespace tarq
