#include "app/gtk/cGTKConfigDialog.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <cmath>

#include "app/ConfigDialogView.h"

namespace brevonne {

namespace {

using eKind = cConfigDialog::eKind;

const char* const kIdKey = "brevonne-control-id";

int ControlId(GtkWidget* widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kIdKey)); }

GtkWidget* MakeLabel(const std::string& text) {
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    return label;
}

} // namespace

cGTKConfigDialog::cGTKConfigDialog(cConfigDialog& dialog) : m_Dialog(dialog) {}

cGTKConfigDialog::~cGTKConfigDialog() {
    if (m_Window) {
        gtk_widget_destroy(m_Window);
        m_Window = nullptr;
        // Let the window disappear before the caller goes on.
        while (gtk_events_pending()) {
            gtk_main_iteration();
        }
    }
    if (m_Loop) {
        g_main_loop_unref(m_Loop);
    }
}

bool cGTKConfigDialog::StartToolkit(std::string& reason) {
    static bool started = false;
    if (started) {
        return true;
    }
    GError* error = nullptr;
    if (!gtk_init_with_args(nullptr, nullptr, nullptr, nullptr, nullptr, &error)) {
        reason = error && error->message ? error->message : "cannot open the display";
        if (error) {
            g_error_free(error);
        }
        return false;
    }
    started = true;
    return true;
}

GtkWidget* cGTKConfigDialog::GetWidget(int id) const {
    const auto found = m_Widgets.find(id);
    return found == m_Widgets.end() ? nullptr : found->second;
}

GtkWidget* cGTKConfigDialog::MakeControl(int id) {
    const cConfigDialog::sControl* control = m_Dialog.GetControl(id);
    GtkWidget* widget = nullptr;
    switch (control->kind) {
    case eKind::Label:
        widget = MakeLabel(control->text);
        break;
    case eKind::DropDown:
        widget = gtk_combo_box_text_new();
        for (const std::string& item : control->items) {
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(widget), item.c_str());
        }
        g_signal_connect(widget, "changed", G_CALLBACK(OnComboChanged), this);
        break;
    case eKind::Trackbar:
        widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, control->minimum, control->maximum, 1.0);
        gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
        gtk_range_set_round_digits(GTK_RANGE(widget), 0);
        gtk_range_set_increments(GTK_RANGE(widget), 1.0, 10.0);
        gtk_widget_set_hexpand(widget, TRUE);
        gtk_widget_set_size_request(widget, 140, -1);
        g_signal_connect(widget, "value-changed", G_CALLBACK(OnScaleChanged), this);
        break;
    case eKind::CheckBox:
        widget = gtk_check_button_new_with_label(control->text.c_str());
        g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), this);
        break;
    case eKind::PushButton:
        widget = gtk_button_new_with_label(control->text.c_str());
        g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), this);
        break;
    case eKind::GroupBox:
        widget = gtk_frame_new(control->text.c_str());
        break;
    }
    g_object_set_data(G_OBJECT(widget), kIdKey, GINT_TO_POINTER(id));
    m_Widgets[id] = widget;
    return widget;
}

GtkWidget* cGTKConfigDialog::MakeFrame(int id, GtkWidget* child) {
    GtkWidget* frame = MakeControl(id);
    gtk_container_set_border_width(GTK_CONTAINER(child), 10);
    gtk_container_add(GTK_CONTAINER(frame), child);
    return frame;
}

void cGTKConfigDialog::Create() {
    using D = cConfigDialog;

    m_Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(m_Window), D::kCaption);
    gtk_window_set_type_hint(GTK_WINDOW(m_Window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(m_Window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(m_Window), FALSE);
    gtk_window_set_modal(GTK_WINDOW(m_Window), TRUE);
    gtk_container_set_border_width(GTK_CONTAINER(m_Window), 10);
    g_signal_connect(m_Window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(m_Window, "key-press-event", G_CALLBACK(OnKeyPress), this);

    // Rendering: three label rows, the shader switch and the two overlays.
    GtkWidget* rendering = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(rendering), 6);
    gtk_grid_set_column_spacing(GTK_GRID(rendering), 10);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kVideoModeLabel), 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kVideoMode), 1, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kTextureQualityLabel), 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kTextureQuality), 1, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kGammaLabel), 0, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kGamma), 1, 2, 1, 1);
    GtkWidget* gammaValue = MakeControl(D::kGammaValue);
    gtk_label_set_width_chars(GTK_LABEL(gammaValue), 5);
    gtk_label_set_xalign(GTK_LABEL(gammaValue), 1.0f);
    gtk_grid_attach(GTK_GRID(rendering), gammaValue, 2, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(rendering), MakeControl(D::kUseShaders), 0, 3, 3, 1);
    GtkWidget* overlays = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
    gtk_box_pack_start(GTK_BOX(overlays), MakeControl(D::kShowFPS), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(overlays), MakeControl(D::kShowClock), FALSE, FALSE, 0);
    gtk_grid_attach(GTK_GRID(rendering), overlays, 0, 4, 3, 1);

    // OK and Cancel beside the rendering group, one above the other.
    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_set_homogeneous(GTK_BOX(buttons), TRUE);
    gtk_widget_set_valign(buttons, GTK_ALIGN_START);
    gtk_widget_set_margin_top(buttons, 8);
    GtkWidget* ok = MakeControl(D::kOK);
    gtk_widget_set_size_request(ok, 90, -1);
    gtk_box_pack_start(GTK_BOX(buttons), ok, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(buttons), MakeControl(D::kCancel), FALSE, FALSE, 0);

    GtkWidget* top = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
    gtk_box_pack_start(GTK_BOX(top), MakeFrame(D::kRenderingGroup, rendering), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(top), buttons, FALSE, FALSE, 0);

    // Sound: the switch, then the volume with its label and value.
    GtkWidget* sound = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
    gtk_box_pack_start(GTK_BOX(sound), MakeControl(D::kEnableSound), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(sound), MakeControl(D::kVolumeLabel), FALSE, FALSE, 6);
    gtk_box_pack_start(GTK_BOX(sound), MakeControl(D::kVolume), TRUE, TRUE, 0);
    GtkWidget* volumeValue = MakeControl(D::kVolumeValue);
    gtk_label_set_width_chars(GTK_LABEL(volumeValue), 3);
    gtk_label_set_xalign(GTK_LABEL(volumeValue), 1.0f);
    gtk_box_pack_start(GTK_BOX(sound), volumeValue, FALSE, FALSE, 0);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_box_pack_start(GTK_BOX(content), top, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), MakeFrame(D::kSoundGroup, sound), FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(m_Window), content);

    m_Dialog.Init();
    Refresh();
}

