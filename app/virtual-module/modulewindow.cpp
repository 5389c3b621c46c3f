#include "modulewindow.h"

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

constexpr int MaxLoggedFrames = 1000;

} // namespace

ModuleWindow::ModuleWindow(Session &session, const PtyLink &link, QWidget *parent)
    : QWidget(parent), session_(session), lcd_(new moduleview::LcdView(session.model(), this)),
      lamps_(new moduleview::OutputLamps(this)), status_(new QLabel(this)),
      frames_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("TORVIKA virtual module"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lcd_, 0, Qt::AlignHCenter);

    auto *io = new QHBoxLayout;
    auto *outputs = new QGroupBox(QStringLiteral("Outputs"), this);
    auto *outLayout = new QHBoxLayout(outputs);
    auto *inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    auto *inLayout = new QHBoxLayout(inputs);
    outLayout->addWidget(lamps_);
    for (int i = 0; i < 3; ++i) {
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
            [this](const DecodedFrame &frame, const QString &problem) {
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
    lamps_->setOutputs(m.outputs());
    const int line = session_.lineSpeed();
    QString text = QStringLiteral("Module at %1 bit/s").arg(m.speed());
    if (line > 0)
        text += QStringLiteral(", line at %1 bit/s").arg(line);
    else
        text += line == 0 ? QStringLiteral(", no sender on the line")
                          : QStringLiteral(", line at a speed the module never runs at");
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
