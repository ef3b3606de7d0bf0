#include "app/icon.h"

#include <gdkmm/pixbufloader.h>

#include <cstring>

namespace lunvek {

Glib::RefPtr<Gdk::Pixbuf> application_icon(int size) {
    try {
        auto loader = Gdk::PixbufLoader::create("image/svg+xml", true);
        loader->set_size(size, size);
        loader->write(reinterpret_cast<const guint8*>(application_icon_svg), std::strlen(application_icon_svg));
        loader->close();
        return loader->get_pixbuf();
    } catch (const Glib::Error&) {
        return {};
    }
}

}  // namespace lunvek
