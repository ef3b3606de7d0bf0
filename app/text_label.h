// A one-line label with a font and text colour of its own. Colours are 0x00BBGGRR values.
#pragma once

#include <gtkmm/label.h>
#include <pangomm/fontdescription.h>

#include <optional>
#include <string>

namespace lunvek {

// The fonts the window asks for; fontconfig stands in an installed CJK face when the first is missing.
inline constexpr const char* yahei_family = "Microsoft YaHei,Noto Sans CJK SC";
inline constexpr const char* song_family = "SimSun,Noto Serif CJK SC";

class TextLabel : public Gtk::Label {
  public:
    explicit TextLabel(const std::string& text = {});
    void set_font(const char* families, int pixel_height, Pango::Weight weight = Pango::WEIGHT_NORMAL);
    void set_colour(int bgr);
    int colour() const { return colour_; }

  private:
    void apply_attributes();

    std::optional<Pango::FontDescription> font_;
    int colour_ = 0;
};

}  // namespace lunvek
