#include "app/text_label.h"

#include <pangomm/attrlist.h>

namespace lunvek {

TextLabel::TextLabel(const std::string& text) : Gtk::Label(text) {
    set_single_line_mode(true);
    set_line_wrap(false);
    apply_attributes();
}

void TextLabel::set_font(const char* families, int pixel_height, Pango::Weight weight) {
    Pango::FontDescription font;
    font.set_family(families);
    font.set_absolute_size(pixel_height * PANGO_SCALE);
    font.set_weight(weight);
    font_ = font;
    apply_attributes();
}

void TextLabel::set_colour(int bgr) {
    colour_ = bgr;
    apply_attributes();
}

void TextLabel::apply_attributes() {
    auto channel = [](int bgr, int shift) { return static_cast<guint16>(((bgr >> shift) & 0xFF) * 257); };
    Pango::AttrList attributes;
    auto foreground =
        Pango::Attribute::create_attr_foreground(channel(colour_, 0), channel(colour_, 8), channel(colour_, 16));
    attributes.insert(foreground);
    if (font_) {
        auto font = Pango::Attribute::create_attr_font_desc(*font_);
        attributes.insert(font);
    }
    set_attributes(attributes);
}

}  // namespace lunvek
