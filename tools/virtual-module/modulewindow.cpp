#include "modulewindow.h"

#include "dotfont.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace torvika::vmodule {

namespace {

constexpr int Dot = 4, DotGap = 1, CellGap = 5, Margin = 14;
constexpr int CellWidth = 5 * (Dot + DotGap) - DotGap;
constexpr int CellHeight = 8 * (Dot + DotGap) - DotGap;
constexpr int MaxLoggedFrames = 1000;

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
    const double level = model_.backlightOn() ? model_.brightness() / 250.0 : 0.0;
    const QColor glass = model_.backlightOn()
                             ? QColor::fromRgbF(0.45 + 0.35 * level, 0.6 + 0.35 * level, 0.1)
                             : QColor(70, 78, 60);
    const QColor lit = model_.backlightOn() ? QColor(20, 40, 10) : QColor(35, 40, 30);
    const QColor unlit = glass.darker(112);
    p.fillRect(rect(), QColor(30, 30, 30));
    p.fillRect(rect().adjusted(4, 4, -4, -4), glass);

    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            auto rows = glyph(model_.at(r, c), model_.chars());
            const bool here = r == model_.cursorRow() && c == model_.cursorColumn();
            if (here && model_.cursorStyle() == DisplayModel::CursorStyle::Underline)
                rows[7] = 0x1F;
            if (here && model_.cursorStyle() == DisplayModel::CursorStyle::BlinkingBlock &&
                blinkOn_)
                rows.fill(0x1F);
            const int x0 = Margin + c * (CellWidth + CellGap);
            const int y0 = Margin + r * (CellHeight + CellGap);
            for (int y = 0; y < CharRows; ++y)
                for (int x = 0; x < 5; ++x) {
                    const bool on = rows[static_cast<std::size_t>(y)] & (0x10 >> x);
                    p.fillRect(x0 + x * (Dot + DotGap), y0 + y * (Dot + DotGap), Dot, Dot,
                               on ? lit : unlit);
                }
        }
    }
}

ModuleWindow::ModuleWindow(Session &session, const PtyLink &link, QWidget *parent)
    : QWidget(parent), session_(session), lcd_(new LcdView(session.model(), this)),
      status_(new QLabel(this)), frames_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("TORVIKA virtual module"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lcd_, 0, Qt::AlignHCenter);

    auto *io = new QHBoxLayout;
    auto *outputs = new QGroupBox(QStringLiteral("Outputs"), this);
    auto *outLayout = new QHBoxLayout(outputs);
    auto *inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    auto *inLayout = new QHBoxLayout(inputs);
    for (int i = 0; i < 3; ++i) {
        lamps_[i] = new QLabel(outputs);
        lamps_[i]->setFixedSize(18, 18);
        lamps_[i]->setToolTip(QStringLiteral("Output %1").arg(i + 1));
        outLayout->addWidget(lamps_[i]);
        outLayout->addWidget(new QLabel(QString::number(i + 1), outputs));
        switches_[i] = new QCheckBox(QStringLiteral("Input %1").arg(i + 1), inputs);
        inLayout->addWidget(switches_[i]);
        connect(switches_[i], &QCheckBox::toggled, this, [this] {
            std::uint8_t bits = 0;
            for (int k = 0; k < 3; ++k)
                bits |= switches_[k]->isChecked() ? (1 << k) : 0;
            session_.setInputs(bits);
        });
    }
    io->addWidget(outputs);
    io->addWidget(inputs);
    layout->addLayout(io);
    layout->addWidget(status_);
    frames_->setFont(QFont(QStringLiteral("monospace")));
    frames_->setMinimumHeight(180);
    layout->addWidget(frames_);

    connect(&session_, &Session::frameDecoded, this,
            [this](const Frame &frame, const QString &problem) {
                log(problem.isEmpty() ? frame.describe()
                                      : frame.describe() + QStringLiteral("  (") + problem + u')');
            });
    connect(&session_, &Session::replied, this, [this](const QByteArray &bytes) {
        log(QStringLiteral("-> ") + QString::fromLatin1(bytes.toHex(' ').toUpper()) +
            QStringLiteral("  inputs reply"));
    });
    connect(&session_, &Session::ignored, this,
            [this](const QByteArray &bytes, const QString &reason) {
                log(QStringLiteral("%1 bytes ignored: %2").arg(bytes.size()).arg(reason));
            });
    connect(&session_, &Session::stateChanged, this, &ModuleWindow::refresh);
    // The line speed is set by the panel at any time; look at it now and then.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &ModuleWindow::refresh);
    poll->start(250);

    log(QStringLiteral("link %1 -> %2").arg(link.linkPath(), link.devicePath()));
    if (!session_.memoryProblem().isEmpty())
        log(session_.memoryProblem());
    refresh();
}

void ModuleWindow::refresh() {
    const DisplayModel &m = session_.model();
    for (int i = 0; i < 3; ++i)
        lamps_[i]->setStyleSheet(lampStyle(m.outputs() & (1 << i)));
    const int line = session_.lineSpeed();
    QString text = QStringLiteral("Module at %1 bit/s").arg(m.speed());
    if (line != 0)
        text += QStringLiteral(", line at %1 bit/s").arg(line);
    if (session_.speedMismatch())
        text += QStringLiteral(": MISMATCH, bytes are ignored");
    text += QStringLiteral("    backlight %1, level %2, cursor %3")
                .arg(m.backlightOn() ? QStringLiteral("on") : QStringLiteral("off"))
                .arg(m.brightness())
                .arg(cursorStyleName(m.cursorStyle()));
    status_->setText(text);
    status_->setStyleSheet(session_.speedMismatch() ? QStringLiteral("color: #c00000;")
                                                    : QString());
    lcd_->update();
}

void ModuleWindow::log(const QString &line) {
    frames_->addItem(line);
    while (frames_->count() > MaxLoggedFrames)
        delete frames_->takeItem(0);
    frames_->scrollToBottom();
}

} // namespace torvika::vmodule
