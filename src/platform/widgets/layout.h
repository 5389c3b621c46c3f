#pragma once

#include <QHash>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <span>

// Fixed layouts described as tables in twips and built by one builder, the way the
// original toolkit laid out its windows.
namespace torvika::layout {

// 15 twips make one logical pixel; Qt's high-DPI scaling does the rest.
constexpr int TwipsPerPixel = 15;
constexpr int px(int twips) {
    return twips / TwipsPerPixel;
}
QRect toPixels(int left, int top, int width, int height);

enum class Kind {
    Frame,        // QGroupBox with a caption; may hold other items
    Label,        // QLabel
    Button,       // CaptionButton: a push button that word-wraps its caption
    OptionButton, // QRadioButton; all of one container form one group
    ComboBox,     // editable QComboBox, InsertPolicy::NoInsert
    TextField,    // QLineEdit
    Slider,       // horizontal QSlider
    PixelCell,    // clickable cell carrying its index
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct FontSpec {
    const char *family = "Tahoma"; // mapped to installed fonts by installFontSubstitutions()
    double points = 8.25;          // sized in pixels at 96 dpi, so the layout ignores screen DPI
};

struct SliderSpec {
    int minimum = 0, maximum = 100, value = 0, smallStep = 1, largeStep = 10;
};

struct Item {
    const char *name; // object name; an array element becomes "name(index)"
    Kind kind;
    int index = -1;                               // control-array index, -1 when not in an array
    const char *caption = "";                     // caption, or initial text of a field or list
    int left = 0, top = 0, width = 0, height = 0; // twips, in the container's client area
    int tab = -1;                 // place in the focus order (labels and frames never take focus)
    const char *parent = nullptr; // object name of the containing frame; nullptr: client area
    FontSpec font{};
    std::optional<Rgb> background{};
    std::optional<Rgb> foreground{}; // with a background and none given: black, or white
                                     // where black would not be readable
    bool border = false;             // thin single border (labels)
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap = false; // labels
    int maxLength = 0;     // text fields; 0 = no limit
    SliderSpec slider{};   // sliders
};

// Contrast ratio of two colours as WCAG 2 defines it: 1 for the same colour up to 21 for black
// on white, whichever is the lighter. Text needs at least 4.5.
double contrastRatio(const QColor &a, const QColor &b);

// Object name of an item: "cmdLCD(2)" for an array element, else the plain name.
QString objectName(const char *name, int index = -1);

// The widgets built from a table, found by object name.
class Controls {
public:
    QWidget *find(const QString &objectName) const { return byName_.value(objectName); }
    QWidget *find(const char *name, int index) const { return find(objectName(name, index)); }
    template <typename T> T *get(const char *name, int index = -1) const {
        return qobject_cast<T *>(find(name, index));
    }
    void insert(const QString &objectName, QWidget *w) { byName_.insert(objectName, w); }
    const QHash<QString, QWidget *> &all() const { return byName_; }

private:
    QHash<QString, QWidget *> byName_;
};

// Builds every item of `items` on `client` (the window's client area): creates the widget,
// names it, places it, sets caption, font, colours and the kind's properties, and sets the
// focus order from the tab places. Frames must come before the items they contain.
Controls build(QWidget *client, std::span<const Item> items);

} // namespace torvika::layout
