#include "gtkwindow.h"

// GTK's development headers are not needed for these few calls of its stable
// C interface; the library itself is the one wx runs on.
extern "C" {
typedef struct _GtkWindow GtkWindow;
typedef struct _GdkWindow GdkWindow;
typedef struct _GdkDisplay GdkDisplay;
typedef struct _GtkStyleContext GtkStyleContext;
typedef struct _GtkCssProvider GtkCssProvider;
typedef struct _GdkScreen GdkScreen;
struct GtkBorder {
    int16_t left, right, top, bottom;
};
GdkWindow* gtk_widget_get_window(GtkWidget* widget);
void gtk_widget_realize(GtkWidget* widget);
void gtk_window_present_with_time(GtkWindow* window, uint32_t timestamp);
GdkDisplay* gdk_display_get_default(void);
uint32_t gdk_x11_display_get_user_time(GdkDisplay* display);
void gdk_x11_window_set_user_time(GdkWindow* window, uint32_t timestamp);
GtkStyleContext* gtk_widget_get_style_context(GtkWidget* widget);
int gtk_style_context_get_state(GtkStyleContext* context);
void gtk_style_context_get_border(GtkStyleContext* context, int state, GtkBorder* border);
void gtk_style_context_get_padding(GtkStyleContext* context, int state, GtkBorder* padding);
GtkCssProvider* gtk_css_provider_new(void);
int gtk_css_provider_load_from_data(GtkCssProvider* provider, const char* data, long length, void** error);
GdkScreen* gdk_screen_get_default(void);
void gtk_style_context_add_provider_for_screen(GdkScreen* screen, GtkCssProvider* provider, unsigned priority);
void gtk_widget_set_name(GtkWidget* widget, const char* name);
void gtk_widget_get_preferred_width(GtkWidget* widget, int* minimum, int* natural);
void gtk_widget_get_preferred_height(GtkWidget* widget, int* minimum, int* natural);
}

namespace gtkwindow {

uint32_t userTime() {
    GdkDisplay* display = gdk_display_get_default();
    return display ? gdk_x11_display_get_user_time(display) : 0;
}

void stampUserTime(GtkWidget* widget, uint32_t time) {
    if (!widget || time == 0)
        return;
    gtk_widget_realize(widget);
    if (GdkWindow* window = gtk_widget_get_window(widget))
        gdk_x11_window_set_user_time(window, time);
}

void present(GtkWidget* widget, uint32_t time) {
    if (widget)
        gtk_window_present_with_time(reinterpret_cast<GtkWindow*>(widget), time);
}

void compactButtonsWithin(GtkWidget* container) {
    static GtkCssProvider* provider = nullptr;
    if (!container)
        return;
    if (!provider) {
        GdkScreen* screen = gdk_screen_get_default();
        if (!screen)
            return;
        provider = gtk_css_provider_new();
        gtk_css_provider_load_from_data(provider, "#wyrle-compact button { padding: 0; min-height: 0; min-width: 0; }",
                                        -1, nullptr);
        // GTK_STYLE_PROVIDER_PRIORITY_APPLICATION
        gtk_style_context_add_provider_for_screen(screen, provider, 600);
    }
    gtk_widget_set_name(container, "wyrle-compact");
}

Frame frameOf(GtkWidget* widget) {
    Frame frame;
    if (!widget)
        return frame;
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    const int state = gtk_style_context_get_state(style);
    GtkBorder border{}, padding{};
    gtk_style_context_get_border(style, state, &border);
    gtk_style_context_get_padding(style, state, &padding);
    frame.borderX = border.left + border.right;
    frame.borderY = border.top + border.bottom;
    frame.paddingX = padding.left + padding.right;
    frame.paddingY = padding.top + padding.bottom;
    return frame;
}

Size minimumSize(GtkWidget* widget) {
    Size size;
    int natural = 0;
    if (widget) {
        gtk_widget_get_preferred_width(widget, &size.width, &natural);
        gtk_widget_get_preferred_height(widget, &size.height, &natural);
    }
    return size;
}

}  // namespace gtkwindow