void cGTKConfigDialog::Refresh() {
    m_Refreshing = true;
    for (const cConfigDialog::sControl& control : m_Dialog.GetControls()) {
        GtkWidget* widget = GetWidget(control.id);
        if (!widget) {
            continue;
        }
        gtk_widget_set_sensitive(widget, control.enabled);
        switch (control.kind) {
        case eKind::Label:
            gtk_label_set_text(GTK_LABEL(widget), control.text.c_str());
            break;
        case eKind::DropDown:
            gtk_combo_box_set_active(GTK_COMBO_BOX(widget), control.selection);
            break;
        case eKind::Trackbar:
            gtk_range_set_value(GTK_RANGE(widget), control.position);
            break;
        case eKind::CheckBox:
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), control.checked);
            break;
        case eKind::PushButton:
        case eKind::GroupBox:
            break;
        }
    }
    m_Refreshing = false;
}

void cGTKConfigDialog::Changed(int id) {
    GtkWidget* widget = GetWidget(id);
    const cConfigDialog::sControl* control = m_Dialog.GetControl(id);
    if (m_Refreshing || !widget || !control) {
        return;
    }
    switch (control->kind) {
    case eKind::DropDown:
        m_Dialog.SetSelection(id, gtk_combo_box_get_active(GTK_COMBO_BOX(widget)));
        m_Dialog.OnCommand(id);
        break;
    case eKind::CheckBox:
        m_Dialog.SetChecked(id, gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)));
        m_Dialog.OnCommand(id);
        break;
    case eKind::Trackbar:
        m_Dialog.SetPosition(id, static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(widget)))));
        m_Dialog.OnHScroll(id);
        break;
    default:
        break;
    }
    Refresh();
}

void cGTKConfigDialog::Command(int id) {
    m_Dialog.OnCommand(id);
    if (m_Dialog.IsEnded()) {
        if (m_Loop && g_main_loop_is_running(m_Loop)) {
            g_main_loop_quit(m_Loop);
        }
        return;
    }
    Refresh();
}

void cGTKConfigDialog::Run() {
    if (!m_Window || m_Dialog.IsEnded()) {
        return;
    }
    gtk_widget_show_all(m_Window);
    gtk_window_present(GTK_WINDOW(m_Window));
    if (!m_Loop) {
        m_Loop = g_main_loop_new(nullptr, FALSE);
    }
    g_main_loop_run(m_Loop);
    gtk_widget_hide(m_Window);
}

void cGTKConfigDialog::OnComboChanged(GtkWidget* widget, void* self) {
    static_cast<cGTKConfigDialog*>(self)->Changed(ControlId(widget));
}

void cGTKConfigDialog::OnToggled(GtkWidget* widget, void* self) {
    static_cast<cGTKConfigDialog*>(self)->Changed(ControlId(widget));
}

void cGTKConfigDialog::OnScaleChanged(GtkWidget* widget, void* self) {
    static_cast<cGTKConfigDialog*>(self)->Changed(ControlId(widget));
}

void cGTKConfigDialog::OnClicked(GtkWidget* widget, void* self) {
    static_cast<cGTKConfigDialog*>(self)->Command(ControlId(widget));
}

int cGTKConfigDialog::OnDelete(GtkWidget*, void*, void* self) {
    // The close box cancels the dialog; the window goes when the dialog ends.
    static_cast<cGTKConfigDialog*>(self)->Command(cConfigDialog::kCloseRequest);
    return TRUE;
}

int cGTKConfigDialog::OnKeyPress(GtkWidget*, void* event, void* self) {
    if (static_cast<GdkEventKey*>(event)->keyval == GDK_KEY_Escape) {
        static_cast<cGTKConfigDialog*>(self)->Command(cConfigDialog::kCloseRequest);
        return TRUE;
    }
    return FALSE;
}

} // namespace brevonne
