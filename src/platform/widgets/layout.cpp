#include "platform/layout.h"

#include "platform/accessibility.h"
#include "platform/captionbutton.h"
#include "platform/fonts.h"
#include "platform/framebox.h"
#include "platform/pixelcell.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <vector>

namespace torvika::layout {

QRect toPixels(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

double contrastRatio(const QColor &a, const QColor &b) {
    const auto luminance = [](const QColor &c) {
        const auto linear = [](float v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QString objectName(const char *name, int index) {
    const QString plain = QString::fromLatin1(name);
    return index < 0 ? plain : QStringLiteral("%1(%2)").arg(plain).arg(index);
}

namespace {

QColor toColor(const Rgb &c) {
    return QColor(c.r, c.g, c.b);
}

// The original option buttons sat their caption closer to the circle; with the desktop
// style's wider gap "9600 bps" would lose its last pixel in its 65 px.
class OptionButtonStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        if (metric == PM_RadioButtonLabelSpacing)
            return qMin(4, QProxyStyle::pixelMetric(metric, option, widget));
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// A list whose text is wider than its field shows the start of the text, not the end that
// choosing an item leaves the cursor at ("ock Blinking"); typing still scrolls as usual.
class ShowTextStart : public QObject {
public:
    explicit ShowTextStart(QComboBox *list) : QObject(list) {
        QLineEdit *field = list->lineEdit();
        const auto home = [field] { field->setCursorPosition(0); };
        connect(list, &QComboBox::currentIndexChanged, this, home);
        connect(list, &QComboBox::activated, this, home);
        // The list keeps the keyboard focus and hands its focus events to the field directly,
        // past the field's event filters: leaving is seen on the list.
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // A list being destroyed loses its focus too, when it is no longer a QComboBox.
        if (event->type() == QEvent::FocusOut)
            if (auto *list = qobject_cast<QComboBox *>(watched); list && list->lineEdit())
                list->lineEdit()->setCursorPosition(0);
        return false;
    }
};

// Tab reaches only the selected option of a group (any of them while none is), as on the
// original desktop; the arrow keys move between the options.
void tabToSelectedOption(QWidget *container) {
    const auto options = container->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
    const bool anySelected =
        std::any_of(options.begin(), options.end(), [](auto *o) { return o->isChecked(); });
    for (QRadioButton *option : options)
        option->setFocusPolicy(!anySelected || option->isChecked() ? Qt::StrongFocus
                                                                   : Qt::ClickFocus);
}

QWidget *create(const Item &item, QWidget *parent) {
    const QString caption = QString::fromUtf8(item.caption);
    switch (item.kind) {
    case Kind::Frame: {
        auto *frame = new FrameBox(caption, parent);
        frame->setFocusPolicy(Qt::NoFocus);
        return frame;
    }
    case Kind::Label: {
        auto *label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(item.align);
        label->setWordWrap(item.wordWrap);
        label->setFocusPolicy(Qt::NoFocus);
        if (item.border) {
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setLineWidth(1);
        }
        return label;
    }
    case Kind::Button:
        return new CaptionButton(caption, parent);
    case Kind::OptionButton: {
        auto *option = new QRadioButton(caption, parent);
        auto *style = new OptionButtonStyle;
        style->setParent(option);
        option->setStyle(style);
        QObject::connect(option, &QAbstractButton::toggled, option,
                         [parent] { tabToSelectedOption(parent); });
        return option;
    }
    case Kind::ComboBox: {
        auto *list = new QComboBox(parent);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setEditText(caption);
        new ShowTextStart(list);
        return list;
    }
    case Kind::TextField: {
        auto *field = new QLineEdit(caption, parent);
        if (item.maxLength > 0)
            field->setMaxLength(item.maxLength);
        field->setAlignment(item.align);
        return field;
    }
    case Kind::Slider: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(item.slider.minimum, item.slider.maximum);
        slider->setSingleStep(item.slider.smallStep);
        slider->setPageStep(item.slider.largeStep);
        slider->setValue(item.slider.value);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case Kind::PixelCell:
        return new PixelCell(item.index, parent);
    }
    return new QWidget(parent);
}

void applyColours(QWidget *w, const Item &item) {
    if (!item.background && !item.foreground)
        return;
    QPalette palette = w->palette();
    const bool field = item.kind == Kind::TextField || item.kind == Kind::ComboBox;
    if (item.background) {
        if (auto *cell = qobject_cast<PixelCell *>(w))
            cell->setBackground(toColor(*item.background));
        palette.setColor(field ? QPalette::Base : QPalette::Window, toColor(*item.background));
        w->setAutoFillBackground(!field);
    }
    // A fixed background keeps its text readable whatever the desktop's theme.
    QColor text = item.foreground ? toColor(*item.foreground) : QColor(Qt::black);
    if (!item.foreground && contrastRatio(Qt::black, toColor(*item.background)) <
                                contrastRatio(Qt::white, toColor(*item.background)))
        text = Qt::white;
    palette.setColor(field ? QPalette::Text : QPalette::WindowText, text);
    w->setPalette(palette);
}

} // namespace

Controls build(QWidget *client, std::span<const Item> items) {
    accessibility::installInterfaces();
    Controls controls;
    std::vector<std::pair<int, QWidget *>> focusOrder;
    for (const Item &item : items) {
        QWidget *parent = client;
        if (item.parent) {
            parent = controls.find(QString::fromLatin1(item.parent));
            Q_ASSERT_X(parent, "layout::build", "a frame must come before its contents");
            if (!parent)
                parent = client;
        }
        QWidget *w = create(item, parent);
        const QString name = objectName(item.name, item.index);
        w->setObjectName(name);
        w->setGeometry(toPixels(item.left, item.top, item.width, item.height));
        w->setFont(layoutFont(item.font));
        applyColours(w, item);
        controls.insert(name, w);
        if (w->focusPolicy() != Qt::NoFocus && item.tab >= 0)
            focusOrder.emplace_back(item.tab, w);
    }
    std::stable_sort(focusOrder.begin(), focusOrder.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusOrder.size(); ++i)
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
    return controls;
}

} // namespace torvika::layout
