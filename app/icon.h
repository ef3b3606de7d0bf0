// The application icon, drawn from the SVG built into the program.
#pragma once

#include <gdkmm/pixbuf.h>

namespace lunvek {

extern const char* const application_icon_svg;

// Null when no SVG loader is installed; the window then has the desktop's default icon.
Glib::RefPtr<Gdk::Pixbuf> application_icon(int size = 128);

}  // namespace lunvek
