#include "gtkwindow.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

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
        gtk_window_present_with_time(GTK_WINDOW(widget), time);
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
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    gtk_widget_set_name(container, "wyrle-compact");
}

Frame frameOf(GtkWidget* widget) {
    Frame frame;
    if (!widget)
        return frame;
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    const GtkStateFlags state = gtk_style_context_get_state(style);
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
