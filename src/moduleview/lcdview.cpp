#include "moduleview/lcdview.h"

#include "module/dotfont.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace torvika::moduleview {

namespace {

using module::CharRows;
using module::Columns;
using module::DisplayModel;
using module::Rows;

constexpr int Dot = 4, DotGap = 1, CellGap = 5, Margin = 14;
constexpr int CellWidth = protocol::CharColumns * (Dot + DotGap) - DotGap;
constexpr int CellHeight = CharRows * (Dot + DotGap) - DotGap;

QString lampStyle(bool on) {
    return QStringLiteral("border-radius: 9px; border: 1px solid #444; background: %1;")
        .arg(on ? QStringLiteral("#ff3a2a") : QStringLiteral("#5a2320"));
}

} // namespace

LcdView::LcdView(const DisplayModel &model, QWidget *parent) : QWidget(parent), model_(model) {
    auto *blink = new QTimer(this);
    connect(blink, &QTimer::timeout, this, [this] {
        blinkOn_ = !blinkOn_;
        if (model_.cursorStyle() == DisplayModel::CursorStyle::BlinkingBlock)
            update();
    });
    blink->start(500);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize LcdView::sizeHint() const {
    return {2 * Margin + Columns * CellWidth + (Columns - 1) * CellGap,
            2 * Margin + Rows * CellHeight + (Rows - 1) * CellGap};
}

void LcdView::paintEvent(QPaintEvent *) {
    QPainter p(this);
    // Backlight: yellow-green, brighter with the level; a grey glass when off.
    const double level =
        model_.backlightOn() ? model_.brightness() / double(protocol::MaxBrightness) : 0.0;
    const QColor glass = model_.backlightOn()
                             ? QColor::fromRgbF(0.45 + 0.35 * level, 0.6 + 0.35 * level, 0.1)
                             : QColor(70, 78, 60);
    const QColor lit = model_.backlightOn() ? QColor(20, 40, 10) : QColor(35, 40, 30);
    const QColor unlit = glass.darker(112);
    p.fillRect(rect(), QColor(30, 30, 30));
    p.fillRect(rect().adjusted(4, 4, -4, -4), glass);

    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            auto rows = module::glyph(model_.at(r, c), model_.chars());
            const bool here = r == model_.cursorRow() && c == model_.cursorColumn();
            if (here && model_.cursorStyle() == DisplayModel::CursorStyle::Underline)
                rows[CharRows - 1] = protocol::FullCharRow;
            if (here && model_.cursorStyle() == DisplayModel::CursorStyle::BlinkingBlock &&
                blinkOn_)
                rows.fill(protocol::FullCharRow);
            const int x0 = Margin + c * (CellWidth + CellGap);
            const int y0 = Margin + r * (CellHeight + CellGap);
            for (int y = 0; y < CharRows; ++y)
                for (int x = 0; x < protocol::CharColumns; ++x) {
                    const bool on = rows[static_cast<std::size_t>(y)] & (0x10 >> x);
                    p.fillRect(x0 + x * (Dot + DotGap), y0 + y * (Dot + DotGap), Dot, Dot,
                               on ? lit : unlit);
                }
        }
    }
}

OutputLamps::OutputLamps(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < protocol::Outputs; ++i) {
        auto *lamp = new QLabel(this);
        lamp->setFixedSize(18, 18);
        lamp->setToolTip(QStringLiteral("Output %1").arg(i + 1));
        lamp->setAccessibleName(QStringLiteral("Output %1").arg(i + 1));
        lamps_[static_cast<std::size_t>(i)] = lamp;
        layout->addWidget(lamp);
        layout->addWidget(new QLabel(QString::number(i + 1), this));
    }
    setOutputs(0);
}

void OutputLamps::setOutputs(std::uint8_t outputs) {
    for (int i = 0; i < protocol::Outputs; ++i) {
        const bool on = outputs & (1 << i);
        QLabel *lamp = lamps_[static_cast<std::size_t>(i)];
        lamp->setStyleSheet(lampStyle(on));
        lamp->setAccessibleDescription(on ? QStringLiteral("on") : QStringLiteral("off"));
    }
}

} // namespace torvika::moduleview
