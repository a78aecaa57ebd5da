#pragma once
// The GTK 3 view of the configuration dialog: a native window holding the
// controls cConfigDialog describes, in the same arrangement. It keeps no
// settings of its own: every change goes to the procedure and the widgets
// are redrawn from the procedure's control states.

#include <map>
#include <string>

#include "app/cConfigDialog.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GMainLoop GMainLoop;

namespace brevonne {

class cGTKConfigDialog {
public:
    explicit cGTKConfigDialog(cConfigDialog& dialog);
    ~cGTKConfigDialog();
    cGTKConfigDialog(const cGTKConfigDialog&) = delete;
    cGTKConfigDialog& operator=(const cGTKConfigDialog&) = delete;

    // Starts GTK if needed; false with GTK's reason when there is no display.
    static bool StartToolkit(std::string& reason);

    // Builds the window, lets the procedure initialise and shows the state.
    // The toolkit must be started. A cException from the initialisation
    // reaches the caller.
    void Create();
    // Shows the window and runs until the procedure has ended the dialog.
    void Run();

    // The window and the widget of a control (null for unknown ids).
    GtkWidget* GetWindow() const { return m_Window; }
    GtkWidget* GetWidget(int id) const;

private:
    GtkWidget* MakeControl(int id);
    GtkWidget* MakeFrame(int id, GtkWidget* child);
    void Refresh();
    void Changed(int id);
    void Command(int id);

    static void OnComboChanged(GtkWidget* widget, void* self);
    static void OnToggled(GtkWidget* widget, void* self);
    static void OnScaleChanged(GtkWidget* widget, void* self);
    static void OnClicked(GtkWidget* widget, void* self);
    static int OnDelete(GtkWidget* widget, void* event, void* self);
    static int OnKeyPress(GtkWidget* widget, void* event, void* self);

    cConfigDialog& m_Dialog;
    GtkWidget* m_Window = nullptr;
    GMainLoop* m_Loop = nullptr;
    std::map<int, GtkWidget*> m_Widgets;
    bool m_Refreshing = false;
};

} // namespace brevonne
