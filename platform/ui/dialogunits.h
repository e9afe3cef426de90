// Dialog templates give places and sizes in dialog units: a quarter of the average
// character width and an eighth of the character height of the dialog's font. Converted
// with the base units of the font in use, a layout grows with the font, so that larger
// fonts never clip a caption.
#pragma once

class QFont;

namespace dh::ui {

class DialogUnits {
public:
  // The base units of font: the average width of the 52 Latin letters, and the height.
  explicit DialogUnits(const QFont& font);
  constexpr DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  // Pixels for horizontal and vertical dialog units, rounded to the nearest.
  constexpr int x(int units) const { return scale(units, baseX_, 4); }
  constexpr int y(int units) const { return scale(units, baseY_, 8); }

private:
  static constexpr int scale(int units, int base, int parts) {
    const int product = units * base;
    return (product >= 0 ? product + parts / 2 : product - parts / 2) / parts;
  }

  int baseX_;
  int baseY_;
};

} // namespace dh::ui
